#include "RuntimeErrorNotice.h"

#include "ErrorWording.h"

// The sentence first, what became of the game folder next, and the runtime's code last.
std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::string support = "\n\n" + ErrorWording::codeLine(error);
    const std::optional<ProtectedFolder> &protectedFolder = error.protectedFolder();
    if (!protectedFolder || protectedFolder->owner.empty())
        return ErrorWording::report(error) + "\n\n" + outcome(error) + support;
    const std::string &owner = protectedFolder->owner;
    return "The game folder " + protectedFolder->folder + " belongs to " + owner + ", and only " +
           (owner == "root" ? owner : owner + " (or root)") +
           " may change it. Start the installer as " + owner +
           ", or let your own user write into the folder.\n\n" + outcome(error) + support;
}

std::string RuntimeErrorNotice::outcome(const RuntimeError &error)
{
    return error.hasChangesLeft() ? ErrorWording::changesLeft(error.changesLeft())
                                  : "Nothing was changed.";
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxStyle::OkOnly | MessageBoxStyle::Critical,
                    "BEXOM");
}
