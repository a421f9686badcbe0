#pragma once

#include <filesystem>
#include <string>

// A fresh folder for one test under the system's temporary folder, removed with everything in it
// when the test is done. Its name is not ASCII, so that every test also proves that paths reach
// the system as Unicode.
class ScratchFolder final
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path at(const std::filesystem::path &relativePath) const;
    void createFile(const std::filesystem::path &relativePath, const std::string &bytes) const;
    std::string contents(const std::filesystem::path &relativePath) const;

private:
    std::filesystem::path m_path;
};
