#include "RuntimeErrorNotice.h"

QString RuntimeErrorNotice::prompt(const RuntimeError &error)
{
    const QString outcome =
        error.leftChanges() ? error.changesLeft() : QStringLiteral("Nothing was changed.");
    return error.report() + QStringLiteral("\n\n") + outcome;
}

void RuntimeErrorNotice::showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result)
{
    if (!result.isError())
        return;
    messageBox.show(prompt(result.error()), MessageBoxStyle::OkOnly | MessageBoxStyle::Critical,
                    QStringLiteral("BEXOM"));
}
