#pragma once

#include "ErrorReason.h"

#include <string>

// The causes that the runtime finds with names or texts of their own. Each holds its reason as
// a constant, so that the reason and what it carries cannot disagree.
namespace Cause {

struct SystemMessage
{
    static constexpr ErrorReason reason = ErrorReason::SystemMessage;
    // The system's own words for the error, in UTF-8.
    std::string text;
    bool operator==(const SystemMessage &) const = default;
};

struct Sentence
{
    static constexpr ErrorReason reason = ErrorReason::Sentence;
    // A sentence the windows made themselves, about their own failure.
    std::string text;
    bool operator==(const Sentence &) const = default;
};

struct DriveNotMapped
{
    static constexpr ErrorReason reason = ErrorReason::DriveNotMapped;
    // The drive letter, in upper case, without its colon.
    std::string letter;
    // The Wine prefix that maps no folder to it.
    std::string prefix;
    bool operator==(const DriveNotMapped &) const = default;
};

struct LetterCaseTwins
{
    static constexpr ErrorReason reason = ErrorReason::LetterCaseTwins;
    // The two names in one folder that differ only in letter case, in the order of their bytes.
    std::string first;
    std::string second;
    bool operator==(const LetterCaseTwins &) const = default;
};

struct FolderUnlistable
{
    static constexpr ErrorReason reason = ErrorReason::FolderUnlistable;
    // The folder whose names could not be listed to match their letter case, as the player knows
    // it, and the system's message.
    std::string folder;
    std::string message;
    bool operator==(const FolderUnlistable &) const = default;
};

} // namespace Cause
