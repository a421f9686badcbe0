#pragma once

#include "DigestQueue.h"
#include "InstallationManifest.h"

#include <map>

// The manifest of an installation while the installation goes on. Each entry's file is opened
// as its step is done, or earlier when read ahead, and read in the background; the manifest is
// whole once every digest is in.
class ManifestDraft final
{
public:
    ManifestDraft(FileSystem &fileSystem, Edition edition)
        : m_digests(fileSystem), m_edition(edition)
    {}

    // The entry's digest is that of the file at path.
    ErrorOr<void> add(ManifestEntry::Role role, const std::string &name, const std::string &path);
    // The entry holds the very bytes of the one added before under the name original.
    void addCopy(ManifestEntry::Role role, const std::string &name, const std::string &original);

    // Starts reading each file for its digest now, ahead of its entry, so that the hashing fills
    // the time the steps spend waiting for the disk: a later add() of the same path takes that
    // digest.
    ErrorOr<void> readAhead(const std::vector<std::string> &paths);
    // Waits for every digest.
    ErrorOr<InstallationManifest> finish();

private:
    struct Entry
    {
        ManifestEntry::Role role;
        std::string name;
        std::size_t ticket;
    };

    DigestQueue m_digests;
    Edition m_edition;
    std::vector<Entry> m_entries;
    std::map<std::string, std::size_t> m_readAhead;
};
