#include "runtime/HostFileSystem.h"
#include "runtime/Sha256.h"
#include "ScratchFolder.h"

#include <doctest/doctest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct HostFileSystemTest
{
    HostFileSystemTest()
    {
        m_dir.createFolder("GAME/BEXOMV2");
        m_dir.createFile("GAME/EXPAND.MIX", "expand");
        m_dir.createFile("GAME/Rules.INI", "player rules");
        m_dir.createFile("LOCAL/Édition spéciale/Über.ini", "accents");
        m_dir.createFile("LOCAL/Straße.ini", "sharp s");
        // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
        m_dir.createFolder("prefix/dosdevices");
        fs::create_directory_symlink(m_dir.path(), m_dir.at("prefix/dosdevices/c:"));
        setenv("WINEPREFIX", m_dir.at("prefix").c_str(), 1);
        // Entries that are no plain files, where the installer expects one.
        m_dir.createFolder("ODD");
        REQUIRE(::mkfifo(m_dir.at("ODD/pipe").c_str(), 0600) == 0);
        fs::create_symlink(m_dir.at("outside/x"), m_dir.at("ODD/Title.pcx"));
        fs::create_symlink("loop", m_dir.at("ODD/loop"));
        fs::create_symlink("/dev/null", m_dir.at("ODD/null"));
        fs::create_symlink("pipe", m_dir.at("ODD/relative"));
        m_dir.createFile("ODD/EXPAND.MIX", "upper");
        m_dir.createFile("ODD/expand.mix", "lower");
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
    std::unique_ptr<HostFileSystem> m_fileSystem = std::make_unique<HostFileSystem>(m_dir.path());
};

} // namespace

TEST_CASE_FIXTURE(HostFileSystemTest, "namesMatchWhateverTheirLetterCaseAndDrive")
{
    struct Row
    {
        const char *name;
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
        {"upper-case drive", "C:\\GAME\\EXPAND.MIX", "expand"},
        {"lower-case drive, mixed case", "c:\\game\\Expand.mix", "expand"},
        {"drive, forward slashes", "C:/Game/expand.MIX", "expand"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const auto bytes = m_fileSystem->readFile(row.path);
        CHECK_MESSAGE(!bytes.isError(), (bytes.isError() ? bytes.error().report() : ""));
        if (!bytes.isError())
            CHECK(bytes.value() == row.expected);
    }
}

TEST_CASE_FIXTURE(HostFileSystemTest, "replacedFilesKeepTheirExistingName")
{
    REQUIRE(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    CHECK(filesIn("GAME") == std::vector<std::string>{"Rules.INI"});
    CHECK(filesIn("GAME/BEXOMV2") == std::vector<std::string>{"Expand.mix"});
    CHECK(m_dir.contents("STATUS.INI") == "y");
}

TEST_CASE_FIXTURE(HostFileSystemTest, "unmappedDriveIsReportedAsSuch")
{
    const auto kind = m_fileSystem->entryKind("D:\\WESTWOOD\\REDALERT\\");
    REQUIRE(kind.isError());
    CHECK(kind.error().code() == RuntimeErrorCode::PathNotFound);
    CHECK(kind.error().path() == "D:\\WESTWOOD\\REDALERT\\");
    CHECK(kind.error().cause().find("Drive D: is not mapped") != std::string::npos);
}

TEST_CASE_FIXTURE(HostFileSystemTest, "failuresCarryTheirNumberAndPath")
{
    using Operation = std::function<ErrorOr<void>(FileSystem &)>;
    using enum RuntimeErrorCode;
    struct Row
    {
        const char *name;
        Operation operation;
        RuntimeErrorCode code;
        std::string path;
        std::string cause = {};
    };
    const auto read = [](const std::string &path) {
        return Operation([=](FileSystem &fs) -> ErrorOr<void> {
            TRY(fs.readFile(path));
            return {};
        });
    };
    const Row rows[] = {
        {"delete a missing file", [](FileSystem &fs) { return fs.deleteFile("GAME\\Title.pcx"); },
         FileNotFound, "GAME\\Title.pcx"},
        {"delete a folder", [](FileSystem &fs) { return fs.deleteFile("GAME\\BEXOMv2"); },
         PathFileAccessError, "GAME\\BEXOMv2", "This is a folder, not a file."},
        {"rename onto a taken name",
         [](FileSystem &fs) {
             return fs.rename("GAME\\Expand.mix", "GAME\\RULES.INI", Overwrite::No);
         },
         FileAlreadyExists, "GAME\\RULES.INI"},
        {"rename into a missing folder",
         [](FileSystem &fs) {
             return fs.rename("GAME\\Expand.mix", "GAME\\Nowhere\\Expand.mix", Overwrite::No);
         },
         PathNotFound, "GAME\\Nowhere\\Expand.mix"},
        {"copy a missing file",
         [](FileSystem &fs) { return fs.copyFile("SC-Vorda.mix", "GAME\\x"); }, FileNotFound,
         "SC-Vorda.mix"},
        {"copy onto a taken name",
         [](FileSystem &fs) { return fs.copyFile("GAME\\Expand.mix", "game\\rules.ini"); },
         FileAlreadyExists, "game\\rules.ini"},
        {"copy onto a link whose target is gone",
         [](FileSystem &fs) { return fs.copyFile("GAME\\Expand.mix", "ODD\\Title.pcx"); },
         FileAlreadyExists, "ODD\\Title.pcx"},
        {"copy from a named pipe", [](FileSystem &fs) { return fs.copyFile("ODD/pipe", "GAME/x"); },
         PathFileAccessError, "ODD/pipe", "This is a named pipe (FIFO), not a plain file."},
        {"sharp s is no double s", read("LOCAL\\STRASSE.INI"), FileNotFound, "LOCAL\\STRASSE.INI"},
        {"make an existing folder",
         [](FileSystem &fs) { return fs.makeDirectory("GAME\\BEXOMv2"); }, FileAlreadyExists,
         "GAME\\BEXOMv2"},
        {"make a folder in a missing one",
         [](FileSystem &fs) { return fs.makeDirectory("NONE\\BEXOMv2"); }, PathNotFound,
         "NONE\\BEXOMv2"},
        {"remove a folder that is not empty",
         [](FileSystem &fs) { return fs.removeDirectory("GAME"); }, PathFileAccessError, "GAME"},
        {"remove a missing folder", [](FileSystem &fs) { return fs.removeDirectory("GAME\\Old"); },
         PathNotFound, "GAME\\Old"},
        {"read a folder", read("GAME"), PathFileAccessError, "GAME",
         "This is a folder, not a file."},
        {"read a named pipe", read("ODD\\pipe"), PathFileAccessError, "ODD\\pipe",
         "This is a named pipe (FIFO), not a plain file."},
        {"read a device", read("ODD\\null"), PathFileAccessError, "ODD\\null",
         "This is a device, not a plain file."},
        {"read one of two names that differ only in letter case", read("odd\\Expand.mix"),
         PathFileAccessError, "odd\\Expand.mix",
         "The folder holds both \"EXPAND.MIX\" and \"expand.mix\", which differ only in letter "
         "case; the installer cannot tell which one is meant. Rename or remove one of them."},
        {"read through a folder that cannot be listed", read("ODD\\loop\\Status.ini"),
         PathFileAccessError, "ODD\\loop\\Status.ini"},
        {"append to a named pipe",
         [](FileSystem &fs) { return fs.appendDurably("ODD\\pipe", "x"); }, PathFileAccessError,
         "ODD\\pipe", "This is a named pipe (FIFO), not a plain file."},
        {"append through a link",
         [](FileSystem &fs) { return fs.appendDurably("ODD\\Title.pcx", "x"); },
         PathFileAccessError, "ODD\\Title.pcx", "This is a symbolic link, not a plain file."},
        {"append to a folder", [](FileSystem &fs) { return fs.appendDurably("GAME", "x"); },
         PathFileAccessError, "GAME", "This is a folder, not a file."},
        {"compare with a missing entry",
         [](FileSystem &fs) -> ErrorOr<void> {
             TRY(fs.isSameEntry("GAME\\Old", "GAME\\New"));
             return {};
         },
         FileNotFound, "GAME\\Old"},
        {"flush a missing folder", [](FileSystem &fs) { return fs.syncFolder("GAME\\Old"); },
         FileNotFound, "GAME\\Old"},
        {"digest a missing file",
         [](FileSystem &fs) -> ErrorOr<void> {
             TRY(fs.digest("GAME\\Title.pcx"));
             return {};
         },
         FileNotFound, "GAME\\Title.pcx"},
        {"digest a folder",
         [](FileSystem &fs) -> ErrorOr<void> {
             TRY(fs.digest("GAME\\BEXOMv2"));
             return {};
         },
         PathFileAccessError, "GAME\\BEXOMv2", "This is a folder, not a file."},
        {"create a file that is there",
         [](FileSystem &fs) { return fs.createFileDurably("GAME\\RULES.ini", "new"); },
         FileAlreadyExists, "GAME\\RULES.ini"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const auto result = row.operation(*m_fileSystem);
        REQUIRE(result.isError());
        CHECK(result.error().code() == row.code);
        CHECK(result.error().path() == row.path);
        if (!row.cause.empty())
            CHECK(result.error().cause() == row.cause);
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

TEST_CASE_FIXTURE(HostFileSystemTest, "linksAreToldApartAndCountAsPresent")
{
    const struct
    {
        const char *name;
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
