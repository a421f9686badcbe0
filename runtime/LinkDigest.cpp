#include "LinkDigest.h"

#include "Sha256.h"

ErrorOr<std::unique_ptr<DigestReader>> LinkDigest::open(const std::filesystem::path &host,
                                                        const std::string &path)
{
    std::error_code error;
    std::string target = std::filesystem::read_symlink(host, error).string();
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return std::unique_ptr<DigestReader>(std::make_unique<LinkDigest>(std::move(target)));
}

ErrorOr<FileDigest> LinkDigest::read()
{
    return FileDigest{static_cast<std::int64_t>(m_target.size()), Sha256::of(m_target)};
}
