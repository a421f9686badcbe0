#pragma once

#include "ErrorOr.h"
#include "FileDigest.h"
#include "FileIdentity.h"
#include "Sha256.h"

#include <memory>
#include <optional>
#include <string_view>

// A file opened for its digest. Opening is quick and belongs to the order of a procedure's
// steps; reading is what takes the time, and may run on another thread while the steps go on.
// The file is read a piece at a time, so that one thread can hash two files side by side.
class DigestReader
{
public:
    DigestReader() = default;
    explicit DigestReader(FileIdentity identity) : m_identity(identity) {}
    virtual ~DigestReader() = default;

    // The file opened, wherever it is moved while it is read; none for a link, whose name alone
    // is read.
    const std::optional<FileIdentity> &identity() const { return m_identity; }

    // Reads the file to its end; to be called once.
    ErrorOr<FileDigest> read();

    // Reads and hashes the next piece of the file.
    void readPiece();
    // Reads the next piece of each file and hashes the two pieces side by side.
    static void readPieces(DigestReader &first, DigestReader &second);
    // Whether the file has been read to its end, or its reading has failed.
    bool isDone() const { return m_done; }
    // Once done, and only once: the digest, or the error that stopped the reading.
    ErrorOr<FileDigest> result();

protected:
    // Reads up to size bytes into the buffer and returns how many; none at the end of the file.
    virtual ErrorOr<std::size_t> readSome(char *buffer, std::size_t size) = 0;

private:
    // None at the end of the file, or once the reading has failed.
    std::string_view nextPiece();

    std::optional<FileIdentity> m_identity;
    Sha256 m_hash;
    std::unique_ptr<char[]> m_buffer;
    std::int64_t m_size = 0;
    std::optional<RuntimeError> m_error;
    bool m_done = false;
};
