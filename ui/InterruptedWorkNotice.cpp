#include "InterruptedWorkNotice.h"

#include "install/JournalRecovery.h"
#include "RecoveryWording.h"
#include "RuntimeErrorNotice.h"

void InterruptedWorkNotice::recoverAndTell(FileSystem &fileSystem, MessageBox &messageBox)
{
    const std::string title = "BEXOM";
    const ErrorOr<std::vector<RecoveryOutcome>> recovered = JournalRecovery(fileSystem).recover();
    if (recovered.isError())
        messageBox.show(RuntimeErrorNotice::prompt(recovered.error()),
                        MessageBoxStyle::OkOnly | MessageBoxStyle::Critical, title);
    else if (const std::string notice = RecoveryWording::notice(recovered.value()); !notice.empty())
        messageBox.show(notice, MessageBoxStyle::OkOnly | MessageBoxStyle::Information, title);
}
