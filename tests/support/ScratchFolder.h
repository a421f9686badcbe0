#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A fresh folder for one test, removed with everything in it when the test is done.
class ScratchFolder final
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // Paths in UTF-8, as the installer takes them on every platform.
    std::string path() const { return utf8(m_path); }
    const std::filesystem::path &nativePath() const { return m_path; }
    std::string at(const std::string &relativePath) const { return utf8(nativeAt(relativePath)); }
    std::filesystem::path nativeAt(const std::string &relativePath) const;
    // Makes the folders on the way as needed.
    void createFile(const std::string &relativePath, const std::string &bytes) const;
    void createFolder(const std::string &relativePath) const;
    std::string contents(const std::string &relativePath) const;
    // Leaves the scratch folder itself, empty.
    void clear() const;
    // The one way tests change a scratch folder, a line for each change: "+path" makes an empty
    // file, "+path=bytes" one with those bytes, "+path/" a folder; "-path" removes whatever is
    // there; "~path" spoils a file's first byte; ">path>new" renames; "@path>target" makes a
    // symbolic link to the target as written; "^path" makes a folder anew, with the same files
    // but a new identity; "|path" makes a named pipe. Folders on the way are made as needed.
    void change(const std::string &line) const;
    void change(const std::vector<std::string> &lines) const;

    // Every file and folder under a folder of the scratch as sorted lines, "path <SHA-256>" for a
    // file and "path/" for a folder, so that two trees compare byte for byte as two lists and a
    // difference shows as the first line that differs.
    std::vector<std::string> snapshot(const std::string &relativePath = {}) const;
    static std::string fileLine(const std::string &relativePath, const std::string &bytes);

    // A std::string given to std::filesystem is in the ANSI code page on Windows, not UTF-8.
    static std::string utf8(const std::filesystem::path &path);

private:
    std::filesystem::path m_path;
};
