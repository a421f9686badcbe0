#pragma once

#include <QStringList>

// Every file and folder under a root as sorted lines, "relative/path <SHA-256>" for a file and
// "relative/path/" for a folder, so that two trees compare byte for byte as two lists and a
// difference shows as the first line that differs.
class TreeSnapshot final
{
public:
    static QStringList take(const QString &root);
    static QString fileLine(const QString &relativePath, const QByteArray &bytes);
    static QString folderLine(const QString &relativePath);
};
