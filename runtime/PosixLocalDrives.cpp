#include "LocalDrives.h"

#include "Text.h"
#include "WinePrefix.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

bool isDriveName(const std::string &name)
{
    const std::string upper = Text::toUpperAscii(name);
    return upper.size() == 2 && upper[0] >= 'A' && upper[0] <= 'Z' && upper[1] == ':';
}

// Wine maps the host's root as a drive of its own, usually Z:, for opening files anywhere on the
// machine; Windows programs are not installed there, and its folders may be network mounts.
bool isHostRoot(const fs::path &drive)
{
    std::error_code error;
    const fs::path target = fs::canonical(drive, error);
    return error || target == target.root_path();
}

} // namespace

namespace LocalDrives {

// The drives of the Wine prefix are links in its dosdevices folder, named "c:" and so on; the
// devices beside them ("d::") are not folders.
std::vector<std::string> roots()
{
    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator entry(WinePrefix::folder() / "dosdevices", error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (isDriveName(name) && entry->is_directory(error) && !isHostRoot(entry->path()))
            found.push_back(Text::toUpperAscii(name) + '\\');
        error.clear();
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace LocalDrives
