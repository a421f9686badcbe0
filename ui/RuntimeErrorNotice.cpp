#include "RuntimeErrorNotice.h"

#include "ErrorWording.h"
#include "NoticeWording.h"

// The sentence first, what became of the game folder next, and the runtime's code last.
std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::string support = "\n\n" + ErrorWording::codeLine(error);
    const std::optional<ProtectedFolder> &protectedFolder = error.protectedFolder();
    const std::string what = protectedFolder ? NoticeWording::protectedFolder(*protectedFolder)
                                             : ErrorWording::report(error);
    return what + "\n\n" + outcome(error) + support;
}

std::string RuntimeErrorNotice::outcome(const RuntimeError &error)
{
    return error.hasChangesLeft() ? ErrorWording::changesLeft(error.changesLeft())
                                  : NoticeWording::NothingChanged;
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxButtons::Ok, MessageBoxIcon::Critical,
                    MessageBox::Title);
}
