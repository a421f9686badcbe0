#include "RuntimeErrorNotice.h"

std::string RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const std::string outcome = error.leftChanges() ? error.changesLeft() : "Nothing was changed.";
    return error.report() + "\n\n" + outcome;
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxStyle::OkOnly | MessageBoxStyle::Critical,
                    "BEXOM");
}
