#include "InstallScratch.h"

#include "TreeSnapshot.h"

InstallScratch::InstallScratch(QStringList gameFiles, QString gameFolder)
    : m_gameFiles(std::move(gameFiles)), m_gameFolder(std::move(gameFolder)),
      m_fileSystem(std::make_unique<HostFileSystem>(m_scratch.at(PackageFolder).toStdString()))
{
    reset();
}

void InstallScratch::reset()
{
    m_scratch.clear();
    for (const QString &name : packageFiles())
        m_scratch.createFile(PackageFolder + u'/' + name, packageContent(name));
    writeStatus(PackagedStatus);
    m_scratch.createFolder(m_gameFolder);
    for (const QString &name : m_gameFiles)
        m_scratch.createFile(m_gameFolder + u'/' + name, gameContent(name));
    m_scratch.createFile(m_gameFolder + QStringLiteral("/RA95.exe"), gameContent("RA95.exe"));
}

QStringList InstallScratch::packageFiles()
{
    return {"Expand2.mix", "Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx", "SC-Vorda.mix"};
}

QStringList InstallScratch::gameSnapshot() const
{
    return TreeSnapshot::take(gameFolderPath());
}

QStringList InstallScratch::snapshot() const
{
    return TreeSnapshot::take(m_scratch.path());
}

void InstallScratch::writeStatus(const QByteArray &bytes) const
{
    m_scratch.createFile(PackageFolder + QStringLiteral("/Status.ini"), bytes);
}
