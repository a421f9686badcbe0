// Feeds arbitrary bytes to the journal reader, as a crash or a bad disk may leave it. Whatever it
// reads must be consistent and must read back the same once written again.

#include "install/Journal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const JournalContents contents = Journal::parse(bytes);
    if (contents.undone > contents.steps.size())
        std::abort();
    if (contents.committed && contents.undone > 0)
        std::abort();
    if (!(Journal::parse(Journal::encode(contents)) == contents))
        std::abort();
    return 0;
}
