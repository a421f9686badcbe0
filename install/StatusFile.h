#pragma once

#include "runtime/FileSystem.h"

#include <string>

// The two items of the status file, each its whole line without the line end.
struct StatusRecord
{
    std::string statusItem;
    std::string pathItem;

    // The path item without its "Path=" prefix; empty when the item is shorter than that.
    std::string gameDirectory() const;
};

// "Status.ini" in the package folder: whether the mod is installed, for which edition, and where.
class StatusFile final
{
public:
    static inline const std::string FileName = "Status.ini";
    static inline const std::string Uninstalled = "Status=Uninstalled";
    static inline const std::string Aftermath = "Status=Aftermath";
    static inline const std::string Counterstrike = "Status=Counterstrike";
    static inline const std::string PathPrefix = "Path=";

    explicit StatusFile(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<StatusRecord> read() const;
    // The two items of a status file's bytes.
    static ErrorOr<StatusRecord> parse(std::string bytes);

    // The bytes of a status file: "<statusItem>" CR LF "Path=<gameDirectory>" CR LF, UTF-8.
    static std::string encode(const std::string &statusItem, const std::string &gameDirectory);
    // The same for a record whose path item is kept as it was read.
    static std::string encode(const StatusRecord &record);

private:
    FileSystem &m_fileSystem;
};
