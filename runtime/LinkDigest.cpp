#include "LinkDigest.h"

ErrorOr<std::unique_ptr<DigestReader>> LinkDigest::open(const std::filesystem::path &host,
                                                        const std::string &path)
{
    std::error_code error;
    std::string target = std::filesystem::read_symlink(host, error).string();
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return std::unique_ptr<DigestReader>(std::make_unique<LinkDigest>(std::move(target)));
}

ErrorOr<std::size_t> LinkDigest::readSome(char *buffer, std::size_t size)
{
    const std::size_t given = m_target.copy(buffer, size, m_given);
    m_given += given;
    return given;
}
