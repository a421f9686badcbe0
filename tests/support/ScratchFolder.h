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

    std::string path() const { return m_path.string(); }
    std::string at(const std::string &relativePath) const
    {
        return (m_path / relativePath).string();
    }
    // Makes the folders on the way as needed.
    void createFile(const std::string &relativePath, const std::string &bytes) const;
    void createFolder(const std::string &relativePath) const;
    std::string contents(const std::string &relativePath) const;
    // Leaves the scratch folder itself, empty.
    void clear() const;

    // Every file and folder under a folder of the scratch as sorted lines, "path <SHA-256>" for a
    // file and "path/" for a folder, so that two trees compare byte for byte as two lists and a
    // difference shows as the first line that differs.
    std::vector<std::string> snapshot(const std::string &relativePath = {}) const;
    static std::string fileLine(const std::string &relativePath, const std::string &bytes);

private:
    std::filesystem::path m_path;
};
