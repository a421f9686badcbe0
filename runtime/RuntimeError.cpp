#include "RuntimeError.h"

#include "NativeErrors.h"

#include <new>

RuntimeError::RuntimeError(RuntimeErrorCode code, std::string path, ErrorCause cause)
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

RuntimeError RuntimeError::fromErrorCode(std::error_code error, std::string path, ErrorCause cause)
{
    const std::optional<NativeErrors::Meaning> meaning = NativeErrors::meaningOf(error);
    if (cause.reason() == ErrorReason::None && meaning)
        cause = meaning->cause;
    if (cause.reason() == ErrorReason::None)
        cause = Cause::SystemMessage{NativeErrors::messageOf(error)};
    RuntimeError result(meaning ? meaning->code : codeFor(error), std::move(path),
                        std::move(cause));
    result.m_lacksRights = NativeErrors::lacksRights(error);
    return result;
}

RuntimeError RuntimeError::fromCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc &) {
        return RuntimeError(RuntimeErrorCode::OutOfMemory, {});
    } catch (const std::system_error &error) {
        return fromErrorCode(error.code(), {});
    } catch (const std::exception &error) {
        return RuntimeError(RuntimeErrorCode::InternalError, {},
                            Cause::SystemMessage{error.what()});
    } catch (...) {
        return RuntimeError(RuntimeErrorCode::InternalError, {});
    }
}
