#include "ScratchFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QDir::Filters Everything =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

} // namespace

void ScratchFolder::createFile(const QString &relativePath, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(at(relativePath)).path());
    QFile file(at(relativePath));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("Cannot write the scratch file %s", qPrintable(file.fileName()));
}

void ScratchFolder::createFolder(const QString &relativePath) const
{
    QDir().mkpath(at(relativePath));
}

QByteArray ScratchFolder::contents(const QString &relativePath) const
{
    QFile file(at(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void ScratchFolder::clear() const
{
    for (const QFileInfo &entry : QDir(path()).entryInfoList(Everything)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QStringList ScratchFolder::snapshot(const QString &relativePath) const
{
    QStringList lines;
    const QDir base(at(relativePath));
    // Symbolic links, such as a Wine prefix's drive letters, are listed but not followed.
    QDirIterator it(base.path(), Everything, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = base.relativeFilePath(it.next());
        if (it.fileInfo().isDir()) {
            lines.append(name + u'/');
            continue;
        }
        QFile file(it.filePath());
        lines.append(fileLine(name, file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                   : QByteArray("(unreadable)")));
    }
    lines.sort();
    return lines;
}

QString ScratchFolder::fileLine(const QString &relativePath, const QByteArray &bytes)
{
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return relativePath + u' ' + QString::fromLatin1(hash);
}
