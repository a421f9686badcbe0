#include "Journal.h"

using Kind = TransactionStep::Kind;

namespace {

const QByteArray ScopeWord = QByteArrayLiteral("scope");
const QByteArray CommitWord = QByteArrayLiteral("commit");
const QByteArray UndoneWord = QByteArrayLiteral("undone");
constexpr qsizetype ChecksumLength = 8;
constexpr int MaximumSetAside = 1000;

QByteArray kindWord(Kind kind)
{
    switch (kind) {
    case Kind::MakeDirectory:
        return QByteArrayLiteral("make-directory");
    case Kind::RemoveDirectory:
        return QByteArrayLiteral("remove-directory");
    case Kind::Move:
        return QByteArrayLiteral("move");
    case Kind::Copy:
        return QByteArrayLiteral("copy");
    case Kind::SetAside:
        return QByteArrayLiteral("set-aside");
    case Kind::Rewrite:
        return QByteArrayLiteral("rewrite");
    case Kind::Create:
        return QByteArrayLiteral("create");
    }
    return {};
}

std::optional<Kind> kindOf(const QByteArray &word)
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
        return !step.source.isEmpty() && !step.target.isEmpty();
    case Kind::SetAside:
    case Kind::Rewrite:
        return !step.aside.isEmpty() && !step.target.isEmpty();
    default:
        return !step.target.isEmpty();
    }
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray checksumOf(QByteArrayView content)
{
    return QByteArray::number(crc32(content), 16).rightJustified(ChecksumLength, '0');
}

QByteArray line(const QByteArrayList &fields)
{
    const QByteArray content = fields.join(' ');
    return content + ' ' + checksumOf(content) + '\n';
}

QByteArray field(const QString &path)
{
    return path.toUtf8().toPercentEncoding();
}

QString path(const QByteArray &field)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

QByteArray field(const std::filesystem::path &hostPath)
{
    return field(QString::fromStdU16String(hostPath.u16string()));
}

std::filesystem::path hostPath(const QByteArray &field)
{
    return std::filesystem::path(path(field).toStdU16String());
}

QByteArrayList identityFields(const FileIdentity &identity)
{
    return {QByteArray::number(identity.device), QByteArray::number(identity.file)};
}

std::optional<FileIdentity> identityOf(const QByteArray &device, const QByteArray &file)
{
    bool deviceRead = false;
    bool fileRead = false;
    const FileIdentity identity{device.toULongLong(&deviceRead), file.toULongLong(&fileRead)};
    if (!deviceRead || !fileRead)
        return std::nullopt;
    return identity;
}

// Only absolute host paths name the folders: a relative one would depend on where the installer
// happens to be started.
std::optional<TransactionScope> scopeOf(const QByteArrayList &fields)
{
    if (fields.size() != 8 || fields[0] != ScopeWord)
        return std::nullopt;
    const std::optional<FileIdentity> packageIdentity = identityOf(fields[2], fields[3]);
    const std::optional<FileIdentity> gameIdentity = identityOf(fields[6], fields[7]);
    TransactionScope scope{hostPath(fields[1]), packageIdentity.value_or(FileIdentity()),
                           path(fields[4]), hostPath(fields[5]),
                           gameIdentity.value_or(FileIdentity())};
    if (!packageIdentity || !gameIdentity || !scope.packageFolder.is_absolute() ||
        !scope.gameFolder.is_absolute())
        return std::nullopt;
    return scope;
}

// The fields of a line whose checksum holds; nothing for a damaged one.
std::optional<QByteArrayList> verifiedFields(QByteArrayView line)
{
    const qsizetype split = line.lastIndexOf(' ');
    if (split < 0 || line.size() - split - 1 != ChecksumLength)
        return std::nullopt;
    const QByteArrayView content = line.first(split);
    if (line.sliced(split + 1) != checksumOf(content))
        return std::nullopt;
    return content.toByteArray().split(' ');
}

std::optional<TransactionStep> stepOf(const QByteArrayList &fields)
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

ErrorOr<void> Journal::open(const TransactionScope &scope)
{
    TRY(refuseUnfinished());
    m_begun = true;
    return append(encode(scope));
}

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
    const QByteArray bytes = TRY(m_fileSystem.readFile(FileName));
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

ErrorOr<QString> Journal::setAside()
{
    // Another name may be taken between the look and the rename; the rename then refuses it, and
    // the next number is tried.
    for (int number = 1; number <= MaximumSetAside; ++number) {
        const QString name = QStringLiteral("%1.foreign-%2").arg(FileName).arg(number);
        if (TRY(m_fileSystem.exists(name)))
            continue;
        ErrorOr<void> renamed = m_fileSystem.rename(FileName, name, Overwrite::No);
        if (!renamed.isError())
            return name;
        if (renamed.error().code() != RuntimeErrorCode::FileAlreadyExists)
            return renamed.releaseError();
    }
    return RuntimeError(RuntimeErrorCode::FileAlreadyExists, FileName,
                        QStringLiteral("Too many journals have been kept beside it already."));
}

QByteArray Journal::encode(const TransactionScope &scope)
{
    return line(QByteArrayList{ScopeWord, field(scope.packageFolder)} +
                identityFields(scope.packageIdentity) +
                QByteArrayList{field(scope.gameDirectory), field(scope.gameFolder)} +
                identityFields(scope.gameIdentity));
}

QByteArray Journal::encode(const TransactionStep &step)
{
    return line({kindWord(step.kind), field(step.source), field(step.target), field(step.aside)});
}

QByteArray Journal::encodeCommit()
{
    return line({CommitWord});
}

QByteArray Journal::encodeUndone()
{
    return line({UndoneWord});
}

QByteArray Journal::encode(const JournalContents &contents)
{
    QByteArray bytes;
    if (contents.scope)
        bytes += encode(*contents.scope);
    for (const TransactionStep &step : contents.steps)
        bytes += encode(step);
    bytes += encodeUndone().repeated(contents.undone);
    if (contents.committed)
        bytes += encodeCommit();
    return bytes;
}

JournalContents Journal::parse(const QByteArray &bytes)
{
    JournalContents contents;
    qsizetype start = 0;
    for (qsizetype end; (end = bytes.indexOf('\n', start)) >= 0; start = end + 1) {
        const std::optional<QByteArrayList> fields =
            verifiedFields(QByteArrayView(bytes).sliced(start, end - start));
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
        if (*fields == QByteArrayList{CommitWord} && !undoing) {
            contents.committed = true;
            break;
        }
        if (*fields == QByteArrayList{UndoneWord} && contents.undone < contents.steps.size()) {
            ++contents.undone;
            continue;
        }
        const std::optional<TransactionStep> step = stepOf(*fields);
        if (!step || undoing)
            break;
        contents.steps.append(*step);
    }
    return contents;
}

ErrorOr<void> Journal::append(const QByteArray &line)
{
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
                        QStringLiteral("An earlier installation or removal of BEXOM was cut short "
                                       "and has not been undone yet. Start the installer again: "
                                       "it puts things right before anything else."));
}
