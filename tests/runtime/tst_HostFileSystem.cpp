#include "runtime/HostFileSystem.h"
#include "runtime/Sha256.h"
#include "runtime/Text.h"
#include "ScopedEnvironmentVariable.h"
#include "ScopedWinePrefix.h"
#include "ScratchFolder.h"
#include "TestOutcome.h"
#include "ui/ErrorWording.h"

#include <doctest/doctest.h>
#ifdef _WIN32
#include "runtime/PathTranslator.h"
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct HostFileSystemTest
{
    HostFileSystemTest()
    {
        m_dir.change({"+GAME/BEXOMV2/", "+GAME/EXPAND.MIX=expand", "+GAME/Rules.INI=player rules",
                      "+LOCAL/Édition spéciale/Über.ini=accents", "+LOCAL/Straße.ini=sharp s"});
#ifndef _WIN32
        // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
        // Beside it, entries that are no plain files, where the installer expects one.
        m_dir.change({"@prefix/dosdevices/c:>" + m_dir.path(), "|ODD/pipe",
                      "@ODD/Title.pcx>" + m_dir.at("outside/x"), "@ODD/loop>loop",
                      "@ODD/null>/dev/null", "@ODD/relative>pipe", "+ODD/EXPAND.MIX=upper",
                      "+ODD/expand.mix=lower"});
#endif
    }

    // The scratch folder as a path on the drive with the letter given: the whole drive of the
    // Wine prefix, or the scratch folder's own place on Windows.
    std::string drive(char letter) const
    {
#ifdef _WIN32
        return letter + m_dir.path().substr(1);
#else
        return letter + std::string(":");
#endif
    }

    std::vector<std::string> filesIn(const std::string &relativePath) const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry &entry : fs::directory_iterator(m_dir.at(relativePath)))
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        return names;
    }

    ScratchFolder m_dir;
    ScopedWinePrefix m_prefix{m_dir.at("prefix")};
    std::unique_ptr<HostFileSystem> m_fileSystem = std::make_unique<HostFileSystem>(m_dir.path());
};

// Runs the operation named by the first word of a call on the paths that follow it.
ErrorOr<void> call(FileSystem &fs, const std::string &call)
{
    const std::vector<std::string> words = Text::split(call, ' ', Text::EmptyParts::Skip);
    const std::string &verb = words[0];
    const std::string &path = words[1];
    const std::string other = words.size() > 2 ? words[2] : std::string();
    if (verb == "delete")
        return fs.deleteFile(path);
    if (verb == "rename")
        return fs.rename(path, other, Overwrite::No);
    if (verb == "copy")
        return fs.copyFile(path, other);
    if (verb == "mkdir")
        return fs.makeDirectory(path);
    if (verb == "rmdir")
        return fs.removeDirectory(path);
    if (verb == "append")
        return fs.appendDurably(path, "x");
    if (verb == "sync")
        return fs.syncFolder(path);
    if (verb == "create")
        return fs.createFileDurably(path, "new");
    if (verb == "same") {
        TRY(fs.isSameEntry(path, other));
    } else if (verb == "read") {
        TRY(fs.readFile(path));
    } else {
        TRY(fs.digest(path));
    }
    return {};
}

} // namespace

TEST_CASE_FIXTURE(HostFileSystemTest, "namesMatchWhateverTheirLetterCaseAndDrive")
{
    struct Row
    {
        std::string name;
        std::string path;
        std::string expected;
    };
    const Row rows[] = {
        {"exact name", "GAME/EXPAND.MIX", "expand"},
        {"mixed case", "Game\\Expand.mix", "expand"},
        {"lower case, forward slashes", "game/expand.mix", "expand"},
        {"trailing component differs", "GAME\\rules.ini", "player rules"},
        {"accented letters", "local/ÉDITION SPÉCIALE/über.INI", "accents"},
        {"sharp s", "LOCAL/STRAßE.INI", "sharp s"},
        {"upper-case drive", drive('C') + "\\GAME\\EXPAND.MIX", "expand"},
        {"lower-case drive, mixed case", drive('c') + "\\game\\Expand.mix", "expand"},
        {"drive, forward slashes", drive('C') + "/Game/expand.MIX", "expand"},
        {"dot and dot-dot", drive('C') + "\\GAME\\.\\BEXOMV2\\..\\Expand.mix", "expand"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const auto bytes = m_fileSystem->readFile(row.path);
        CHECK_MESSAGE(!bytes.isError(),
                      (bytes.isError() ? ErrorWording::report(bytes.error()) : ""));
        if (!bytes.isError())
            CHECK(bytes.value() == row.expected);
    }
}

TEST_CASE_FIXTURE(HostFileSystemTest, "replacedFilesKeepTheirExistingName")
{
    // Held, as by a transaction, the folders' listings follow the renames and the new files.
    REQUIRE(!m_fileSystem->holdFolder("game", HeldFolder::OwnName::MayBeALink).isError());
    REQUIRE(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    CHECK(filesIn("GAME") == std::vector<std::string>{"Rules.INI"});
    CHECK(filesIn("GAME/BEXOMV2") == std::vector<std::string>{"Expand.mix"});
    CHECK(m_dir.contents("STATUS.INI") == "y");
    struct Row
    {
        std::string path;
        std::string stored;
    };
    const Row rows[] = {{"game\\rules.ini", "Rules.INI"},
                        {"Game\\bexomv2", "BEXOMV2"},
                        {"GAME\\Missing.ini", "Missing.ini"},
                        {"game\\expand.mix", "expand.mix"},
                        {"GAME\\*.INI", "*.INI"}};
    for (const Row &row : rows) {
        CAPTURE(row.path);
        const ErrorOr<std::string> stored = m_fileSystem->storedName(row.path);
        REQUIRE(!stored.isError());
        CHECK(stored.value() == row.stored);
    }
}

TEST_CASE_FIXTURE(HostFileSystemTest, "deepAndNonAsciiFoldersWork")
{
    // Far beyond the 260 characters of MAX_PATH, in names of 50 characters, as Windows allows.
    std::string folder = "GAME\\Alerte Rouge – Édition spéciale";
    REQUIRE(!m_fileSystem->makeDirectory(folder).isError());
    for (int depth = 0; depth < 6; ++depth) {
        folder += "\\" + std::string(49, 'a' + depth) + "ß";
        REQUIRE(!m_fileSystem->makeDirectory(folder).isError());
    }
    REQUIRE(folder.size() > 300);
    const std::string file = folder + "\\Übung.ini";
    REQUIRE(!m_fileSystem->copyFile("GAME\\Rules.INI", file).isError());
    REQUIRE(!m_fileSystem->rename(file, folder + "\\Moved.ini", Overwrite::No).isError());
    const ErrorOr<std::string> bytes = m_fileSystem->readFile(folder + "\\moved.ini");
    REQUIRE(!bytes.isError());
    CHECK(bytes.value() == "player rules");
    CHECK(m_fileSystem->storedName(folder + "\\MOVED.INI").value() == "Moved.ini");
    CHECK(!m_fileSystem->deleteFile(folder + "\\Moved.ini").isError());
    CHECK(m_fileSystem->entryKind(file).value() == EntryKind::Missing);
}

#ifndef _WIN32
TEST_CASE_FIXTURE(HostFileSystemTest, "unmappedDriveIsReportedAsSuch")
{
    const auto kind = m_fileSystem->entryKind("D:\\WESTWOOD\\REDALERT\\");
    REQUIRE(kind.isError());
    CHECK(kind.error().code() == RuntimeErrorCode::PathNotFound);
    CHECK(kind.error().path() == "D:\\WESTWOOD\\REDALERT\\");
    CHECK(reasonOf(kind.error()) == ErrorReason::DriveNotMapped);
}
#endif

TEST_CASE_FIXTURE(HostFileSystemTest, "failuresCarryTheirNumberAndPath")
{
    using enum RuntimeErrorCode;
    struct Row
    {
        std::string name;
        std::string call; // the operation's name and the paths it takes, blank-separated
        RuntimeErrorCode code;
        std::string path;
        ErrorReason reason = ErrorReason::None; // checked where the engine knows more
    };
    const ErrorReason notAFile = ErrorReason::IsAFolder;
#ifndef _WIN32
    const ErrorReason pipe = ErrorReason::IsANamedPipe;
#endif
    const Row rows[] = {
        {"delete a missing file", "delete GAME\\Title.pcx", FileNotFound, "GAME\\Title.pcx"},
        {"delete a folder", "delete GAME\\BEXOMv2", PathFileAccessError, "GAME\\BEXOMv2", notAFile},
        {"rename onto a taken name", "rename GAME\\Expand.mix GAME\\RULES.INI", FileAlreadyExists,
         "GAME\\RULES.INI"},
        {"rename into a missing folder", "rename GAME\\Expand.mix GAME\\Nowhere\\Expand.mix",
         PathNotFound, "GAME\\Nowhere\\Expand.mix"},
        {"copy a missing file", "copy SC-Vorda.mix GAME\\x", FileNotFound, "SC-Vorda.mix"},
        {"copy onto a taken name", "copy GAME\\Expand.mix game\\rules.ini", FileAlreadyExists,
         "game\\rules.ini"},
#ifndef _WIN32
        {"copy onto a link whose target is gone", "copy GAME\\Expand.mix ODD\\Title.pcx",
         FileAlreadyExists, "ODD\\Title.pcx"},
        {"copy from a named pipe", "copy ODD/pipe GAME/x", PathFileAccessError, "ODD/pipe", pipe},
#endif
        {"sharp s is no double s", "read LOCAL\\STRASSE.INI", FileNotFound, "LOCAL\\STRASSE.INI"},
        {"make an existing folder", "mkdir GAME\\BEXOMv2", FileAlreadyExists, "GAME\\BEXOMv2"},
        {"make a folder in a missing one", "mkdir NONE\\BEXOMv2", PathNotFound, "NONE\\BEXOMv2"},
        {"remove a folder that is not empty", "rmdir GAME", PathFileAccessError, "GAME"},
        {"remove a missing folder", "rmdir GAME\\Old", PathNotFound, "GAME\\Old"},
        {"read a folder", "read GAME", PathFileAccessError, "GAME", notAFile},
#ifndef _WIN32
        {"read a named pipe", "read ODD\\pipe", PathFileAccessError, "ODD\\pipe", pipe},
        {"read a device", "read ODD\\null", PathFileAccessError, "ODD\\null",
         ErrorReason::IsADevice},
        {"read one of two names that differ only in letter case", "read odd\\Expand.mix",
         PathFileAccessError, "odd\\Expand.mix", ErrorReason::LetterCaseTwins},
        {"read through a folder that cannot be listed", "read ODD\\loop\\Status.ini",
         PathFileAccessError, "ODD\\loop\\Status.ini"},
        {"append to a named pipe", "append ODD\\pipe", PathFileAccessError, "ODD\\pipe", pipe},
        {"append through a link", "append ODD\\Title.pcx", PathFileAccessError, "ODD\\Title.pcx",
         ErrorReason::IsASymbolicLink},
#endif
        {"append to a folder", "append GAME", PathFileAccessError, "GAME", notAFile},
        {"compare with a missing entry", "same GAME\\Old GAME\\New", FileNotFound, "GAME\\Old"},
        {"flush a missing folder", "sync GAME\\Old", FileNotFound, "GAME\\Old"},
        {"digest a missing file", "digest GAME\\Title.pcx", FileNotFound, "GAME\\Title.pcx"},
        {"digest a folder", "digest GAME\\BEXOMv2", PathFileAccessError, "GAME\\BEXOMv2", notAFile},
        {"create a file that is there", "create GAME\\RULES.ini", FileAlreadyExists,
         "GAME\\RULES.ini"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const auto result = call(*m_fileSystem, row.call);
        REQUIRE(result.isError());
        CHECK(result.error().code() == row.code);
        CHECK(result.error().path() == row.path);
        if (row.reason != ErrorReason::None)
            CHECK(reasonOf(result.error()) == row.reason);
        // A taken name is told by its cause, which callers branch on.
        CHECK((row.code == FileAlreadyExists) ==
              (reasonOf(result.error()) == ErrorReason::NameTaken));
        CHECK(m_dir.contents("GAME/EXPAND.MIX") == "expand");
        CHECK(m_dir.contents("GAME/Rules.INI") == "player rules");
        CHECK(!fs::exists(fs::symlink_status(m_dir.at("outside"))));
        CHECK(!fs::exists(fs::symlink_status(m_dir.at("GAME/x"))));
    }
}

TEST_CASE_FIXTURE(HostFileSystemTest, "copyIsExactAndNeverOntoItself")
{
    std::string large(5 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7919 % 251);
    m_dir.createFile("Expand2.mix", large);
    REQUIRE(!m_fileSystem->copyFile("Expand2.mix", "GAME\\Expand2.mix").isError());
    CHECK(m_dir.contents("GAME/Expand2.mix") == large);
    const auto digest = m_fileSystem->digest("game\\expand2.MIX");
    REQUIRE(!digest.isError());
    Sha256 hash(Sha256::Engine::Portable);
    hash.update(large);
    const Sha256::Digest expected = hash.finish();
    CHECK(digest.value() == FileDigest{static_cast<std::int64_t>(large.size()),
                                       std::string(reinterpret_cast<const char *>(expected.data()),
                                                   expected.size())});

    const auto ontoItself = m_fileSystem->copyFile("GAME\\Expand.mix", "game\\EXPAND.MIX");
    CHECK(ontoItself.isError());
    CHECK(m_dir.contents("GAME/EXPAND.MIX") == "expand");
}

// Links, named pipes and names that are not UTF-8 are POSIX matters.
#ifndef _WIN32
TEST_CASE_FIXTURE(HostFileSystemTest, "linksAreToldApartAndCountAsPresent")
{
    const struct
    {
        std::string name;
        std::string path;
        LinkKind link;
        EntryKind entry;
    } rows[] = {
        {"plain file", "game\\expand.mix", LinkKind::NotALink, EntryKind::File},
        {"nothing", "GAME\\Title.pcx", LinkKind::NotALink, EntryKind::Missing},
        {"full path, target gone", "ODD\\title.PCX", LinkKind::AbsoluteLink, EntryKind::Other},
        {"full path to a device", "ODD\\null", LinkKind::AbsoluteLink, EntryKind::Other},
        {"relative", "ODD\\relative", LinkKind::RelativeLink, EntryKind::Other},
        {"drive of the Wine prefix", "prefix/dosdevices/c:", LinkKind::AbsoluteLink,
         EntryKind::Directory},
    };
    for (const auto &[name, path, link, entry] : rows) {
        CAPTURE(name);
        const auto linkKind = m_fileSystem->linkKind(path);
        const auto entryKind = m_fileSystem->entryKind(path);
        REQUIRE((!linkKind.isError() && !entryKind.isError()));
        CHECK(linkKind.value() == link);
        CHECK(entryKind.value() == entry);
    }
}

// A package folder whose name is Latin-1, as an old archive tool may have unpacked it.
TEST_CASE_FIXTURE(HostFileSystemTest, "packageFolderNamedInLatin1Works")
{
    const fs::path package = fs::path(m_dir.path()) / "f\xFCr";
    fs::create_directory(package);
    std::ofstream(package / "Status.ini") << "Status=Uninstalled";
    std::ofstream(package / "\xE9t\xE9.txt") << "not UTF-8";
    HostFileSystem fileSystem(package);

    const auto status = fileSystem.readFile("STATUS.INI");
    REQUIRE(!status.isError());
    CHECK(status.value() == "Status=Uninstalled");
    CHECK(fileSystem.storedName("status.ini").value() == "Status.ini");
    CHECK(!fileSystem.copyFile("Status.ini", "Copy.ini").isError());
    CHECK(!fileSystem.writeFileAtomically("status.ini", "new").isError());
    CHECK(!fileSystem.appendDurably("Journal", "line").isError());
    CHECK(!fileSystem.syncFolder(".").isError());
    CHECK(fs::file_size(package / "Copy.ini") == 18u);
    CHECK(fs::file_size(package / "Status.ini") == 3u);
    CHECK(fs::file_size(package / "Journal") == 4u);
    CHECK(std::distance(fs::directory_iterator(package), fs::directory_iterator()) == 4);
}
#endif

#ifdef _WIN32
TEST_CASE("everyWindowsPathIsGivenInItsExtendedLengthForm")
{
    // Wine does not hold programs to MAX_PATH, so the form itself is what shows that a long path
    // would work on Windows.
    const PathTranslator translator(L"C:\\Package");
    const std::string deep = "C:\\" + std::string(150, 'x') + "\\" + std::string(150, 'y');
    struct Row
    {
        std::string name;
        std::string path;
        std::string host;
    };
    const Row rows[] = {
        {"drive", "C:\\WESTWOOD\\REDALERT\\Expand.mix", R"(\\?\C:\WESTWOOD\REDALERT\Expand.mix)"},
        {"forward slashes, folder", "d:/westwood//redalert/", R"(\\?\d:\westwood\redalert\)"},
        {"dot and dot-dot", "D:\\RA\\..\\RA95\\.\\Rules.ini", R"(\\?\D:\RA95\Rules.ini)"},
        {"relative to the package", "Status.ini", R"(\\?\C:\Package\Status.ini)"},
        {"root of the package's drive", "\\GAME", R"(\\?\C:\GAME)"},
        {"UNC", "\\\\server\\share\\RA\\Expand.mix", R"(\\?\UNC\server\share\RA\Expand.mix)"},
        {"UNC, forward slashes", "//server/share/RA", R"(\\?\UNC\server\share\RA)"},
        {"already extended", R"(\\?\C:\RA)", R"(\\?\C:\RA)"},
        {"beyond MAX_PATH", deep, R"(\\?\)" + deep},
        {"non-ASCII", "C:\\Alerte Rouge – Édition\\", "\\\\?\\C:\\Alerte Rouge – Édition\\"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const ErrorOr<fs::path> host = translator.toHostPath(row.path);
        REQUIRE(!host.isError());
        const std::u8string bytes = host.value().u8string();
        CHECK(std::string(bytes.begin(), bytes.end()) == row.host);
    }
}
#endif

#ifndef _WIN32
// A move to another file system copies: a copy a crash cut short waits at a hidden name, never at
// the destination, and the next move of the same file, or the next start, clears it; anything else
// there is kept.
TEST_CASE_FIXTURE(HostFileSystemTest, "moveToAnotherFileSystemIsNeverTornAtAVisibleName")
{
    struct stat here
    {
    }, there{};
    ::stat(m_dir.path().c_str(), &here);
    std::optional<ScopedEnvironmentVariable> elsewhere;
    for (const char *folder : {"/dev/shm", "/var/tmp", "/tmp"})
        if (!elsewhere && ::stat(folder, &there) == 0 && there.st_dev != here.st_dev)
            elsewhere.emplace("TMPDIR", folder);
    if (!elsewhere)
        return;
    const ScratchFolder other;
    elsewhere.reset();
    other.createFile(".bexom-moving-Rules.ini", "player");
    other.createFile(".bexom-moving-Title.pcx", "someone's own");
    m_dir.createFile("GAME/Title.pcx", "title");

    CHECK(!m_fileSystem->rename("GAME\\Rules.ini", other.at("Rules.ini"), Overwrite::No).isError());
    const auto refused =
        m_fileSystem->rename("GAME\\Title.pcx", other.at("Title.pcx"), Overwrite::No);
    REQUIRE(refused.isError());
    CHECK(refused.error().code() == RuntimeErrorCode::FileAlreadyExists);
    // At start-up: a copy cut short while its source was whole, a whole one, and an only copy.
    other.createFile(".bexom-moving-Expand.mix", "exp");
    other.createFile(".bexom-moving-Rules.ini", "player rules");
    for (const std::string name : {"Expand.mix", "Rules.ini", "Title.pcx"})
        CHECK(!m_fileSystem->clearCutShortMove("GAME\\" + name, other.at(name)).isError());
    CHECK(other.snapshot() ==
          std::vector{ScratchFolder::fileLine(".bexom-moving-Title.pcx", "someone's own"),
                      ScratchFolder::fileLine("Rules.ini", "player rules")});
    CHECK((!fs::exists(m_dir.at("GAME/Rules.INI")) && fs::exists(m_dir.at("GAME/Title.pcx"))));
}
#endif
