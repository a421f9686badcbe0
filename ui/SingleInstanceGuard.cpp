#include "SingleInstanceGuard.h"

#include "NoticeWording.h"
#include "runtime/Text.h"
#include "RuntimeErrorNotice.h"

std::optional<InstanceLock>
SingleInstanceGuard::lockOrTell(const std::filesystem::path &packageFolder, MessageBox &messageBox)
{
    ErrorOr<std::optional<InstanceLock>> lock =
        InstanceLock::acquire(packageFolder, Text::utf8(packageFolder));
    // Without the lock, nothing would keep a second installer off; so none is started.
    if (lock.isError())
        messageBox.show(RuntimeErrorNotice::prompt(lock.error()), MessageBoxButtons::Ok,
                        MessageBoxIcon::Critical, MessageBox::Title);
    else if (!lock.value())
        messageBox.show(NoticeWording::AlreadyRunning, MessageBoxButtons::Ok,
                        MessageBoxIcon::Information, MessageBox::Title);
    if (lock.isError())
        return std::nullopt;
    return lock.releaseValue();
}
