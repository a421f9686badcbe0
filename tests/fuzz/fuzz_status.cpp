// Feeds arbitrary bytes to the status-file reader. Whatever it accepts must survive being
// written and read again unchanged, since the removal writes back the path line it read.

#include "install/StatusFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const auto record = StatusFile::parse(bytes);
    if (record.isError())
        return 0;
    const StatusRecord &read = record.value();
    if (read.statusItem.find('\n') != std::string::npos ||
        read.pathItem.find('\n') != std::string::npos)
        std::abort();
    // A byte-order mark is dropped from the front of the file, so one in the item cannot return.
    if (read.statusItem.starts_with("\xEF\xBB\xBF"))
        return 0;
    const auto again = StatusFile::parse(StatusFile::encode(read));
    if (again.isError() || again.value().statusItem != read.statusItem ||
        again.value().pathItem != read.pathItem)
        std::abort();
    return 0;
}
