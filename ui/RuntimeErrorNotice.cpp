#include "RuntimeErrorNotice.h"

#include "ErrorWording.h"
#include "NoticeWording.h"
#include "RecoveryWording.h"

// The sentence first, what became of the game folder next, and the runtime's code last.
std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::string support = "\n\n" + ErrorWording::codeLine(error);
    const std::optional<ProtectedFolder> &protectedFolder = error.protectedFolder();
    const std::string what = protectedFolder ? NoticeWording::protectedFolder(*protectedFolder)
                                             : ErrorWording::report(error);
    return what + "\n\n" + outcome(error) + support;
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
    return NoticeWording::NothingChanged;
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxButtons::Ok, MessageBoxIcon::Critical,
                    MessageBox::Title);
}
