#pragma once

#include "DigestReader.h"
#include "NativeFileOperations.h"

#include <filesystem>
#include <memory>
#include <string>

// The digest of a file's bytes, read from the file opened beforehand, in constant memory however
// large the file is. The file may be moved while it is read.
class StreamDigest final : public DigestReader
{
public:
    StreamDigest(NativeFileOperations::ReadHandle file, FileIdentity identity, std::string path)
        : DigestReader(identity), m_file(file), m_path(std::move(path))
    {}
    ~StreamDigest() override;
    StreamDigest(const StreamDigest &) = delete;
    StreamDigest &operator=(const StreamDigest &) = delete;

    // Opens the file at the host path; errors name the path as the caller gave it.
    static ErrorOr<std::unique_ptr<DigestReader>> open(const std::filesystem::path &host,
                                                       const std::string &path);

protected:
    ErrorOr<std::size_t> readSome(char *buffer, std::size_t size) override;

private:
    NativeFileOperations::ReadHandle m_file;
    std::string m_path;
};
