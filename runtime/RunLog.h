#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// The installer's account of a run, one line an event with its time, for the player to read or to
// hand to whoever helps them. It is kept in the package folder, never in the game's. The log is a
// witness, not a part of the work: a log that cannot be written loses its lines in silence and
// never stops or changes what the installer does.
class RunLog final
{
public:
    static inline const std::string FileName = "BEXOMv2.log";
    static inline const std::string OldFileName = "BEXOMv2.log.old";
    // Past this size the log starts afresh, and the one before is kept as the old log.
    static constexpr std::uintmax_t SizeLimit = 256 * 1024;

    // A log that writes nothing.
    RunLog() = default;
    explicit RunLog(const std::filesystem::path &packageFolder);

    // One line, whatever line breaks the event holds.
    void write(const std::string &event);

private:
    std::ofstream m_stream;
};
