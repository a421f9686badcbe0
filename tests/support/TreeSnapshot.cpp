#include "TreeSnapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

QStringList TreeSnapshot::take(const QString &root)
{
    QStringList lines;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relativePath = base.relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            lines.append(folderLine(relativePath));
            continue;
        }
        QFile file(path);
        lines.append(fileLine(relativePath, file.open(QIODevice::ReadOnly)
                                                ? file.readAll()
                                                : QByteArrayLiteral("(unreadable)")));
    }
    lines.sort();
    return lines;
}

QString TreeSnapshot::fileLine(const QString &relativePath, const QByteArray &bytes)
{
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return relativePath + u' ' + QString::fromLatin1(hash);
}

QString TreeSnapshot::folderLine(const QString &relativePath)
{
    return relativePath + u'/';
}
