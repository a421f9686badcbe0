#pragma once

#include "FileIdentity.h"

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

// The names the folders hold, each folder listed once and then kept up to date with the
// installer's own changes, while a transaction works in the folders it holds: matching the letter
// case of names would otherwise list the same folders for every name it looks up. A listing is
// kept under the path it was listed by, with the folder's identity, so that a change made through
// one path also reaches the listing of the same folder reached by another (its own path and a
// held folder's); a change in a folder that was not listed by that path drops every listing.
// A name that another program adds or removes meanwhile is not seen. A spelling that has gone
// fails as a missing file would; a name added in another letter case is not matched, and a file
// made under the name as asked stands beside it, never over it: no other file is touched, and the
// checks before each step stay.
class ListingCache final
{
public:
    // Keeps listings from now on, until stop().
    void start() { m_keeping = true; }
    void stop();

    // The names in the folder; a folder that cannot be listed, or told apart, gives the error.
    std::error_code names(const std::filesystem::path &folder, std::vector<std::string> &names);
    // The entry at the path was made, or given that name, by the installer.
    void added(const std::filesystem::path &path);
    // The entry at the path was deleted, or renamed away, by the installer.
    void removed(const std::filesystem::path &path);
    // The folder is about to go, or a change to it went wrong, perhaps half way: it is listed
    // again when next asked.
    void forget(const std::filesystem::path &folder);

private:
    struct Listing
    {
        std::filesystem::path folder;
        FileIdentity identity;
        std::vector<std::string> names;
    };

    void change(const std::filesystem::path &folder,
                const std::function<void(std::vector<std::string> &)> &edit);
    Listing *find(const std::filesystem::path &folder);

    bool m_keeping = false;
    std::vector<Listing> m_listings;
};
