#include "RuntimeError.h"

RuntimeError::RuntimeError(RuntimeErrorCode code, QString path, QString cause)
    : m_code(code), m_path(std::move(path)), m_cause(std::move(cause))
{}

namespace {

RuntimeErrorCode codeFor(std::error_code error)
{
    using std::errc;
    if (error == errc::no_such_file_or_directory)
        return RuntimeErrorCode::FileNotFound;
    if (error == errc::not_a_directory)
        return RuntimeErrorCode::PathNotFound;
    if (error == errc::file_exists)
        return RuntimeErrorCode::FileAlreadyExists;
    if (error == errc::no_space_on_device || error == errc::file_too_large)
        return RuntimeErrorCode::DiskFull;
    if (error == errc::permission_denied || error == errc::operation_not_permitted ||
        error == errc::read_only_file_system)
        return RuntimeErrorCode::PermissionDenied;
    if (error == errc::invalid_argument)
        return RuntimeErrorCode::InvalidProcedureCall;
    return RuntimeErrorCode::PathFileAccessError;
}

} // namespace

RuntimeError RuntimeError::fromErrorCode(std::error_code error, QString path, QString cause)
{
    if (cause.isEmpty())
        cause = QString::fromStdString(error.message());
    return RuntimeError(codeFor(error), std::move(path), std::move(cause));
}

QString RuntimeError::description() const
{
    switch (m_code) {
    case RuntimeErrorCode::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case RuntimeErrorCode::FileNotFound:
        return QStringLiteral("File not found");
    case RuntimeErrorCode::FileAlreadyExists:
        return QStringLiteral("File already exists");
    case RuntimeErrorCode::DiskFull:
        return QStringLiteral("Disk full");
    case RuntimeErrorCode::InputPastEndOfFile:
        return QStringLiteral("Input past end of file");
    case RuntimeErrorCode::PermissionDenied:
        return QStringLiteral("Permission denied");
    case RuntimeErrorCode::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case RuntimeErrorCode::PathNotFound:
        return QStringLiteral("Path not found");
    }
    return {};
}

QString RuntimeError::report() const
{
    QString text = QStringLiteral("Run-time error '%1':\n%2").arg(number()).arg(description());
    if (!m_path.isEmpty())
        text += QStringLiteral("\n\n%1").arg(m_path);
    if (!m_cause.isEmpty())
        text += QStringLiteral("\n%1").arg(m_cause);
    return text;
}
