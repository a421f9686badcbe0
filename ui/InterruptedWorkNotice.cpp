#include "InterruptedWorkNotice.h"

#include "install/JournalRecovery.h"
#include "RuntimeErrorNotice.h"

void InterruptedWorkNotice::recoverAndTell(FileSystem &fileSystem, MessageBox &messageBox)
{
    const QString title = QStringLiteral("BEXOM");
    const ErrorOr<QString> recovered = JournalRecovery(fileSystem).recover();
    if (recovered.isError())
        messageBox.show(RuntimeErrorNotice::prompt(recovered.error()),
                        MessageBoxStyle::OkOnly | MessageBoxStyle::Critical, title);
    else if (!recovered.value().isEmpty())
        messageBox.show(recovered.value(), MessageBoxStyle::OkOnly | MessageBoxStyle::Information,
                        title);
}
