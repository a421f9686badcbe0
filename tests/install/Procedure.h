#pragma once

#include "install/Edition.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

class InstallScratch;

enum class Direction { Install, Removal };

// One of the four procedures, under the name of the routine that runs it.
struct Procedure
{
    std::string name;
    Edition edition;
    Direction direction;

    // A removal starts from a completed installation of its edition, one of whose files the
    // player has changed.
    ErrorOr<void> prepare(InstallScratch &scratch) const;
    ErrorOr<void> run(FileSystem &fileSystem, const std::string &gameDirectory) const;
    // The same through the request that leads to it, answered Yes.
    ErrorOr<void> request(FileSystem &fileSystem, const std::string &gameDirectory) const;

    static std::vector<Procedure> all();
    static std::optional<Procedure> named(const std::string &name);
};
