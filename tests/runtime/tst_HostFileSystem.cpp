#include "runtime/HostFileSystem.h"
#include "ScratchFolder.h"

#include <doctest/doctest.h>

#ifdef _WIN32
#include "runtime/PathTranslator.h"
#include <windows.h>
#endif

#include <cstdlib>
#include <functional>
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
#ifndef _WIN32
        // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
        m_dir.createFolder("prefix/dosdevices");
        fs::create_directory_symlink(m_dir.path(), m_dir.at("prefix/dosdevices/c:"));
        setenv("WINEPREFIX", m_dir.at("prefix").c_str(), 1);
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
        {"upper-case drive", drive('C') + "\\GAME\\EXPAND.MIX", "expand"},
        {"lower-case drive, mixed case", drive('c') + "\\game\\Expand.mix", "expand"},
        {"drive, forward slashes", drive('C') + "/Game/expand.MIX", "expand"},
        {"dot and dot-dot", drive('C') + "\\GAME\\.\\BEXOMV2\\..\\Expand.mix", "expand"},
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
    struct Row
    {
        std::string path;
        std::string stored;
    };
    const Row rows[] = {{"game\\rules.ini", "Rules.INI"},
                        {"Game\\bexomv2", "BEXOMV2"},
                        {"GAME\\Missing.ini", "Missing.ini"},
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
    CHECK(kind.error().cause().find("Drive D: is not mapped") != std::string::npos);
}
#endif

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
    };
    const Row rows[] = {
        {"delete a missing file", [](FileSystem &fs) { return fs.deleteFile("GAME\\Title.pcx"); },
         FileNotFound, "GAME\\Title.pcx"},
        {"delete a folder", [](FileSystem &fs) { return fs.deleteFile("GAME\\BEXOMv2"); },
         PathFileAccessError, "GAME\\BEXOMv2"},
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
        {"read a folder",
         [](FileSystem &fs) -> ErrorOr<void> {
             TRY(fs.readFile("GAME"));
             return {};
         },
         PathFileAccessError, "GAME"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const auto result = row.operation(*m_fileSystem);
        REQUIRE(result.isError());
        CHECK(result.error().code() == row.code);
        CHECK(result.error().path() == row.path);
        CHECK(m_dir.contents("GAME/EXPAND.MIX") == "expand");
        CHECK(m_dir.contents("GAME/Rules.INI") == "player rules");
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

    const auto ontoItself = m_fileSystem->copyFile("GAME\\Expand.mix", "game\\EXPAND.MIX");
    CHECK(ontoItself.isError());
    CHECK(m_dir.contents("GAME/EXPAND.MIX") == "expand");
}

#ifdef _WIN32
TEST_CASE("everyWindowsPathIsGivenInItsExtendedLengthForm")
{
    // Wine does not hold programs to MAX_PATH, so the form itself is what shows that a long path
    // would work on Windows.
    const PathTranslator translator(L"C:\\Package");
    const std::string deep = "C:\\" + std::string(150, 'x') + "\\" + std::string(150, 'y');
    struct Row
    {
        const char *name;
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

TEST_CASE("windowsErrorsGiveTheRuntimeNumbers")
{
    struct Row
    {
        DWORD error;
        int number;
    };
    const Row rows[] = {
        {ERROR_FILE_NOT_FOUND, 53},    {ERROR_PATH_NOT_FOUND, 76}, {ERROR_INVALID_NAME, 76},
        {ERROR_ALREADY_EXISTS, 58},    {ERROR_FILE_EXISTS, 58},    {ERROR_ACCESS_DENIED, 70},
        {ERROR_SHARING_VIOLATION, 70}, {ERROR_LOCK_VIOLATION, 70}, {ERROR_DISK_FULL, 61},
        {ERROR_HANDLE_DISK_FULL, 61},  {ERROR_DIR_NOT_EMPTY, 75},  {ERROR_CRC, 75},
    };
    for (const Row &row : rows) {
        CAPTURE(row.error);
        const RuntimeError error = RuntimeError::fromErrorCode(
            {static_cast<int>(row.error), std::system_category()}, "C:\\RA\\Expand.mix");
        CHECK(error.number() == row.number);
        CHECK(error.path() == "C:\\RA\\Expand.mix");
        CHECK(!error.cause().empty());
    }
}
#endif
