#pragma once

#include <string>

#include <system_error>
#include <utility>

// The numbers are those of the runtime the installer grew up with; players and old forum posts
// quote them ("Run-time error '53'"), so they are kept as they were.
enum class RuntimeErrorCode {
    InvalidProcedureCall = 5,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// A failed operation: what went wrong, on which path (as the caller named it), and why, in words
// a player can act on.
class RuntimeError final
{
public:
    RuntimeError(RuntimeErrorCode code, std::string path, std::string cause = {});

    // Maps the error of a failed system call to the nearest runtime error; the cause defaults to
    // the system's own message.
    static RuntimeError fromErrorCode(std::error_code error, std::string path,
                                      std::string cause = {});

    RuntimeErrorCode code() const { return m_code; }
    int number() const { return static_cast<int>(m_code); }
    std::string description() const;
    const std::string &path() const { return m_path; }
    const std::string &cause() const { return m_cause; }

    // Set when a failed procedure could not undo every step it had done: says what is left.
    void setChangesLeft(std::string whatIsLeft) { m_changesLeft = std::move(whatIsLeft); }
    bool leftChanges() const { return !m_changesLeft.empty(); }
    const std::string &changesLeft() const { return m_changesLeft; }

    // "Run-time error '53':" above "File not found", then the path and the cause.
    std::string report() const;

private:
    RuntimeErrorCode m_code;
    std::string m_path;
    std::string m_cause;
    std::string m_changesLeft;
};
