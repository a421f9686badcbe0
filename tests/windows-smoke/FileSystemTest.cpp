#include "ScratchFolder.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Bytes that a text-mode stream or a narrow code page would change on the way.
const std::string Bytes("MIX\0\r\n\x1a\xff\xfe end", 14);

} // namespace

TEST_CASE("A file with a non-ASCII name is written and listed under its own name")
{
    const ScratchFolder scratch;
    const fs::path name = u8"Ünïcödé 日本語 ∑/EXPAND.MIX";

    scratch.createFile(name, Bytes);

    CHECK(scratch.contents(name) == Bytes);
    std::vector<fs::path> listed;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(scratch.path()))
        listed.push_back(fs::relative(entry.path(), scratch.path()));
    REQUIRE(listed.size() == 2);
    CHECK(listed[1].u8string() == (name.parent_path() / name.filename()).u8string());
}

#ifdef _WIN32

namespace {

// Without the \\?\ prefix Windows cuts paths at MAX_PATH (260) characters.
std::wstring extendedLength(const fs::path &path)
{
    return LR"(\\?\)" + fs::absolute(path).make_preferred().wstring();
}

HANDLE createNew(const fs::path &path)
{
    return CreateFileW(extendedLength(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeNew(const fs::path &path, const std::string &bytes)
{
    const HANDLE file = createNew(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

std::string contentsOf(const fs::path &path)
{
    std::ifstream file(fs::path(extendedLength(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_CASE("Files beyond MAX_PATH are created once and never moved over another")
{
    const ScratchFolder scratch;
    fs::path folder = scratch.path();
    while (folder.native().size() < MAX_PATH)
        folder /= u8"Sehr langer Ordnername für Größe ÄÖÜ";
    REQUIRE(fs::create_directories(extendedLength(folder)));
    const fs::path first = folder / u8"first é.mix";
    const fs::path second = folder / u8"second ß.mix";
    const fs::path moved = folder / u8"moved ∑.mix";

    REQUIRE(writeNew(first, Bytes));
    REQUIRE(writeNew(second, "second"));

    CHECK(createNew(first) == INVALID_HANDLE_VALUE);
    CHECK(GetLastError() == ERROR_FILE_EXISTS);
    CHECK_FALSE(MoveFileExW(extendedLength(first).c_str(), extendedLength(second).c_str(), 0));
    CHECK(GetLastError() == ERROR_ALREADY_EXISTS);
    CHECK(contentsOf(second) == "second");

    REQUIRE(MoveFileExW(extendedLength(first).c_str(), extendedLength(moved).c_str(), 0));
    CHECK_FALSE(fs::exists(extendedLength(first)));
    CHECK(contentsOf(moved) == Bytes);
}

#endif
