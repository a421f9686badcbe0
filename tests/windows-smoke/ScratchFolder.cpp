#include "ScratchFolder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = base / u8"bexom-scratch-Größe-ℝ-";
        m_path += std::to_string(random());
        // create_directory is false when the name is taken: another test's folder stays its own.
        if (fs::create_directory(m_path))
            return;
    }
    throw std::runtime_error("Cannot create a scratch folder in " + base.string());
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
#ifdef _WIN32
    // Tests go beyond MAX_PATH, which only the \\?\ form of a path may.
    fs::remove_all(LR"(\\?\)" + fs::path(m_path).make_preferred().wstring(), ignored);
#else
    fs::remove_all(m_path, ignored);
#endif
}

fs::path ScratchFolder::at(const fs::path &relativePath) const
{
    return m_path / relativePath;
}

void ScratchFolder::createFile(const fs::path &relativePath, const std::string &bytes) const
{
    fs::create_directories(at(relativePath).parent_path());
    std::ofstream file(at(relativePath), std::ios::binary);
    if (!file.write(bytes.data(), std::streamsize(bytes.size())).flush())
        throw std::runtime_error("Cannot write the scratch file " + at(relativePath).string());
}

std::string ScratchFolder::contents(const fs::path &relativePath) const
{
    std::ifstream file(at(relativePath), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
