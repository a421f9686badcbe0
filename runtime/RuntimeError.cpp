#include "RuntimeError.h"

#include "NativeErrors.h"

RuntimeError::RuntimeError(RuntimeErrorCode code, std::string path, std::string cause)
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

RuntimeError RuntimeError::fromErrorCode(std::error_code error, std::string path, std::string cause)
{
    const std::optional<NativeErrors::Meaning> meaning = NativeErrors::meaningOf(error);
    if (cause.empty() && meaning)
        cause = meaning->cause;
    if (cause.empty())
        cause = NativeErrors::messageOf(error);
    RuntimeError result(meaning ? meaning->code : codeFor(error), std::move(path),
                        std::move(cause));
    result.m_lacksRights = NativeErrors::lacksRights(error);
    return result;
}

std::string RuntimeError::description() const
{
    switch (m_code) {
    case RuntimeErrorCode::InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case RuntimeErrorCode::FileNotFound:
        return "File not found";
    case RuntimeErrorCode::FileAlreadyExists:
        return "File already exists";
    case RuntimeErrorCode::DiskFull:
        return "Disk full";
    case RuntimeErrorCode::InputPastEndOfFile:
        return "Input past end of file";
    case RuntimeErrorCode::PermissionDenied:
        return "Permission denied";
    case RuntimeErrorCode::PathFileAccessError:
        return "Path/File access error";
    case RuntimeErrorCode::PathNotFound:
        return "Path not found";
    }
    return {};
}

std::string RuntimeError::report() const
{
    std::string text = "Run-time error '" + std::to_string(number()) + "':\n" + description();
    if (!m_path.empty())
        text += "\n\n" + m_path;
    if (!m_cause.empty())
        text += "\n" + m_cause;
    return text;
}
