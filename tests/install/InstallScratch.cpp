#include "InstallScratch.h"

#include <QFile>

InstallScratch::InstallScratch(QStringList gameFiles, QString gameFolder)
    : m_gameFiles(std::move(gameFiles)), m_gameFolder(std::move(gameFolder)),
      m_fileSystem(std::make_unique<HostFileSystem>(m_scratch.at(PackageFolder).toStdString())),
      m_formerWinePrefix(qgetenv("WINEPREFIX"))
{
    reset();
    qputenv("WINEPREFIX", m_scratch.at(QStringLiteral("prefix")).toLocal8Bit());
}

InstallScratch::~InstallScratch()
{
    if (m_formerWinePrefix.isNull())
        qunsetenv("WINEPREFIX");
    else
        qputenv("WINEPREFIX", m_formerWinePrefix);
}

void InstallScratch::reset()
{
    m_scratch.clear();
    for (const QString &name : packageFiles())
        m_scratch.createFile(PackageFolder + u'/' + name, packageContent(name));
    writeStatus(PackagedStatus);
    m_scratch.createFolder(m_gameFolder);
    for (const QString &name : m_gameFiles + QStringList{QStringLiteral("RA95.exe")})
        m_scratch.createFile(m_gameFolder + u'/' + name, gameContent(name));
    m_scratch.createFolder(QStringLiteral("prefix/dosdevices"));
    QFile::link(m_scratch.path(), m_scratch.at(QStringLiteral("prefix/dosdevices/c:")));
}

QStringList InstallScratch::packageFiles()
{
    return {"Expand2.mix", "Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx", "SC-Vorda.mix"};
}

QString InstallScratch::driveCDirectory() const
{
    return "C:\\" + QString(m_gameFolder).replace(u'/', u'\\') + u'\\';
}

void InstallScratch::writeStatus(const QByteArray &bytes) const
{
    const QString path = PackageFolder + QStringLiteral("/Status.ini");
    if (bytes != NoStatusFile && bytes != StatusFolder)
        return m_scratch.createFile(path, bytes);
    QFile::remove(m_scratch.at(path));
    if (bytes == StatusFolder)
        m_scratch.createFolder(path);
}
