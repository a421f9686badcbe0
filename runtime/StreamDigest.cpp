#include "StreamDigest.h"

#include "NativeErrors.h"

ErrorOr<std::unique_ptr<DigestReader>> StreamDigest::open(const std::filesystem::path &host,
                                                          const std::string &path)
{
    NativeFileOperations::ReadHandle file{};
    if (const std::error_code error = NativeFileOperations::openForReading(host, file)) {
        if (NativeErrors::lacksRights(error))
            return RuntimeError(RuntimeErrorCode::PermissionDenied, path,
                                {ErrorReason::FileUnreadable});
        return RuntimeError::fromErrorCode(error, path);
    }
    FileIdentity identity;
    if (const std::error_code error = NativeFileOperations::identifyOpen(file, identity)) {
        NativeFileOperations::closeReading(file);
        return RuntimeError::fromErrorCode(error, path);
    }
    return std::unique_ptr<DigestReader>(std::make_unique<StreamDigest>(file, identity, path));
}

StreamDigest::~StreamDigest()
{
    NativeFileOperations::closeReading(m_file);
}

ErrorOr<std::size_t> StreamDigest::readSome(char *buffer, std::size_t size)
{
    std::size_t count = 0;
    if (NativeFileOperations::readSome(m_file, buffer, size, count))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, m_path,
                            {ErrorReason::FileUnreadable});
    return count;
}
