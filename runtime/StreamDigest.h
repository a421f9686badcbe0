#pragma once

#include "DigestReader.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// The digest of a file's bytes, read from a stream opened beforehand, in constant memory however
// large the file is.
class StreamDigest final : public DigestReader
{
public:
    StreamDigest(std::unique_ptr<std::ifstream> stream, std::string path)
        : m_stream(std::move(stream)), m_path(std::move(path))
    {}

    // Opens the file at the host path; errors name the path as the caller gave it.
    static ErrorOr<std::unique_ptr<DigestReader>> open(const std::filesystem::path &host,
                                                       const std::string &path);

protected:
    ErrorOr<std::size_t> readSome(char *buffer, std::size_t size) override;

private:
    std::unique_ptr<std::ifstream> m_stream;
    std::string m_path;
};
