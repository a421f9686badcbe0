#include "RuntimeErrorNotice.h"

#include "ErrorWording.h"

std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::optional<ProtectedFolder> &protectedFolder = error.protectedFolder();
    if (!protectedFolder || protectedFolder->owner.empty())
        return ErrorWording::report(error) + "\n\n" + outcome(error);
    const std::string &owner = protectedFolder->owner;
    return ErrorWording::report(error) + "\n\nThe game folder " + protectedFolder->folder +
           " belongs to " + owner + ", and only " +
           (owner == "root" ? owner : owner + " (or root)") +
           " may change it. Start the installer as " + owner +
           ", or let your own user write into the folder.\n\n" + outcome(error);
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
