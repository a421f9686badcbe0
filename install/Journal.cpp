#include "Journal.h"

#include "runtime/Text.h"

#include <cstdint>
#include <string_view>

using Kind = TransactionStep::Kind;

namespace {

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
    }
    return {};
}

std::optional<Kind> kindOf(const std::string &word)
{
    for (const Kind kind : {Kind::MakeDirectory, Kind::RemoveDirectory, Kind::Move, Kind::Copy,
                            Kind::SetAside, Kind::Rewrite})
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

std::optional<TransactionStep> stepOf(const std::vector<std::string> &fields)
{
    if (fields.size() != 4)
        return std::nullopt;
    const std::optional<Kind> kind = kindOf(fields[0]);
    if (!kind)
        return std::nullopt;
    const TransactionStep step{*kind, path(fields[1]), path(fields[2]), path(fields[3])};
    if (!isWhole(step))
        return std::nullopt;
    return step;
}

} // namespace

ErrorOr<void> Journal::record(const TransactionStep &step)
{
    return append(encode(step));
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

std::string Journal::encode(const TransactionStep &step)
{
    return line({kindWord(step.kind), field(step.source), field(step.target), field(step.aside)});
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

ErrorOr<void> Journal::append(const std::string &line)
{
    if (!m_begun) {
        TRY(refuseUnfinished());
        m_begun = true;
    }
    const ErrorOr<void> written = m_maybeTorn
                                      ? m_fileSystem.writeFileAtomically(FileName, m_written + line)
                                      : m_fileSystem.appendDurably(FileName, line);
    m_maybeTorn = written.isError();
    if (!m_maybeTorn)
        m_written += line;
    return written;
}

ErrorOr<void> Journal::refuseUnfinished()
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return {};
    return RuntimeError(RuntimeErrorCode::FileAlreadyExists, FileName,
                        "An earlier installation or removal of BEXOM was cut short and has not "
                        "been undone yet. Start the installer again: it puts things right before "
                        "anything else.");
}
