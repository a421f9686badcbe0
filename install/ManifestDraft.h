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
        : m_fileSystem(fileSystem), m_digests(fileSystem), m_edition(edition)
    {}

    // The entry's digest is that of the file at path.
    ErrorOr<void> add(ManifestEntry::Role role, const std::string &name, const std::string &path);
    // The placed entry is a copy, now at placedAt, of the package file at source, read ahead.
    // While that file stays as it was from before its reading until the manifest is finished, the
    // copy holds the bytes read; a file written to meanwhile, or a link, is read at placedAt.
    void addPlaced(const std::string &name, const std::string &source, const std::string &placedAt);
    // Starts reading each of the game's files that the installation keeps, before it is moved
    // into the backup folder, so that the hashing of the largest files starts with the
    // installation.
    ErrorOr<void> readAheadKept(const std::vector<std::string> &paths);
    // The kept entry is the file at from, read ahead and moved to path since. Its digest is the one
    // read ahead while the file at path is the very file opened then; otherwise the file at path
    // is read.
    ErrorOr<void> addKept(const std::string &name, const std::string &from,
                          const std::string &path);
    // The entry holds the very bytes of the one added before under the name original.
    void addCopy(ManifestEntry::Role role, const std::string &name, const std::string &original);

    // Starts reading each file for its digest now, ahead of its entry, so that the hashing fills
    // the time the steps spend waiting for the disk: a later addPlaced() from the same path takes
    // that digest.
    ErrorOr<void> readAhead(const std::vector<std::string> &paths);
    // Waits for every digest.
    ErrorOr<InstallationManifest> finish();

private:
    struct Entry
    {
        ManifestEntry::Role role;
        std::string name;
        std::size_t ticket;
        // For a copy of a file read ahead: where it was read, and where the copy is.
        std::string source = {};
        std::string placedAt = {};
    };
    struct ReadAhead
    {
        std::size_t ticket;
        FileStamp stamp;
    };

    ErrorOr<FileDigest> digestOf(const Entry &entry);

    FileSystem &m_fileSystem;
    DigestQueue m_digests;
    Edition m_edition;
    std::vector<Entry> m_entries;
    std::map<std::string, ReadAhead> m_readAhead;
    std::map<std::string, std::size_t> m_keptAhead;
};
