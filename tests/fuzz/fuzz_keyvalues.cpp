// Feeds arbitrary bytes to the reading of Steam's KeyValues files, as a damaged libraryfolders.vdf
// or appmanifest would come: whatever it holds, the reading ends, and no value is longer than the
// text it came from.

#include "runtime/KeyValuesText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const std::vector<std::string> &path : std::vector<std::vector<std::string>>{
             {"libraryfolders", "*", "path"}, {"LibraryFolders", "*"}, {"AppState", "installdir"}})
        for (const std::string &value : KeyValuesText::valuesAt(text, path))
            if (value.size() > size)
                std::abort();
    return 0;
}
