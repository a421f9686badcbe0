#pragma once

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
};
