#include "InstallScratch.h"

#include "install/Journal.h"
#include "install/TransactionStep.h"

namespace fs = std::filesystem;

InstallScratch::InstallScratch(std::vector<std::string> gameFiles, std::string gameFolder)
    : m_gameFiles(std::move(gameFiles)), m_gameFolder(std::move(gameFolder)),
      m_fileSystem(std::make_unique<HostFileSystem>(m_scratch.at(PackageFolder)))
{
    reset();
    // The game finder looks through the home folder; the player's own is never the test's. Wine
    // gives a Windows program that a launcher starts no HOME, only WINEHOMEDIR, as here.
#ifdef _WIN32
    m_home.emplace("HOME", std::nullopt);
    m_wineHome.emplace("WINEHOMEDIR", "\\??\\" + m_scratch.at("home"));
#else
    m_home.emplace("HOME", m_scratch.at("home"));
#endif
}

void InstallScratch::reset()
{
    m_scratch.clear();
    for (const std::string &name : packageFiles())
        m_scratch.createFile(PackageFolder + '/' + name, packageContent(name));
    writeStatus(PackagedStatus);
    m_scratch.createFolder(m_gameFolder);
    for (const std::string &name : m_gameFiles)
        m_scratch.createFile(m_gameFolder + '/' + name, gameContent(name));
    m_scratch.createFile(m_gameFolder + "/RA95.exe", gameContent("RA95.exe"));
#ifndef _WIN32
    m_scratch.createFolder("prefix/dosdevices");
    std::error_code ignored;
    fs::create_directory_symlink(m_scratch.path(), m_scratch.at("prefix/dosdevices/c:"), ignored);
#endif
}

std::vector<std::string> InstallScratch::packageFiles()
{
    return {"Expand2.mix", "Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx", "SC-Vorda.mix"};
}

std::string InstallScratch::driveCDirectory() const
{
#ifdef _WIN32
    // Windows has the scratch folder on a drive of its own already.
    return Text::replaceAll(gameDirectory(), "/", "\\");
#else
    return "C:\\" + Text::replaceAll(m_gameFolder, "/", "\\") + '\\';
#endif
}

void InstallScratch::writeStatus(const std::string &bytes) const
{
    const std::string path = PackageFolder + "/Status.ini";
    if (bytes != NoStatusFile && bytes != StatusFolder)
        return m_scratch.createFile(path, bytes);
    std::error_code ignored;
    fs::remove(m_scratch.at(path), ignored);
    if (bytes == StatusFolder)
        m_scratch.createFolder(path);
}

std::vector<std::string> InstallScratch::withoutLeftovers(std::vector<std::string> lines)
{
    std::erase_if(lines, [](const std::string &line) {
        return line.find(TransactionStep::HiddenNamePrefix) != std::string::npos ||
               line.find(Journal::FileName) != std::string::npos;
    });
    return lines;
}
