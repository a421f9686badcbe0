#include "InterruptedWorkNotice.h"

#include "install/JournalRecovery.h"
#include "RuntimeErrorNotice.h"

void InterruptedWorkNotice::recoverAndTell(FileSystem &fileSystem, MessageBox &messageBox)
{
    const std::string title = "BEXOM";
    const ErrorOr<std::string> recovered = JournalRecovery(fileSystem).recover();
    if (recovered.isError())
        messageBox.show(RuntimeErrorNotice::prompt(recovered.error()),
                        MessageBoxStyle::OkOnly | MessageBoxStyle::Critical, title);
    else if (!recovered.value().empty())
        messageBox.show(recovered.value(), MessageBoxStyle::OkOnly | MessageBoxStyle::Information,
                        title);
}
