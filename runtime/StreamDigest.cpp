#include "StreamDigest.h"

#include <cerrno>

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

ErrorOr<std::size_t> StreamDigest::readSome(char *buffer, std::size_t size)
{
    // A read that came up short has met the end of the file.
    if (!*m_stream)
        return std::size_t(0);
    m_stream->read(buffer, static_cast<std::streamsize>(size));
    if (m_stream->bad())
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, m_path,
                            {ErrorReason::FileUnreadable});
    return static_cast<std::size_t>(m_stream->gcount());
}
