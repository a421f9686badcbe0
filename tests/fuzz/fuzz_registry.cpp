// Feeds arbitrary bytes to the reading of a Wine registry file, as a damaged or hand-edited
// system.reg would come: whatever it holds, the reading ends, and a value it gives is one line.

#include "runtime/WineRegistryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const WineRegistryFile file(std::string(reinterpret_cast<const char *>(data), size));
    const auto values = file.stringValues(
        {{"Software\\Wow6432Node\\Westwood\\Red Alert Windows 95 Edition", "InstallPath"},
         {"Software\\Westwood\\Red Alert Windows 95 Edition", "InstallPath"},
         {"Software\\EA Games\\Command and Conquer Red Alert", "Install Dir"}});
    if (values.size() != 3)
        std::abort();
    for (const auto &value : values)
        if (value && value->size() > 4 * size)
            std::abort();
    return 0;
}
