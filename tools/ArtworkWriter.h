#pragma once

#include <QDir>
#include <QImage>
#include <QString>

#include <optional>

// Draws every picture the installer carries and saves it under the names the program's
// resources refer to.
class ArtworkWriter final
{
public:
    explicit ArtworkWriter(QDir folder);

    // The reason the artwork could not be written, or nothing once every file is in place.
    std::optional<QString> writeAll() const;

private:
    std::optional<QString> writeButtons() const;
    std::optional<QString> writeBanner() const;
    std::optional<QString> writeIcons() const;
    std::optional<QString> savePicture(const QImage &picture, const QString &name) const;
    // A picture of the main window: a PNG, a 24-bit BMP that the Qt program reads, and the same
    // pixels as runs for the Windows one, which would otherwise carry every bitmap's bytes
    // uncompressed.
    std::optional<QString> saveWindowPicture(const QImage &picture, const QString &baseName) const;
    std::optional<QString> saveBytes(const QByteArray &bytes, const QString &name) const;

    QDir m_folder;
};
