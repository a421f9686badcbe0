#include "KeptJournals.h"

#include "GameFolder.h"
#include "Journal.h"
#include "JournalOwnership.h"

namespace {

// As UTF-8 on every platform, as the player's own paths are.
std::string utf8(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

std::string KeptJournals::nameOf(std::size_t number)
{
    return Journal::FileName + ".foreign-" + std::to_string(number);
}

ErrorOr<std::vector<std::string>> KeptJournals::names()
{
    std::vector<std::string> found;
    while (TRY(m_fileSystem.exists(nameOf(found.size() + 1))))
        found.push_back(nameOf(found.size() + 1));
    return found;
}

ErrorOr<std::string> KeptJournals::keep(const std::string &path)
{
    // Another name may be taken between the look and the rename; the rename then refuses it, and
    // the next number is tried.
    for (std::size_t number = TRY(names()).size() + 1;; ++number) {
        ErrorOr<void> renamed = m_fileSystem.rename(path, nameOf(number), Overwrite::No);
        if (!renamed.isError())
            return nameOf(number);
        if (renamed.error().code() != RuntimeErrorCode::FileAlreadyExists)
            return renamed.releaseError();
    }
}

ErrorOr<void> KeptJournals::takeBack(const std::string &name, const std::string &path)
{
    const std::vector<std::string> kept = TRY(names());
    TRY(m_fileSystem.rename(name, path, Overwrite::No));
    if (kept.empty() || kept.back() == name)
        return {};
    return m_fileSystem.rename(kept.back(), name, Overwrite::No);
}

// A kept journal that is a link or not a plain file, or one too large to read, was never written
// by a transaction: it names nothing, and it must not stop every start.
ErrorOr<std::optional<JournalContents>> KeptJournals::read(const std::string &name)
{
    if (TRY(m_fileSystem.linkKind(name)) != LinkKind::NotALink ||
        TRY(m_fileSystem.entryKind(name)) != EntryKind::File)
        return std::optional<JournalContents>();
    ErrorOr<std::string> bytes = m_fileSystem.readFile(name);
    if (bytes.isError() && bytes.error().code() != RuntimeErrorCode::PathFileAccessError)
        return bytes.releaseError();
    if (bytes.isError())
        return std::optional<JournalContents>();
    return std::optional(Journal::parse(bytes.value()));
}

ErrorOr<std::string> KeptJournals::firstMatched()
{
    for (const std::string &name : TRY(names())) {
        const std::optional<JournalContents> contents = TRY(read(name));
        if (contents && contents->scope &&
            TRY(JournalOwnership(m_fileSystem).mismatch(*contents)).empty())
            return name;
    }
    return std::string();
}

ErrorOr<void> KeptJournals::refuseWhileNamed(const std::string &gameDirectory)
{
    std::optional<FileIdentity> game;
    for (const std::string &name : TRY(names())) {
        const std::optional<JournalContents> found = TRY(read(name));
        if (!found || !found->scope || found->committed || found->stepsToUndo().empty())
            continue;
        const JournalContents &contents = *found;
        if (!game)
            game = TRY(m_fileSystem.identity(GameFolder(gameDirectory).folder()));
        if (!game->isSameAs(contents.scope->gameIdentity))
            continue;
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, name,
                            {ErrorReason::KeptJournalNamesFolder,
                             {name, utf8(contents.scope->packageFolder),
                              contents.scope->gameDirectory, utf8(contents.scope->gameFolder)}});
    }
    return {};
}
