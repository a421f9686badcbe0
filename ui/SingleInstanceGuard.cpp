#include "SingleInstanceGuard.h"

#include "RuntimeErrorNotice.h"

std::optional<InstanceLock>
SingleInstanceGuard::lockOrTell(const std::filesystem::path &packageFolder, MessageBox &messageBox)
{
    const QString title = QStringLiteral("BEXOM");
    ErrorOr<std::optional<InstanceLock>> lock =
        InstanceLock::acquire(packageFolder, QString::fromStdU16String(packageFolder.u16string()));
    // Without the lock, nothing would keep a second installer off; so none is started.
    if (lock.isError())
        messageBox.show(RuntimeErrorNotice::prompt(lock.error()),
                        MessageBoxStyle::OkOnly | MessageBoxStyle::Critical, title);
    else if (!lock.value())
        messageBox.show(AlreadyRunningNotice,
                        MessageBoxStyle::OkOnly | MessageBoxStyle::Information, title);
    if (lock.isError())
        return std::nullopt;
    return lock.releaseValue();
}
