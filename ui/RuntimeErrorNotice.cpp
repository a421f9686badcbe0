#include "RuntimeErrorNotice.h"

#include "ErrorWording.h"
#include "RecoveryWording.h"

// The sentence first, what became of the game folder next, and the runtime's code last.
std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::string support = "\n\n" + ErrorWording::codeLine(error);
    const std::optional<ProtectedFolder> &protectedFolder = error.protectedFolder();
    if (!protectedFolder)
        return ErrorWording::report(error) + "\n\n" + outcome(error) + support;
    const std::string &owner = protectedFolder->owner;
    // Where no owner can be named: under Wine, whose folders belong to Linux users, or where even
    // an administrator is refused.
    if (owner.empty())
        return "BEXOM may not change the game folder " + protectedFolder->folder +
               ": it belongs to another user. Let your own user write into the folder, or start "
               "the installer as a user who may change it.\n\n" +
               outcome(error) + support;
    return "The game folder " + protectedFolder->folder + " belongs to " + owner + ", and only " +
           (owner == "root" ? owner : owner + " (or root)") +
           " may change it. Start the installer as " + owner +
           ", or let your own user write into the folder.\n\n" + outcome(error) + support;
}

// An undo that met the player's work, or a file another program wrote meanwhile, left it be: the
// player is told which, and where the files it would have put back are.
std::string RuntimeErrorNotice::outcome(const RuntimeError &error)
{
    if (error.hasChangesLeft())
        return ErrorWording::changesLeft(error.changesLeft());
    if (!error.keptFiles().empty())
        return RecoveryWording::UndoneAroundChangesOutcome +
               RecoveryWording::keptLines(error.keptFiles());
    return "Nothing was changed.";
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxStyle::OkOnly | MessageBoxStyle::Critical,
                    "BEXOM");
}
