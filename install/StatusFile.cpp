#include "StatusFile.h"

#include "PackageFolder.h"
#include "runtime/Text.h"

#include <string_view>

namespace {

const std::string ByteOrderMark = "\xEF\xBB\xBF";
const std::string LineEnd = "\r\n";

// Older packages were saved in the Windows code page; whatever is not valid UTF-8 is taken as
// Latin-1, which maps every byte to a character and so never fails. Valid UTF-8 loses a
// byte-order mark at its start, as UTF-8 readers do.
std::string toText(const std::string &bytes)
{
    if (!Text::isValidUtf8(bytes))
        return Text::latin1ToUtf8(bytes);
    if (bytes.starts_with(ByteOrderMark))
        return bytes.substr(ByteOrderMark.size());
    return bytes;
}

// Takes the next line off the front of rest, without its LF or CR LF end. A directory may hold
// commas and quotes, so the line is the item whole.
std::string takeLine(std::string_view &rest)
{
    const std::size_t end = rest.find('\n');
    std::string_view line = end == std::string_view::npos ? rest : rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return std::string(line);
}

} // namespace

std::string StatusRecord::gameDirectory() const
{
    return Text::afterCharacters(pathItem, StatusFile::PathPrefix.size());
}

ErrorOr<StatusRecord> StatusFile::read() const
{
    if (!TRY(m_fileSystem.exists(FileName)))
        return RuntimeError(RuntimeErrorCode::FileNotFound, FileName,
                            Cause::StatusFileNotInPackage{PackageFolder::shownPath(m_fileSystem)});
    return parse(TRY(m_fileSystem.readFile(FileName)));
}

ErrorOr<StatusRecord> StatusFile::parse(std::string bytes)
{
    // Windows editors put a byte-order mark before UTF-8 text.
    if (bytes.starts_with(ByteOrderMark))
        bytes.erase(0, ByteOrderMark.size());
    if (bytes.empty())
        return RuntimeError(RuntimeErrorCode::InputPastEndOfFile, FileName,
                            {ErrorReason::StatusFileEmpty});
    const std::string text = toText(bytes);
    std::string_view rest(text);
    StatusRecord record;
    record.statusItem = takeLine(rest);
    record.pathItem = takeLine(rest);
    return record;
}

std::string StatusFile::encode(const std::string &statusItem, const std::string &gameDirectory)
{
    return encode(StatusRecord{statusItem, PathPrefix + gameDirectory});
}

std::string StatusFile::encode(const StatusRecord &record)
{
    return record.statusItem + LineEnd + record.pathItem + LineEnd;
}
