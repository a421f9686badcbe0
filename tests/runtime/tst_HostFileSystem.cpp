#include "runtime/HostFileSystem.h"
#include "ScratchFolder.h"

#include <doctest/doctest.h>

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
        // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
        m_dir.createFolder("prefix/dosdevices");
        fs::create_directory_symlink(m_dir.path(), m_dir.at("prefix/dosdevices/c:"));
        setenv("WINEPREFIX", m_dir.at("prefix").c_str(), 1);
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
    m_dir.createFile("rules.ini", "mod rules");
    REQUIRE(!m_fileSystem->copyFile("Rules.ini", "Game\\RULES.ini").isError());
    REQUIRE(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    REQUIRE(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    CHECK(filesIn("GAME") == std::vector<std::string>{"Rules.INI"});
    CHECK(m_dir.contents("GAME/Rules.INI") == "mod rules");
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
