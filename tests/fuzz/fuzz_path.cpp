// Feeds arbitrary text to the path translation: drive letters, both slashes, dots, letter case.
// A scratch tree and Wine prefix give the case matching real folders to search.

#include "runtime/PathTranslator.h"
#include "ScopedWinePrefix.h"
#include "ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

// Made at the first input and removed when the fuzzer ends.
struct Scratch
{
    Scratch()
    {
        folder.createFile("drive_c/WESTWOOD/REDALERT/EXPAND.MIX", {});
        folder.createFolder("drive_c/WESTWOOD/REDALERT/BEXOMv2");
        folder.createFolder("prefix/dosdevices");
        fs::create_directory_symlink(folder.at("drive_c"), folder.at("prefix/dosdevices/c:"));
    }

    ScratchFolder folder;
    ScopedWinePrefix prefix{folder.at("prefix")};
};

const Scratch &scratch()
{
    static const Scratch made;
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const fs::path &base = scratch().folder.nativePath();
    const PathTranslator translator(base);
    const std::string path(reinterpret_cast<const char *>(data), size);
    const auto host = translator.toHostPath(path);
    if (host.isError()) {
        // An unmapped drive, a name too long for the system, a folder that cannot be listed or
        // two names that differ only in letter case: whatever the refusal, it names the path as
        // given and says why.
        if (host.error().path() != path || host.error().cause().reason() == ErrorReason::None)
            std::abort();
        return 0;
    }
    // A relative name never escapes the base folder except through an explicit "..".
    const bool relative =
        path.find(':') == std::string::npos && !path.starts_with('/') && !path.starts_with('\\');
    const std::string hostText = host.value().string();
    if (relative && path.find("..") == std::string::npos && hostText.rfind(base.string(), 0) != 0)
        std::abort();
    return 0;
}
