#pragma once

#include "install/Edition.h"
#include "runtime/HostFileSystem.h"
#include "runtime/Text.h"
#include "ScopedEnvironmentVariable.h"
#include "ScopedWinePrefix.h"
#include "ScratchFolder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The BEXOM package and, beside it, a game folder as the player has it before installing, in a
// scratch folder. Every file holds a text that tells where it came from. Drive C of a Wine prefix
// in the scratch folder is the scratch folder itself; that prefix is the process's for as long as
// this object lives, so no test ever reaches the machine's own. Windows needs no prefix. The home
// folder is "home" in the scratch folder, which a test makes when it needs one.
class InstallScratch final
{
public:
    static inline const std::string PackageFolder = "package";
    static inline const std::string PackagedStatus =
        "Status=Uninstalled\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n";
    // For writeStatus: no status file at all, or a folder in its place.
    static inline const std::string NoStatusFile = "(no status file)";
    static inline const std::string StatusFolder = "(status folder)";

    explicit InstallScratch(std::vector<std::string> gameFiles = {"Expand.mix", "Expand2.mix"},
                            std::string gameFolder = "game");

    // Builds the package and the game folder again, as they were at the start.
    void reset();

    static std::vector<std::string> packageFiles();
    static std::string packageContent(const std::string &name) { return "package " + name; }
    static std::string gameContent(const std::string &name)
    {
        return "game " + Text::toLowerAscii(name);
    }

    FileSystem &fileSystem() { return *m_fileSystem; }
    const ScratchFolder &scratch() const { return m_scratch; }
    std::string at(const std::string &relativePath) const { return m_scratch.at(relativePath); }
    std::string gameFolderPath() const { return m_scratch.at(m_gameFolder); }
    std::string gameDirectory() const { return gameFolderPath() + '\\'; }
    // The game directory as a Windows program names it.
    std::string driveCDirectory() const;
    std::vector<std::string> gameSnapshot() const { return m_scratch.snapshot(m_gameFolder); }
    // The whole scratch folder: package, status file and game folder.
    std::vector<std::string> snapshot() const { return m_scratch.snapshot(); }
    // Snapshot lines without what a commit that could not finish leaves for the next start to
    // clear: the former files kept aside and the journal.
    static std::vector<std::string> withoutLeftovers(std::vector<std::string> lines);
    std::string status() const { return m_scratch.contents(PackageFolder + "/Status.ini"); }
    void writeStatus(const std::string &bytes) const;

private:
    ScratchFolder m_scratch;
    std::vector<std::string> m_gameFiles;
    std::string m_gameFolder;
    std::unique_ptr<HostFileSystem> m_fileSystem;
    ScopedWinePrefix m_prefix{m_scratch.at("prefix")};
    std::optional<ScopedEnvironmentVariable> m_home;
    std::optional<ScopedEnvironmentVariable> m_wineHome;
};
