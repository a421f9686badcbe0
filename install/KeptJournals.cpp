#include "KeptJournals.h"

#include "GameFolder.h"
#include "Journal.h"
#include "JournalOwnership.h"
#include "PackageFolder.h"
#include "runtime/Text.h"

namespace {

std::string keptPrefix()
{
    return Journal::FileName + ".foreign-";
}

// Far more than any package folder holds, and short enough that the next number never overflows.
constexpr std::size_t MostDigits = 15;
constexpr std::uint64_t LargestNumber = 999'999'999'999'999;

// The number of a kept journal's name, written as nameOf writes it: plain decimal, without a sign
// or a leading zero. Nothing for any other name, however alike, so that a name a package or a
// player made can neither hide a kept journal nor be taken for one.
std::optional<std::uint64_t> numberOf(const std::string &name)
{
    const std::string prefix = keptPrefix();
    if (name.size() <= prefix.size() ||
        !Text::equalsIgnoringCase(name.substr(0, prefix.size()), prefix))
        return std::nullopt;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > MostDigits || digits.front() == '0' ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(digits);
}

// Past the largest number, the free ones from the start are taken, so that names never run out.
std::uint64_t nextAfter(std::uint64_t number)
{
    return number < LargestNumber ? number + 1 : 1;
}

} // namespace

std::string KeptJournals::nameOf(std::uint64_t number)
{
    return keptPrefix() + std::to_string(number);
}

ErrorOr<std::map<std::uint64_t, std::string>> KeptJournals::numbered()
{
    std::map<std::uint64_t, std::string> found;
    for (std::string &name : TRY(m_fileSystem.entryNames(PackageFolder::Itself)))
        if (const std::optional<std::uint64_t> number = numberOf(name))
            found.emplace(*number, std::move(name));
    return found;
}

ErrorOr<std::vector<std::string>> KeptJournals::names()
{
    std::vector<std::string> found;
    for (auto &[number, name] : TRY(numbered()))
        found.push_back(std::move(name));
    return found;
}

ErrorOr<std::string> KeptJournals::keep(const std::string &path)
{
    const bool folder = TRY(m_fileSystem.linkKind(path)) == LinkKind::NotALink &&
                        TRY(m_fileSystem.entryKind(path)) == EntryKind::Directory;
    const std::map<std::uint64_t, std::string> taken = TRY(numbered());
    std::uint64_t number = taken.empty() ? 1 : nextAfter(taken.rbegin()->first);
    // Another name may be taken between the listing and the rename; the rename then refuses it,
    // and the next number is tried.
    for (;; number = nextAfter(number)) {
        if (taken.contains(number))
            continue;
        ErrorOr<void> renamed = folder ? m_fileSystem.renameFolder(path, nameOf(number))
                                       : m_fileSystem.rename(path, nameOf(number), Overwrite::No);
        if (!renamed.isError())
            return nameOf(number);
        if (renamed.error().cause().reason() != ErrorReason::NameTaken)
            return renamed.releaseError();
    }
}

ErrorOr<void> KeptJournals::takeBack(const std::string &name, const std::string &path)
{
    return m_fileSystem.rename(name, path, Overwrite::No);
}

// A kept journal that is a link or not a plain file, or one too large to read, was never written
// by a transaction: it names nothing, and it must not stop every start.
ErrorOr<std::optional<JournalContents>> KeptJournals::read(const std::string &name)
{
    if (TRY(m_fileSystem.linkKind(name)) != LinkKind::NotALink ||
        TRY(m_fileSystem.entryKind(name)) != EntryKind::File)
        return std::optional<JournalContents>();
    ErrorOr<std::string> bytes = m_fileSystem.readFile(name);
    if (bytes.isError() && bytes.error().cause().reason() == ErrorReason::TooLargeForTextFile)
        return std::optional<JournalContents>();
    if (bytes.isError())
        return bytes.releaseError();
    return std::optional(Journal::parse(bytes.value()));
}

ErrorOr<std::vector<std::string>> KeptJournals::matched()
{
    std::vector<std::string> found;
    for (const std::string &name : TRY(names())) {
        const std::optional<JournalContents> contents = TRY(read(name));
        if (contents && contents->scope && !TRY(JournalOwnership(m_fileSystem).mismatch(*contents)))
            found.push_back(name);
    }
    return found;
}

// What its undo would act on in the game folder, looked for where the folder is now: what its steps
// made or kept aside there. Put back by hand, the game folder holds none of it, and the journal has
// nothing left to undo there.
ErrorOr<bool> KeptJournals::leavesTrace(const JournalContents &contents,
                                        const std::string &gameDirectory)
{
    const std::string &written = contents.scope->gameDirectory;
    for (const TransactionStep &step : contents.stepsToUndo()) {
        const std::string &made = step.kind == TransactionStep::Kind::SetAside ||
                                          step.kind == TransactionStep::Kind::Rewrite
                                      ? step.aside
                                      : step.target;
        if (step.kind != TransactionStep::Kind::RemoveDirectory && made.starts_with(written) &&
            TRY(m_fileSystem.exists(gameDirectory + made.substr(written.size()))))
            return true;
    }
    return false;
}

// A journal kept from this package folder refuses every procedure here, whatever game folder it
// names: its undo puts back the status file and the manifest copy beside it, which a procedure
// started meanwhile would write over.
ErrorOr<void> KeptJournals::refuseWhileNamed(const std::string &gameDirectory)
{
    std::optional<FileIdentity> game;
    std::optional<FileIdentity> package;
    for (const std::string &name : TRY(names())) {
        const std::optional<JournalContents> found = TRY(read(name));
        if (!found || !found->scope || found->committed || found->stepsToUndo().empty())
            continue;
        const TransactionScope &scope = *found->scope;
        if (!game) {
            game = TRY(m_fileSystem.identity(GameFolder(gameDirectory).folder()));
            package = TRY(m_fileSystem.identity(PackageFolder::Itself));
        }
        if (game->isSameAs(scope.gameIdentity) && TRY(leavesTrace(*found, gameDirectory))) {
            // Written here, the journal was kept only because its game folder was renamed or
            // moved since: back where it was, it is undone at the next start.
            if (!TRY(JournalOwnership(m_fileSystem).packageMismatch(scope)))
                return RuntimeError(RuntimeErrorCode::PathFileAccessError, name,
                                    Cause::KeptJournalGameFolderMoved{
                                        name, scope.gameDirectory, Text::utf8(scope.gameFolder)});
            return RuntimeError(RuntimeErrorCode::PathFileAccessError, name,
                                Cause::KeptJournalNamesFolder{name, Text::utf8(scope.packageFolder),
                                                              scope.gameDirectory,
                                                              Text::utf8(scope.gameFolder)});
        }
        if (package->isSameAs(scope.packageIdentity))
            return RuntimeError(RuntimeErrorCode::PathFileAccessError, name,
                                Cause::KeptJournalFromThisPackage{name, scope.gameDirectory,
                                                                  Text::utf8(scope.gameFolder)});
    }
    return {};
}
