#include "InterruptedWorkNotice.h"

#include "install/JournalRecovery.h"
#include "RecoveryWording.h"
#include "RuntimeErrorNotice.h"

void InterruptedWorkNotice::recoverAndTell(FileSystem &fileSystem, MessageBox &messageBox)
{
    const ErrorOr<std::vector<RecoveryOutcome>> recovered = JournalRecovery(fileSystem).recover();
    if (recovered.isError())
        messageBox.show(RuntimeErrorNotice::prompt(recovered.error()), MessageBoxButtons::Ok,
                        MessageBoxIcon::Critical, MessageBox::Title);
    else if (const std::string notice = RecoveryWording::notice(recovered.value()); !notice.empty())
        messageBox.show(notice, MessageBoxButtons::Ok, MessageBoxIcon::Information,
                        MessageBox::Title);
}
