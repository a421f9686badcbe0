#pragma once

#include "Edition.h"
#include "InstallationManifest.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

// One file of the manifest as the check found it: in the game folder for a file the installation
// placed, in the backup folder for one it kept.
struct FileFinding
{
    enum class State { Intact, Changed, Missing };

    ManifestEntry entry;
    std::string path;
    State state;
};

// What an installation looks like now, beside what its manifest says it left.
struct InstallationFindings
{
    enum class Manifest { Found, NoneFound };

    // Nothing when the status file says that nothing is installed.
    std::optional<Edition> edition;
    std::string gameDirectory;
    Manifest manifest = Manifest::NoneFound;
    // The edition the manifest was written for, when it is not the status file's.
    std::optional<Edition> manifestEdition;
    std::vector<FileFinding> files;

    bool allIntact() const;
};

// Compares an installation with its manifest, file by file, and changes nothing.
class InstallationCheck final
{
public:
    explicit InstallationCheck(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<InstallationFindings> check();

private:
    ErrorOr<FileFinding::State> stateOf(const std::string &path, const FileDigest &digest);

    FileSystem &m_fileSystem;
};
