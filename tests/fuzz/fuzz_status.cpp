// Feeds arbitrary bytes to the status-file reader. Whatever it accepts must survive being
// written and read again unchanged, since the removal writes back the path line it read.

#include "install/StatusFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto record = StatusFile::parse(bytes);
    if (record.isError())
        return 0;
    const StatusRecord &read = record.value();
    if (read.statusItem.contains(u'\n') || read.pathItem.contains(u'\n'))
        std::abort();
    // A byte-order mark is dropped from the front of the file, so one in the item cannot return.
    if (read.statusItem.startsWith(QChar(0xFEFF)))
        return 0;
    const auto again = StatusFile::parse(StatusFile::encode(read));
    if (again.isError() || again.value().statusItem != read.statusItem ||
        again.value().pathItem != read.pathItem)
        std::abort();
    return 0;
}
