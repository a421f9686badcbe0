// Feeds arbitrary text to the path translation: drive letters, both slashes, dots, letter case.
// A scratch tree and Wine prefix give the case matching real folders to search.

#include "runtime/PathTranslator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir &scratch()
{
    static QTemporaryDir directory = [] {
        QTemporaryDir made;
        QDir root(made.path());
        root.mkpath("drive_c/WESTWOOD/REDALERT/BEXOMv2");
        QFile(made.filePath("drive_c/WESTWOOD/REDALERT/EXPAND.MIX")).open(QIODevice::WriteOnly);
        root.mkpath("prefix/dosdevices");
        QFile::link(made.filePath("drive_c"), made.filePath("prefix/dosdevices/c:"));
        qputenv("WINEPREFIX", made.filePath("prefix").toUtf8());
        return made;
    }();
    return directory;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path base = scratch().path().toStdString();
    const PathTranslator translator(base);
    const QString path =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto host = translator.toHostPath(path);
    if (host.isError()) {
        // Only an unmapped drive is refused, and the refusal names the path as given.
        if (host.error().path() != path || host.error().code() != RuntimeErrorCode::PathNotFound)
            std::abort();
        return 0;
    }
    // A relative name never escapes the base folder except through an explicit "..".
    const bool relative = !path.contains(':') && !path.startsWith('/') && !path.startsWith('\\');
    const std::string hostText = host.value().string();
    if (relative && !path.contains("..") && hostText.rfind(base.string(), 0) != 0)
        std::abort();
    return 0;
}
