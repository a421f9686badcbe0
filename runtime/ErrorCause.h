#pragma once

#include "CheckCauses.h"
#include "ErrorReason.h"
#include "FileCauses.h"
#include "JournalCauses.h"
#include "NestedCause.h"

#include <algorithm>
#include <concepts>
#include <iterator>
#include <variant>

// A reason that needs nothing but itself to be told.
struct ReasonOnly
{
    ErrorReason reason = ErrorReason::None;
    bool operator==(const ReasonOnly &) const = default;
};

// The reasons that the structs of a variant of details serve, one struct to a reason.
template <typename Details> struct DetailedReasons;
template <typename... Detailed> struct DetailedReasons<std::variant<ReasonOnly, Detailed...>>
{
    static constexpr ErrorReason served[] = {Detailed::reason...};
    template <typename Type>
    static constexpr bool isDetailed = (std::same_as<Type, Detailed> || ...);

    static consteval bool serves(ErrorReason reason)
    {
        return std::ranges::find(served, reason) != std::ranges::end(served);
    }
    static consteval bool servesEachOnce()
    {
        for (std::size_t index = 0; index < std::size(served); ++index)
            if (std::ranges::find(served + index + 1, std::ranges::end(served), served[index]) !=
                std::ranges::end(served))
                return false;
        return true;
    }
};

// One of the structs of details, which come with their reason; a bare reason is checked as it
// is made.
template <typename Type, typename Details>
concept DetailsIn = DetailedReasons<Details>::template isDetailed<Type>;

// Why an operation failed, as data: the reason, with the names and paths its words need in a
// struct of its own. The reason is read from what the cause holds, so the two cannot disagree.
class ErrorCause final
{
public:
    using Details = std::variant<
        ReasonOnly, Cause::SystemMessage, Cause::Sentence, Cause::DriveNotMapped,
        Cause::LetterCaseTwins, Cause::FolderUnlistable, Cause::NotAPlainFileLacking,
        Cause::GamesFoundElsewhere, Cause::PackageIncomplete, Cause::StatusFileNotInPackage,
        Cause::EditionMismatch, Cause::KeptArchiveMissing, Cause::EarlierInstallationIncomplete,
        Cause::KeptCopyMissing, Cause::KeptCopyDamaged, Cause::ManifestUnreadable,
        Cause::ManifestNamesUnknownFile, Cause::NoManifestServes, Cause::NameWindowsRewrites,
        Cause::KeptJournalNamesFolder, Cause::KeptJournalGameFolderMoved,
        Cause::KeptJournalFromThisPackage, Cause::JournalFromOtherPackageFolder,
        Cause::PackageFolderReplaced, Cause::JournalGameFolderMoved, Cause::JournalGameFolderGone,
        Cause::JournalGameFolderMadeAnew, Cause::JournalNamesPathOutside,
        Cause::JournalNamesFileNotWritten, Cause::JournalReplacesFileNotOwn,
        Cause::JournalDeletesFileNotOwn, Cause::JournalBackupFolderLeadsOut>;

    ErrorCause() = default;
    // A reason given bare must be one that carries nothing: given one that does, the program
    // does not compile, rather than tell the player of a cause without its names.
    consteval ErrorCause(ErrorReason reason) : m_details(ReasonOnly{reason})
    {
        if (DetailedReasons<Details>::serves(reason))
            throw "this reason is made with its details";
    }
    template <DetailsIn<Details> Detailed>
    ErrorCause(Detailed details) : m_details(std::move(details))
    {}

    ErrorReason reason() const
    {
        return std::visit([](const auto &details) { return details.reason; }, m_details);
    }
    const Details &details() const { return m_details; }
    // The details, where the cause holds those of the type asked for.
    template <typename Detailed> const Detailed *detailsAs() const
    {
        return std::get_if<Detailed>(&m_details);
    }

    bool operator==(const ErrorCause &) const = default;

private:
    Details m_details;
};

static_assert(DetailedReasons<ErrorCause::Details>::servesEachOnce(),
              "two structs of details serve one reason");
