#pragma once

#include "Edition.h"
#include "runtime/ErrorOr.h"
#include "runtime/FileDigest.h"

#include <string>
#include <vector>

// One file that the installation is answerable for.
struct ManifestEntry
{
    enum class Role {
        Placed, // the mod's file, put into the game folder
        Kept,   // the game's or the player's own file, kept in the backup folder
    };

    Role role;
    // As the folder holds it, letter case and all.
    std::string name;
    FileDigest digest;

    bool operator==(const ManifestEntry &) const = default;
};

// What an installation did, kept in the backup folder so that the removal takes out exactly the
// files the installation placed and gives back exactly the files it kept, and can tell whether
// those are still the same. UTF-8 text, one record a line, each ended by CR LF:
//
//   BEXOM-manifest 1
//   edition Aftermath
//   kept EXPAND.MIX 1048576 <SHA-256 in hex>
//   placed Rules.ini 4711 <SHA-256 in hex>
//   sha256 <SHA-256 in hex of every byte before this line>
//
// The last line makes a list that was cut short or damaged show as such rather than be believed.
// It is a checksum, not a signature: anyone who edits the list can compute it again. So every
// name must also be one that the installation of the list's edition handles in the role given,
// each at most once, so that no list, however it was made, can lead the removal outside the game
// folder or to files of the player's that the installation never touched, such as the Aftrmath.ini
// of a game on which BEXOM was installed for Counterstrike.
class InstallationManifest final
{
public:
    static inline const std::string FileName = "BEXOMv2.manifest";

    explicit InstallationManifest(Edition edition) : m_edition(edition) {}

    Edition edition() const { return m_edition; }
    const std::vector<ManifestEntry> &entries() const { return m_entries; }
    std::vector<ManifestEntry> entries(ManifestEntry::Role role) const;

    void add(const ManifestEntry &entry) { m_entries.push_back(entry); }

    std::string encode() const;
    // The path only names the list in the error.
    static ErrorOr<InstallationManifest> parse(const std::string &bytes, const std::string &path);

    // Whether the name is one of the files an installation of either edition places or keeps, in
    // any letter case.
    static bool isKnownName(const std::string &name);

private:
    Edition m_edition;
    std::vector<ManifestEntry> m_entries;
};
