#include "ScratchFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    QDir dir(path());
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}
