#include "ScratchFolder.h"

#include "runtime/Sha256.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string &what, const fs::path &path)
{
    std::fprintf(stderr, "%s %s\n", what.c_str(), ScratchFolder::utf8(path).c_str());
    std::abort();
}

} // namespace

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    m_path = fs::temp_directory_path() /
             ("bexom-test-" + std::to_string(random()) + '-' + std::to_string(random()));
    if (!fs::create_directory(m_path))
        fail("Cannot make the scratch folder", m_path);
}

std::string ScratchFolder::utf8(const fs::path &path)
{
    const std::u8string bytes = path.u8string();
    return {bytes.begin(), bytes.end()};
}

fs::path ScratchFolder::nativeAt(const std::string &relativePath) const
{
    return m_path / std::u8string(relativePath.begin(), relativePath.end());
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void ScratchFolder::createFile(const std::string &relativePath, const std::string &bytes) const
{
    const fs::path file = nativeAt(relativePath);
    fs::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    if (!stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        fail("Cannot write the scratch file", file);
}

void ScratchFolder::createFolder(const std::string &relativePath) const
{
    fs::create_directories(nativeAt(relativePath));
}

std::string ScratchFolder::contents(const std::string &relativePath) const
{
    std::ifstream stream(nativeAt(relativePath), std::ios::binary);
    if (!stream)
        return {};
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

void ScratchFolder::clear() const
{
    for (const fs::directory_entry &entry : fs::directory_iterator(m_path))
        fs::remove_all(entry.path());
}

void ScratchFolder::change(const std::string &line) const
{
    const std::string path = line.substr(1, line.find_first_of(">=", 1) - 1);
    const std::string after = line.substr(std::min(line.size(), path.size() + 2));
    const fs::path native = nativeAt(path);
    // Only the changes that make an entry make the folders on its way: a removal makes none.
    if (line.starts_with('@') || line.starts_with('|'))
        fs::create_directories(native.parent_path());
    switch (line.at(0)) {
    case '+':
        return path.ends_with('/') ? createFolder(path) : createFile(path, after);
    case '-':
        fs::remove_all(native);
        return;
    case '~':
        return createFile(path, contents(path).replace(0, 1, "~"));
    case '>':
        fs::create_directories(nativeAt(after).parent_path());
        return fs::rename(native, nativeAt(after));
    case '@':
        return fs::create_symlink(std::u8string(after.begin(), after.end()), native);
    case '^':
        fs::rename(native, nativeAt(path + ".old"));
        fs::copy(nativeAt(path + ".old"), native, fs::copy_options::recursive);
        fs::remove_all(nativeAt(path + ".old"));
        return;
#ifndef _WIN32
    case '|':
        if (::mkfifo(native.c_str(), 0600) != 0)
            fail("Cannot make the named pipe", native);
        return;
#endif
    }
    fail("No such change: " + line, m_path);
}

void ScratchFolder::change(const std::vector<std::string> &lines) const
{
    for (const std::string &line : lines)
        change(line);
}

std::vector<std::string> ScratchFolder::snapshot(const std::string &relativePath) const
{
    std::vector<std::string> lines;
    const fs::path base = nativeAt(relativePath);
    // Symbolic links, such as a Wine prefix's drive letters, are listed but not followed.
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(base)) {
        const std::u8string relative = entry.path().lexically_relative(base).generic_u8string();
        const std::string name(relative.begin(), relative.end());
        std::error_code error;
        if (fs::is_directory(entry.path(), error)) {
            lines.push_back(name + '/');
            continue;
        }
        std::ifstream stream(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        if (stream)
            bytes << stream.rdbuf();
        lines.push_back(fileLine(name, stream ? bytes.str() : "(unreadable)"));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string ScratchFolder::fileLine(const std::string &relativePath, const std::string &bytes)
{
    return relativePath + ' ' + Text::toHex(Sha256::of(bytes, Sha256::Engine::Portable));
}
