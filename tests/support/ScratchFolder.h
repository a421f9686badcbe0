#pragma once

#include <QStringList>
#include <QTemporaryDir>

// A fresh folder for one test, removed with everything in it when the test is done.
class ScratchFolder final : public QTemporaryDir
{
public:
    QString at(const QString &relativePath) const { return filePath(relativePath); }
    // Makes the folders on the way as needed.
    void createFile(const QString &relativePath, const QByteArray &bytes) const;
    void createFolder(const QString &relativePath) const;
    QByteArray contents(const QString &relativePath) const;
    // Leaves the scratch folder itself, empty.
    void clear() const;

    // Every file and folder under a folder of the scratch as sorted lines, "path <SHA-256>" for a
    // file and "path/" for a folder, so that two trees compare byte for byte as two lists and a
    // difference shows as the first line that differs.
    QStringList snapshot(const QString &relativePath = {}) const;
    static QString fileLine(const QString &relativePath, const QByteArray &bytes);
};
