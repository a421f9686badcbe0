#include "RunLog.h"

#include "Text.h"

#include <array>
#include <ctime>

namespace {

namespace fs = std::filesystem;

// Only a plain file, or nothing yet, may take the log's lines: a link at the log's name would
// lead them anywhere on the disk.
bool holdsPlainFileOrNothing(const fs::path &path)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found)
        return true;
    return !error && status.type() == fs::file_type::regular;
}

// The log that has grown past its limit becomes the old one, in place of the one before.
bool keepsToItsLimit(const fs::path &log, const fs::path &old)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(log, error);
    if (error || size <= RunLog::SizeLimit)
        return true;
    if (!holdsPlainFileOrNothing(old))
        return false;
    fs::rename(log, old, error);
    return !error;
}

std::string timeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    std::array<char, 32> text{};
    const std::size_t length =
        std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S UTC", &utc);
    return std::string(text.data(), length);
}

std::string oneLine(const std::string &event)
{
    std::string line = Text::replaceAll(event, "\r", "");
    line = Text::replaceAll(line, "\n\n", "\n");
    return Text::replaceAll(line, "\n", " ");
}

} // namespace

RunLog::RunLog(const fs::path &packageFolder)
{
    const fs::path log = packageFolder / FileName;
    if (!holdsPlainFileOrNothing(log) || !keepsToItsLimit(log, packageFolder / OldFileName))
        return;
    m_stream.open(log, std::ios::binary | std::ios::app);
}

void RunLog::write(const std::string &event)
{
    if (!m_stream.is_open())
        return;
    m_stream << timeNow() << ' ' << oneLine(event) << '\n';
    m_stream.flush();
    // A line that could not be written is lost, and so are those after it.
    if (!m_stream)
        m_stream.close();
}
