#include "Journal.h"

#include "KeptJournals.h"
#include "runtime/PathTranslator.h"
#include "runtime/Text.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <string_view>

using Kind = TransactionStep::Kind;

namespace {

const std::string ScopeWord = "scope";
const std::string CommitWord = "commit";
const std::string UndoneWord = "undone";
constexpr std::size_t ChecksumLength = 8;

std::string kindWord(Kind kind)
{
    switch (kind) {
    case Kind::MakeDirectory:
        return "make-directory";
    case Kind::RemoveDirectory:
        return "remove-directory";
    case Kind::Move:
        return "move";
    case Kind::Copy:
        return "copy";
    case Kind::SetAside:
        return "set-aside";
    case Kind::Rewrite:
        return "rewrite";
    case Kind::Create:
        return "create";
    }
    return {};
}

std::optional<Kind> kindOf(const std::string &word)
{
    for (const Kind kind : {Kind::MakeDirectory, Kind::RemoveDirectory, Kind::Move, Kind::Copy,
                            Kind::SetAside, Kind::Rewrite, Kind::Create})
        if (kindWord(kind) == word)
            return kind;
    return std::nullopt;
}

// The paths a step of this kind cannot do without; a record that lacks one is not ours.
bool isWhole(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::Move:
    case Kind::Copy:
        return !step.source.empty() && !step.target.empty();
    case Kind::SetAside:
    case Kind::Rewrite:
        return !step.aside.empty() && !step.target.empty();
    default:
        return !step.target.empty();
    }
}

std::uint32_t crc32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string checksumOf(std::string_view content)
{
    return Text::hex(crc32(content), ChecksumLength);
}

std::string line(const std::vector<std::string> &fields)
{
    const std::string content = Text::join(fields, " ");
    return content + ' ' + checksumOf(content) + '\n';
}

std::string field(const std::string &path)
{
    return Text::percentEncode(path);
}

std::string path(const std::string &field)
{
    return Text::percentDecode(field);
}

// Host paths are kept as UTF-8 on every platform; on POSIX these are the very bytes of the path.
std::string field(const std::filesystem::path &hostPath)
{
    return field(Text::utf8(hostPath));
}

std::filesystem::path hostPath(const std::string &field)
{
    return Text::pathFromUtf8(path(field));
}

std::vector<std::string> identityFields(const FileIdentity &identity)
{
    return {std::to_string(identity.device), std::to_string(identity.file),
            std::to_string(identity.birth)};
}

std::optional<std::uint64_t> numberOf(const std::string &digits)
{
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

// Device, file and birth time; a journal written before birth times were kept has only the first
// two, and its birth times are unknown.
std::optional<FileIdentity> identityOf(std::span<const std::string> fields)
{
    const std::optional<std::uint64_t> deviceNumber = numberOf(fields[0]);
    const std::optional<std::uint64_t> fileNumber = numberOf(fields[1]);
    const std::optional<std::uint64_t> birth = fields.size() > 2 ? numberOf(fields[2]) : 0;
    if (!deviceNumber || !fileNumber || !birth)
        return std::nullopt;
    return FileIdentity{*deviceNumber, *fileNumber, *birth};
}

// Only absolute host paths name the folders: a relative one would depend on where the installer
// happens to be started.
std::optional<TransactionScope> scopeOf(const std::vector<std::string> &fields)
{
    const std::size_t identityLength = fields.size() == 8 ? 2 : 3;
    if ((fields.size() != 8 && fields.size() != 10) || fields[0] != ScopeWord)
        return std::nullopt;
    const std::span<const std::string> all(fields);
    const std::optional<FileIdentity> packageIdentity = identityOf(all.subspan(2, identityLength));
    const std::optional<FileIdentity> gameIdentity =
        identityOf(all.subspan(4 + identityLength, identityLength));
    TransactionScope scope{hostPath(fields[1]), packageIdentity.value_or(FileIdentity()),
                           path(fields[2 + identityLength]), hostPath(fields[3 + identityLength]),
                           gameIdentity.value_or(FileIdentity())};
    if (!packageIdentity || !gameIdentity || !PathTranslator::isFullHostPath(scope.packageFolder) ||
        !PathTranslator::isFullHostPath(scope.gameFolder))
        return std::nullopt;
    return scope;
}

// The fields of a line whose checksum holds; nothing for a damaged one.
std::optional<std::vector<std::string>> verifiedFields(std::string_view line)
{
    const std::size_t split = line.rfind(' ');
    if (split == std::string_view::npos || line.size() - split - 1 != ChecksumLength)
        return std::nullopt;
    const std::string_view content = line.substr(0, split);
    if (line.substr(split + 1) != checksumOf(content))
        return std::nullopt;
    return Text::split(content, ' ', Text::EmptyParts::Keep);
}

// The size and the hash of what a step writes; a journal of an earlier version has neither.
std::vector<std::string> digestFields(const std::optional<FileDigest> &digest)
{
    if (!digest)
        return {};
    return {std::to_string(digest->size), Text::toHex(digest->sha256)};
}

std::optional<FileDigest> digestOf(const std::string &size, const std::string &hash)
{
    const std::optional<std::uint64_t> bytes = numberOf(size);
    if (!bytes || *bytes > INT64_MAX || hash.size() != 64 ||
        hash.find_first_not_of("0123456789abcdef") != std::string::npos)
        return std::nullopt;
    return FileDigest{static_cast<std::int64_t>(*bytes), Text::fromHex(hash)};
}

std::optional<TransactionStep> stepOf(const std::vector<std::string> &fields)
{
    if (fields.size() != 4 && fields.size() != 6)
        return std::nullopt;
    const std::optional<Kind> kind = kindOf(fields[0]);
    if (!kind)
        return std::nullopt;
    TransactionStep step{*kind, path(fields[1]), path(fields[2]), path(fields[3])};
    if (fields.size() == 6) {
        // A file set aside is not written: the digest is that of what it held.
        std::optional<FileDigest> &digest = *kind == Kind::SetAside ? step.held : step.written;
        digest = digestOf(fields[4], fields[5]);
        if (!digest)
            return std::nullopt;
    }
    if (!isWhole(step))
        return std::nullopt;
    return step;
}

} // namespace

ErrorOr<void> Journal::open(const TransactionScope &scope)
{
    TRY(refuseUnfinished());
    m_begun = true;
    m_unwritten = encode(scope);
    return {};
}

ErrorOr<void> Journal::record(const std::vector<TransactionStep> &steps)
{
    std::string lines;
    for (const TransactionStep &step : steps)
        lines += encode(step);
    return append(lines);
}

ErrorOr<void> Journal::recordCommit()
{
    return append(encodeCommit());
}

ErrorOr<void> Journal::recordUndone()
{
    return append(encodeUndone());
}

ErrorOr<std::optional<JournalContents>> Journal::resume()
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return std::optional<JournalContents>();
    const std::string bytes = TRY(m_fileSystem.readFile(FileName));
    // The journal is made by the append of its first records: one found empty was cut short
    // before the procedure began, and names nothing to undo.
    if (bytes.empty()) {
        TRY(m_fileSystem.deleteFile(FileName));
        return std::optional<JournalContents>();
    }
    const JournalContents contents = parse(bytes);
    m_begun = true;
    m_written = encode(contents);
    // A torn record at the end would hide the records appended after it.
    m_maybeTorn = bytes != m_written;
    return std::optional(contents);
}

ErrorOr<void> Journal::discard()
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return {};
    return m_fileSystem.deleteFile(FileName);
}

ErrorOr<std::string> Journal::setAside()
{
    return KeptJournals(m_fileSystem).keep(FileName);
}

std::string Journal::encode(const TransactionScope &scope)
{
    std::vector<std::string> fields{ScopeWord, field(scope.packageFolder)};
    for (const std::string &number : identityFields(scope.packageIdentity))
        fields.push_back(number);
    fields.push_back(field(scope.gameDirectory));
    fields.push_back(field(scope.gameFolder));
    for (const std::string &number : identityFields(scope.gameIdentity))
        fields.push_back(number);
    return line(fields);
}

std::string Journal::encode(const TransactionStep &step)
{
    std::vector<std::string> fields{kindWord(step.kind), field(step.source), field(step.target),
                                    field(step.aside)};
    for (std::string &digest : digestFields(step.kind == Kind::SetAside ? step.held : step.written))
        fields.push_back(std::move(digest));
    return line(fields);
}

std::string Journal::encodeCommit()
{
    return line({CommitWord});
}

std::string Journal::encodeUndone()
{
    return line({UndoneWord});
}

std::string Journal::encode(const JournalContents &contents)
{
    std::string bytes;
    if (contents.scope)
        bytes += encode(*contents.scope);
    for (const TransactionStep &step : contents.steps)
        bytes += encode(step);
    for (std::size_t i = 0; i < contents.undone; ++i)
        bytes += encodeUndone();
    if (contents.committed)
        bytes += encodeCommit();
    return bytes;
}

JournalContents Journal::parse(const std::string &bytes)
{
    JournalContents contents;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::optional<std::vector<std::string>> fields =
            verifiedFields(std::string_view(bytes).substr(start, end - start));
        if (!fields)
            break;
        // Nothing is read from a journal that does not say whose it is.
        if (!contents.scope) {
            contents.scope = scopeOf(*fields);
            if (!contents.scope)
                break;
            continue;
        }
        // Steps come first; then either the commit, which ends the journal, or the undone ones.
        const bool undoing = contents.undone > 0;
        if (*fields == std::vector<std::string>{CommitWord} && !undoing) {
            contents.committed = true;
            break;
        }
        if (*fields == std::vector<std::string>{UndoneWord} &&
            contents.undone < contents.steps.size()) {
            ++contents.undone;
            continue;
        }
        const std::optional<TransactionStep> step = stepOf(*fields);
        if (!step || undoing)
            break;
        contents.steps.push_back(*step);
    }
    return contents;
}

ErrorOr<void> Journal::append(const std::string &lines)
{
    const std::string bytes = m_unwritten + lines;
    const ErrorOr<void> written =
        m_maybeTorn ? m_fileSystem.writeFileAtomically(FileName, m_written + bytes)
                    : m_fileSystem.appendDurably(FileName, bytes);
    m_maybeTorn = written.isError();
    if (!m_maybeTorn) {
        m_written += bytes;
        m_unwritten.clear();
    }
    return written;
}

ErrorOr<void> Journal::refuseUnfinished()
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return {};
    return RuntimeError(RuntimeErrorCode::FileAlreadyExists, FileName,
                        {ErrorReason::JournalNotYetUndone});
}
