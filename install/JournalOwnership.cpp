#include "JournalOwnership.h"

#include "GameFolder.h"

namespace {

const QString PackageFolder = QStringLiteral(".");

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(path);
}

QString quoted(const std::filesystem::path &path)
{
    return quoted(QString::fromStdU16String(path.u16string()));
}

// A name that stays in the folder it is joined to: no separator, no drive, no step up.
bool isPlainName(QStringView name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(u':') && !name.contains(QChar(0));
}

QString backupPrefix()
{
    return GameFolder::BackupFolderName + u'\\';
}

// The name of a file in the game folder, its backup folder included, as the step gives it;
// nothing for a path anywhere else.
std::optional<QStringView> nameInGameFolder(const TransactionScope &scope, const QString &path)
{
    const QString &directory = scope.gameDirectory;
    if (!(directory.endsWith(u'\\') || directory.endsWith(u'/')) || !path.startsWith(directory))
        return std::nullopt;
    return QStringView(path).sliced(directory.size());
}

bool isInBackupFolder(const TransactionScope &scope, const QString &path)
{
    const std::optional<QStringView> name = nameInGameFolder(scope, path);
    return name && name->startsWith(backupPrefix()) &&
           isPlainName(name->sliced(backupPrefix().size()));
}

// The status file and the package's own files are named plainly, relative to the package folder.
bool isInside(const TransactionScope &scope, const QString &path)
{
    const std::optional<QStringView> name = nameInGameFolder(scope, path);
    return isPlainName(path) || (name && isPlainName(*name)) || isInBackupFolder(scope, path);
}

// The file that undoing the step, or dropping what it kept aside, deletes or replaces for good:
// always one under a hidden name of the transaction's own.
QString discardedBy(const TransactionStep &step)
{
    switch (step.kind) {
    case TransactionStep::Kind::Copy:
        return step.target;
    case TransactionStep::Kind::SetAside:
    case TransactionStep::Kind::Rewrite:
        return step.aside;
    default:
        return QString();
    }
}

bool isHidden(const QString &path)
{
    const qsizetype nameStart = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1;
    return QStringView(path).sliced(nameStart).startsWith(TransactionStep::HiddenNamePrefix);
}

QStringList pathsOf(const TransactionStep &step)
{
    QStringList paths{step.source, step.target, step.aside};
    paths.removeAll(QString());
    return paths;
}

} // namespace

ErrorOr<QString> JournalOwnership::mismatch(const JournalContents &contents)
{
    if (!contents.scope)
        return QStringLiteral("it does not begin with a record that names them");
    if (const QString why = TRY(packageMismatch(*contents.scope)); !why.isEmpty())
        return why;
    if (const QString why = TRY(gameMismatch(*contents.scope)); !why.isEmpty())
        return why;
    return stepMismatch(*contents.scope, contents.steps);
}

ErrorOr<QString> JournalOwnership::packageMismatch(const TransactionScope &scope)
{
    const std::filesystem::path here = TRY(m_fileSystem.hostPath(PackageFolder));
    if (here != scope.packageFolder)
        return QStringLiteral("it was written in the package folder %1, and this package is in %2")
            .arg(quoted(scope.packageFolder), quoted(here));
    if (TRY(m_fileSystem.identity(PackageFolder)) != scope.packageIdentity)
        return QStringLiteral("the package folder %1 has been replaced since it was written")
            .arg(quoted(here));
    return QString();
}

ErrorOr<QString> JournalOwnership::gameMismatch(const TransactionScope &scope)
{
    const QString folder = GameFolder(scope.gameDirectory).folder();
    const std::filesystem::path now = TRY(m_fileSystem.hostPath(folder));
    if (now != scope.gameFolder)
        return QStringLiteral("its game folder %1 was %2 when it was written and is %3 now")
            .arg(quoted(scope.gameDirectory), quoted(scope.gameFolder), quoted(now));
    if (!TRY(m_fileSystem.exists(folder)))
        return QStringLiteral("its game folder %1 no longer exists").arg(quoted(scope.gameFolder));
    if (TRY(m_fileSystem.identity(folder)) != scope.gameIdentity)
        return QStringLiteral("its game folder %1 has been deleted and made anew since it was "
                              "written")
            .arg(quoted(scope.gameFolder));
    return QString();
}

ErrorOr<QString> JournalOwnership::stepMismatch(const TransactionScope &scope,
                                                const QList<TransactionStep> &steps)
{
    bool usesBackupFolder = false;
    for (const TransactionStep &step : steps) {
        for (const QString &path : pathsOf(step)) {
            if (!isInside(scope, path))
                return QStringLiteral("it names %1, which lies outside the package folder and "
                                      "the game folder")
                    .arg(quoted(path));
            usesBackupFolder = usesBackupFolder || isInBackupFolder(scope, path);
        }
        if (const QString discarded = discardedBy(step);
            !discarded.isEmpty() && !isHidden(discarded))
            return QStringLiteral("it would delete %1, which is not a file of its own")
                .arg(quoted(discarded));
    }
    if (!usesBackupFolder)
        return QString();
    // A link in place of the backup folder would lead the steps out of the game folder.
    const QString backupFolder = GameFolder(scope.gameDirectory).backupFolder();
    if (TRY(m_fileSystem.hostPath(backupFolder)).parent_path() != scope.gameFolder)
        return QStringLiteral("its backup folder %1 leads out of the game folder")
            .arg(quoted(backupFolder));
    return QString();
}
