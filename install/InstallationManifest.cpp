#include "InstallationManifest.h"

#include "runtime/Sha256.h"

#include <optional>

using Role = ManifestEntry::Role;

namespace {

const QByteArray FormatLine = QByteArrayLiteral("BEXOM-manifest 1");
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
const QByteArray EditionWord = QByteArrayLiteral("edition");
const QByteArray ChecksumWord = QByteArrayLiteral("sha256");
constexpr qsizetype Sha256Size = 32;

const QStringList KnownNames = {
    QStringLiteral("Expand.mix"),   QStringLiteral("Expand2.mix"), QStringLiteral("Rules.ini"),
    QStringLiteral("Aftrmath.ini"), QStringLiteral("MPlayer.ini"), QStringLiteral("Title.pcx"),
    QStringLiteral("SC-Vorda.mix"),
};

QByteArray editionWord(Edition edition)
{
    return edition == Edition::Aftermath ? QByteArrayLiteral("Aftermath")
                                         : QByteArrayLiteral("Counterstrike");
}

QByteArray roleWord(Role role)
{
    return role == Role::Placed ? QByteArrayLiteral("placed") : QByteArrayLiteral("kept");
}

QByteArray sha256Of(QByteArrayView bytes)
{
    Sha256 hash;
    hash.update(bytes.data(), bytes.size());
    const Sha256::Digest digest = hash.finish();
    return QByteArray(reinterpret_cast<const char *>(digest.data()), digest.size());
}

std::optional<Edition> editionOf(const QByteArray &word)
{
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
        if (editionWord(edition) == word)
            return edition;
    return std::nullopt;
}

std::optional<Role> roleOf(const QByteArray &word)
{
    for (const Role role : {Role::Placed, Role::Kept})
        if (roleWord(role) == word)
            return role;
    return std::nullopt;
}

// Exactly 64 lower-case hex digits; fromHex alone would skip whatever is not one.
std::optional<QByteArray> hashOf(const QByteArray &hex)
{
    if (hex.size() != 2 * Sha256Size)
        return std::nullopt;
    for (const char digit : hex)
        if (!(digit >= '0' && digit <= '9') && !(digit >= 'a' && digit <= 'f'))
            return std::nullopt;
    return QByteArray::fromHex(hex);
}

std::optional<qint64> sizeOf(const QByteArray &digits)
{
    bool ok = false;
    const qint64 size = digits.toLongLong(&ok);
    if (!ok || size < 0 || QByteArray::number(size) != digits)
        return std::nullopt;
    return size;
}

// Every line ends in CR LF, and no CR or LF stands anywhere else.
std::optional<QList<QByteArray>> linesOf(const QByteArray &bytes)
{
    const qsizetype ends = bytes.count(LineEnd);
    if (!bytes.endsWith(LineEnd) || bytes.count('\r') != ends || bytes.count('\n') != ends)
        return std::nullopt;
    return QByteArray(bytes).replace(LineEnd, "\n").chopped(1).split('\n');
}

RuntimeError damaged(const QString &path)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                        QStringLiteral("BEXOM's list of the files it installed is damaged, so the "
                                       "removal cannot tell what to take out."));
}

RuntimeError unknownName(const QString &path, const QString &name)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                        QStringLiteral("BEXOM's list of the files it installed names \"%1\", "
                                       "which is not a file BEXOM installs, so the list cannot be "
                                       "trusted.")
                            .arg(name));
}

} // namespace

QList<ManifestEntry> InstallationManifest::entries(Role role) const
{
    QList<ManifestEntry> chosen;
    for (const ManifestEntry &entry : m_entries)
        if (entry.role == role)
            chosen.append(entry);
    return chosen;
}

QByteArray InstallationManifest::encode() const
{
    QByteArray bytes = FormatLine + LineEnd + EditionWord + ' ' + editionWord(m_edition) + LineEnd;
    for (const ManifestEntry &entry : m_entries)
        bytes += roleWord(entry.role) + ' ' + entry.name.toUtf8() + ' ' +
                 QByteArray::number(entry.digest.size) + ' ' + entry.digest.sha256.toHex() +
                 LineEnd;
    return bytes + ChecksumWord + ' ' + sha256Of(bytes).toHex() + LineEnd;
}

ErrorOr<InstallationManifest> InstallationManifest::parse(const QByteArray &bytes,
                                                          const QString &path)
{
    const std::optional<QList<QByteArray>> found = linesOf(bytes);
    if (!found || found->size() < 3 || found->first() != FormatLine)
        return damaged(path);
    const QList<QByteArray> &lines = *found;
    const QByteArray checksum =
        ChecksumWord + ' ' +
        sha256Of(QByteArrayView(bytes).first(bytes.size() - lines.last().size() - LineEnd.size()))
            .toHex();
    if (lines.last() != checksum)
        return damaged(path);
    const QList<QByteArray> editionFields = lines[1].split(' ');
    const std::optional<Edition> edition =
        editionFields.size() == 2 && editionFields[0] == EditionWord ? editionOf(editionFields[1])
                                                                     : std::nullopt;
    if (!edition)
        return damaged(path);
    InstallationManifest manifest(*edition);
    for (const QByteArray &line : lines.mid(2, lines.size() - 3)) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 4)
            return damaged(path);
        const std::optional<Role> role = roleOf(fields[0]);
        const std::optional<qint64> size = sizeOf(fields[2]);
        const std::optional<QByteArray> hash = hashOf(fields[3]);
        if (!role || !size || !hash)
            return damaged(path);
        const QString name = QString::fromUtf8(fields[1]);
        if (!isKnownName(name))
            return unknownName(path, name);
        manifest.add({*role, name, {*size, *hash}});
    }
    return manifest;
}

bool InstallationManifest::isKnownName(const QString &name)
{
    return KnownNames.contains(name, Qt::CaseInsensitive);
}
