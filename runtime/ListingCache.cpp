#include "ListingCache.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

std::error_code list(const fs::path &folder, std::vector<std::string> &names)
{
    std::error_code error;
    names.clear();
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error))
        names.push_back(it->path().filename().string());
    return error;
}

// The entry a path names, a folder named with a final separator included.
fs::path entryOf(const fs::path &path)
{
    return path.has_filename() ? path : path.parent_path();
}

} // namespace

void ListingCache::stop()
{
    m_keeping = false;
    m_listings.clear();
}

std::error_code ListingCache::names(const fs::path &folder, std::vector<std::string> &names)
{
    if (!m_keeping)
        return list(folder, names);
    if (const Listing *kept = find(folder)) {
        names = kept->names;
        return {};
    }
    FileIdentity identity;
    if (const std::error_code error = list(folder, names))
        return error;
    if (const std::error_code error = NativeFileOperations::identify(folder, identity))
        return error;
    m_listings.push_back({folder, identity, names});
    return {};
}

void ListingCache::added(const fs::path &path)
{
    const std::string name = entryOf(path).filename().string();
    change(entryOf(path).parent_path(), [&](std::vector<std::string> &names) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    });
}

void ListingCache::removed(const fs::path &path)
{
    const std::string name = entryOf(path).filename().string();
    change(entryOf(path).parent_path(),
           [&](std::vector<std::string> &names) { std::erase(names, name); });
}

void ListingCache::forget(const fs::path &folder)
{
    const Listing *listing = find(entryOf(folder));
    if (!listing) {
        m_listings.clear();
        return;
    }
    const FileIdentity identity = listing->identity;
    std::erase_if(m_listings, [&](const Listing &kept) { return kept.identity == identity; });
}

// Looks at nothing on the disk, so that a change that was made is never reported as failed.
void ListingCache::change(const fs::path &folder,
                          const std::function<void(std::vector<std::string> &)> &edit)
{
    if (m_listings.empty())
        return;
    const Listing *changed = find(folder);
    // The folder may be one of those listed, reached by another path.
    if (!changed) {
        m_listings.clear();
        return;
    }
    const FileIdentity identity = changed->identity;
    for (Listing &listing : m_listings)
        if (listing.identity == identity)
            edit(listing.names);
}

ListingCache::Listing *ListingCache::find(const fs::path &folder)
{
    const auto found =
        std::find_if(m_listings.begin(), m_listings.end(),
                     [&](const Listing &listing) { return listing.folder == folder; });
    return found == m_listings.end() ? nullptr : &*found;
}
