#pragma once

#include "runtime/FileSystem.h"

#include <QString>

// The two items of the status file, each its whole line without the line end.
struct StatusRecord
{
    QString statusItem;
    QString pathItem;

    // The path item without its "Path=" prefix; empty when the item is shorter than that.
    QString gameDirectory() const;
};

// "Status.ini" in the package folder: whether the mod is installed, for which edition, and where.
class StatusFile final
{
public:
    static inline const QString FileName = QStringLiteral("Status.ini");
    static inline const QString Uninstalled = QStringLiteral("Status=Uninstalled");
    static inline const QString Aftermath = QStringLiteral("Status=Aftermath");
    static inline const QString Counterstrike = QStringLiteral("Status=Counterstrike");
    static inline const QString PathPrefix = QStringLiteral("Path=");

    explicit StatusFile(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<StatusRecord> read() const;
    // The two items of a status file's bytes.
    static ErrorOr<StatusRecord> parse(QByteArray bytes);

    // The bytes of a status file: "<statusItem>" CR LF "Path=<gameDirectory>" CR LF, UTF-8.
    static QByteArray encode(const QString &statusItem, const QString &gameDirectory);
    // The same for a record whose path item is kept as it was read.
    static QByteArray encode(const StatusRecord &record);

private:
    FileSystem &m_fileSystem;
};
