#pragma once

#include "install/Edition.h"
#include "runtime/HostFileSystem.h"
#include "ScratchFolder.h"

#include <QMetaType>

#include <memory>

Q_DECLARE_METATYPE(Edition)

// The BEXOM package and, beside it, a game folder as the player has it before installing, in a
// scratch folder. Every file holds a text that tells where it came from. Drive C of a Wine prefix
// in the scratch folder is the scratch folder itself; that prefix is the process's for as long as
// this object lives, so no test ever reaches the machine's own.
class InstallScratch final
{
public:
    static inline const QString PackageFolder = QStringLiteral("package");
    static inline const QByteArray PackagedStatus =
        QByteArrayLiteral("Status=Uninstalled\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n");
    // For writeStatus: no status file at all, or a folder in its place.
    static inline const QByteArray NoStatusFile = QByteArrayLiteral("(no status file)");
    static inline const QByteArray StatusFolder = QByteArrayLiteral("(status folder)");

    explicit InstallScratch(QStringList gameFiles = {QStringLiteral("Expand.mix"),
                                                     QStringLiteral("Expand2.mix")},
                            QString gameFolder = QStringLiteral("game"));
    ~InstallScratch();

    // Builds the package and the game folder again, as they were at the start.
    void reset();

    static QStringList packageFiles();
    static QByteArray packageContent(const QString &name) { return "package " + name.toUtf8(); }
    static QByteArray gameContent(const QString &name) { return "game " + name.toLower().toUtf8(); }

    FileSystem &fileSystem() { return *m_fileSystem; }
    const ScratchFolder &scratch() const { return m_scratch; }
    QString gameFolderPath() const { return m_scratch.at(m_gameFolder); }
    QString gameDirectory() const { return gameFolderPath() + u'\\'; }
    // The game directory as a Windows program names it.
    QString driveCDirectory() const;
    QStringList gameSnapshot() const { return m_scratch.snapshot(m_gameFolder); }
    // The whole scratch folder: package, status file and game folder.
    QStringList snapshot() const { return m_scratch.snapshot(); }
    QByteArray status() const { return m_scratch.contents(PackageFolder + "/Status.ini"); }
    void writeStatus(const QByteArray &bytes) const;

private:
    ScratchFolder m_scratch;
    QStringList m_gameFiles;
    QString m_gameFolder;
    std::unique_ptr<HostFileSystem> m_fileSystem;
    QByteArray m_formerWinePrefix;
};
