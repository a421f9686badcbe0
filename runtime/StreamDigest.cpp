#include "StreamDigest.h"

#include "Sha256.h"

#include <cerrno>

namespace {

// Large reads keep the system calls few; the hash, not the reading, sets the pace.
constexpr std::size_t DigestBufferSize = 1024 * 1024;

} // namespace

ErrorOr<std::unique_ptr<DigestReader>> StreamDigest::open(const std::filesystem::path &host,
                                                          const std::string &path)
{
    auto stream = std::make_unique<std::ifstream>(host, std::ios::binary);
    // The C runtime says only that access was denied, whether for want of rights or because
    // another program has the file open without sharing it.
    if (!*stream && errno == EACCES)
        return RuntimeError(RuntimeErrorCode::PermissionDenied, path,
                            {ErrorReason::FileUnreadable});
    if (!*stream)
        return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
    return std::unique_ptr<DigestReader>(std::make_unique<StreamDigest>(std::move(stream), path));
}

ErrorOr<FileDigest> StreamDigest::read()
{
    const std::unique_ptr<char[]> buffer(new char[DigestBufferSize]);
    Sha256 hash;
    FileDigest digest;
    while (*m_stream) {
        m_stream->read(buffer.get(), DigestBufferSize);
        hash.update(buffer.get(), static_cast<std::size_t>(m_stream->gcount()));
        digest.size += m_stream->gcount();
    }
    if (m_stream->bad())
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, m_path,
                            {ErrorReason::FileUnreadable});
    digest.sha256 = Sha256::bytesOf(hash.finish());
    return digest;
}
