#pragma once

#include <optional>
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

// A game folder that refused a write for lack of rights, and who may write there: on POSIX the
// owner of the folder, on Windows nobody named (an administrator may).
struct ProtectedFolder
{
    std::string folder;
    std::string owner;
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

    // Whether the system refused the operation because the user lacks the rights to it, rather
    // than because another program holds the file or the medium is read-only.
    bool lacksRights() const { return m_lacksRights; }
    // Set when the refused write was into the game folder.
    void setProtectedFolder(ProtectedFolder folder) { m_protectedFolder = std::move(folder); }
    const std::optional<ProtectedFolder> &protectedFolder() const { return m_protectedFolder; }

    // "Run-time error '53':" above "File not found", then the path and the cause.
    std::string report() const;

private:
    RuntimeErrorCode m_code;
    std::string m_path;
    std::string m_cause;
    std::string m_changesLeft;
    bool m_lacksRights = false;
    std::optional<ProtectedFolder> m_protectedFolder;
};
