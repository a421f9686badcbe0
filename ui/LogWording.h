#pragma once

#include "install/StatusFile.h"
#include "RunPlatform.h"
#include "runtime/ErrorOr.h"

#include <filesystem>
#include <string>

// The log's lines that no message box gives: the start of a run and what the status file says.
namespace LogWording {

inline const std::string Version = "2.00";

std::string start(const RunPlatform &platform, const std::filesystem::path &packageFolder,
                  const std::string &action);
std::string status(const ErrorOr<StatusRecord> &status);
std::string end(int exitCode);

} // namespace LogWording
