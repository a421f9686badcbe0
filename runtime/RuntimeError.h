#pragma once

#include "ChangesLeft.h"
#include "ErrorCause.h"
#include "KeptFile.h"
#include "RuntimeErrorCode.h"

#include <optional>
#include <string>

#include <system_error>
#include <utility>
#include <vector>

// The user who owns a folder: by name, or by number where the system knows no name for it;
// neither where it cannot be told.
struct FolderOwner
{
    std::string name;
    std::optional<unsigned long> number;
};

// A game folder that refused a write for lack of rights, and who may write there: on POSIX the
// owner of the folder, on Windows nobody named (an administrator may).
struct ProtectedFolder
{
    std::string folder;
    FolderOwner owner;
};

// A failed operation: what went wrong, on which path (as the caller named it), and why, as data
// that the dialogue puts into words.
class RuntimeError final
{
public:
    RuntimeError(RuntimeErrorCode code, std::string path, ErrorCause cause = {});

    // Maps the error of a failed system call to the nearest runtime error; the cause defaults to
    // the system's own message.
    static RuntimeError fromErrorCode(std::error_code error, std::string path,
                                      ErrorCause cause = {});
    // The exception being handled, as an error that can be carried back to the thread that
    // waits for the work: an exception that left a thread would end the program mid-way.
    static RuntimeError fromCurrentException();

    RuntimeErrorCode code() const { return m_code; }
    int number() const { return static_cast<int>(m_code); }
    const std::string &path() const { return m_path; }
    const ErrorCause &cause() const { return m_cause; }

    // Set when a failed procedure could not put back, or make final, every step it had done.
    void setChangesLeft(ChangesLeft changes) { m_changesLeft = std::move(changes); }
    bool hasChangesLeft() const { return m_changesLeft.has_value(); }
    const ChangesLeft &changesLeft() const { return *m_changesLeft; }

    // Set when a failed procedure undid its steps around files that had changed since it wrote
    // them, which it neither deleted nor replaced.
    void setKeptFiles(std::vector<KeptFile> kept) { m_keptFiles = std::move(kept); }
    const std::vector<KeptFile> &keptFiles() const { return m_keptFiles; }

    // Whether the system refused the operation because the user lacks the rights to it, rather
    // than because another program holds the file or the medium is read-only.
    bool lacksRights() const { return m_lacksRights; }
    // Set when the refused write was into the game folder.
    void setProtectedFolder(ProtectedFolder folder) { m_protectedFolder = std::move(folder); }
    const std::optional<ProtectedFolder> &protectedFolder() const { return m_protectedFolder; }

private:
    RuntimeErrorCode m_code;
    std::string m_path;
    ErrorCause m_cause;
    std::optional<ChangesLeft> m_changesLeft;
    std::vector<KeptFile> m_keptFiles;
    bool m_lacksRights = false;
    std::optional<ProtectedFolder> m_protectedFolder;
};
