#pragma once

#include "DigestReader.h"

#include <filesystem>
#include <memory>
#include <string>

// The digest of a symbolic link: the name of the target it holds, whether or not that target is
// there, since the link is kept and given back as the link itself.
class LinkDigest final : public DigestReader
{
public:
    explicit LinkDigest(std::string target) : m_target(std::move(target)) {}

    // Reads the target's name at once; errors name the path as the caller gave it.
    static ErrorOr<std::unique_ptr<DigestReader>> open(const std::filesystem::path &host,
                                                       const std::string &path);

protected:
    ErrorOr<std::size_t> readSome(char *buffer, std::size_t size) override;

private:
    std::string m_target;
    std::size_t m_given = 0;
};
