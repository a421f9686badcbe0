#include "InstallationManifest.h"

#include "ModFileNames.h"
#include "runtime/Sha256.h"
#include "runtime/Text.h"

#include <algorithm>
#include <charconv>
#include <optional>

using namespace ModFileNames;
using Role = ManifestEntry::Role;

namespace {

const std::string FormatLine = "BEXOM-manifest 1";
const std::string LineEnd = "\r\n";
const std::string EditionWord = "edition";
const std::string ChecksumWord = "sha256";
constexpr std::size_t Sha256Size = 32;

// What each edition's installation handles. A Counterstrike installation never touches
// Aftrmath.ini or MPlayer.ini, and places no Expand2.mix: it only keeps the game's own.
std::vector<std::string> handledNames(Edition edition, Role role)
{
    if (edition == Edition::Aftermath || role == Role::Placed)
        return placedNames(edition);
    return {Expand, Expand2, Rules, Title, Vorda};
}

bool isAmong(const std::vector<std::string> &names, const std::string &name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string &known) {
        return Text::equalsIgnoringCase(known, name);
    });
}

std::string roleWord(Role role)
{
    return role == Role::Placed ? "placed" : "kept";
}

std::optional<Edition> editionOf(const std::string &word)
{
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
        if (editionName(edition) == word)
            return edition;
    return std::nullopt;
}

std::optional<Role> roleOf(const std::string &word)
{
    for (const Role role : {Role::Placed, Role::Kept})
        if (roleWord(role) == word)
            return role;
    return std::nullopt;
}

// Exactly 64 lower-case hex digits.
std::optional<std::string> hashOf(const std::string &hex)
{
    if (hex.size() != 2 * Sha256Size)
        return std::nullopt;
    for (const char digit : hex)
        if (!(digit >= '0' && digit <= '9') && !(digit >= 'a' && digit <= 'f'))
            return std::nullopt;
    return Text::fromHex(hex);
}

// Decimal digits as the list writes them: no sign, no leading zero, nothing else.
std::optional<std::int64_t> sizeOf(const std::string &digits)
{
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
    if (error != std::errc() || end != digits.data() + digits.size() || size < 0 ||
        std::to_string(size) != digits)
        return std::nullopt;
    return size;
}

std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Every line ends in CR LF, and no CR or LF stands anywhere else.
std::optional<std::vector<std::string>> linesOf(const std::string &bytes)
{
    const std::size_t ends = occurrences(bytes, LineEnd);
    if (!bytes.ends_with(LineEnd) || occurrences(bytes, "\r") != ends ||
        occurrences(bytes, "\n") != ends)
        return std::nullopt;
    const std::string joined = Text::replaceAll(bytes, LineEnd, "\n");
    return Text::split(std::string_view(joined).substr(0, joined.size() - 1), '\n',
                       Text::EmptyParts::Keep);
}

RuntimeError damaged(const std::string &path)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                        {ErrorReason::ManifestDamaged});
}

RuntimeError unknownName(const std::string &path, const std::string &name, Edition edition)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                        Cause::ManifestNamesUnknownFile{name, edition});
}

} // namespace

std::vector<ManifestEntry> InstallationManifest::entries(Role role) const
{
    std::vector<ManifestEntry> chosen;
    for (const ManifestEntry &entry : m_entries)
        if (entry.role == role)
            chosen.push_back(entry);
    return chosen;
}

std::string InstallationManifest::encode() const
{
    std::string bytes = FormatLine + LineEnd + EditionWord + ' ' + editionName(m_edition) + LineEnd;
    for (const ManifestEntry &entry : m_entries)
        bytes += roleWord(entry.role) + ' ' + entry.name + ' ' + std::to_string(entry.digest.size) +
                 ' ' + Text::toHex(entry.digest.sha256) + LineEnd;
    return bytes + ChecksumWord + ' ' + Text::toHex(Sha256::of(bytes)) + LineEnd;
}

ErrorOr<InstallationManifest> InstallationManifest::parse(const std::string &bytes,
                                                          const std::string &path)
{
    const std::optional<std::vector<std::string>> found = linesOf(bytes);
    if (!found || found->size() < 3 || found->front() != FormatLine)
        return damaged(path);
    const std::vector<std::string> &lines = *found;
    const std::string checksum = ChecksumWord + ' ' +
                                 Text::toHex(Sha256::of(std::string_view(bytes).substr(
                                     0, bytes.size() - lines.back().size() - LineEnd.size())));
    if (lines.back() != checksum)
        return damaged(path);
    const std::vector<std::string> editionFields =
        Text::split(lines[1], ' ', Text::EmptyParts::Keep);
    const std::optional<Edition> edition =
        editionFields.size() == 2 && editionFields[0] == EditionWord ? editionOf(editionFields[1])
                                                                     : std::nullopt;
    if (!edition)
        return damaged(path);
    InstallationManifest manifest(*edition);
    for (std::size_t index = 2; index + 1 < lines.size(); ++index) {
        const std::vector<std::string> fields =
            Text::split(lines[index], ' ', Text::EmptyParts::Keep);
        if (fields.size() != 4)
            return damaged(path);
        const std::optional<Role> role = roleOf(fields[0]);
        const std::optional<std::int64_t> size = sizeOf(fields[2]);
        const std::optional<std::string> hash = hashOf(fields[3]);
        if (!role || !size || !hash)
            return damaged(path);
        const std::string &name = fields[1];
        std::vector<std::string> listedBefore;
        for (const ManifestEntry &entry : manifest.entries(*role))
            listedBefore.push_back(entry.name);
        if (!isAmong(handledNames(*edition, *role), name) || isAmong(listedBefore, name))
            return unknownName(path, name, *edition);
        manifest.add({*role, name, {*size, *hash}});
    }
    return manifest;
}

bool InstallationManifest::isKnownName(const std::string &name)
{
    return isAmong(AllNames, name);
}
