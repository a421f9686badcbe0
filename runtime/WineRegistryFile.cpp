#include "WineRegistryFile.h"

#include "Text.h"

#include <algorithm>
#include <string_view>

namespace {

void appendUtf8(std::string &text, char32_t character)
{
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | (character >> 6));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | (character >> 12));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (character >> 18));
        text += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

// Gathers the UTF-16 code units of the escapes as UTF-8. A character beyond U+FFFF comes as two
// escapes, a surrogate pair; a surrogate without its partner becomes U+FFFD.
class Utf8Builder final
{
public:
    void addUnit(char32_t unit)
    {
        if (unit >= 0xDC00 && unit < 0xE000 && m_highSurrogate) {
            appendUtf8(m_text, 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
            m_highSurrogate = 0;
            return;
        }
        flush();
        if (unit >= 0xD800 && unit < 0xDC00)
            m_highSurrogate = unit;
        else
            appendUtf8(m_text, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    // A byte as it stands in the file: Wine writes none above 0x7F, so one there came from an
    // editor, most likely in UTF-8.
    void addByte(char byte)
    {
        flush();
        m_text += byte;
    }
    std::string finish()
    {
        flush();
        return std::move(m_text);
    }

private:
    void flush()
    {
        if (m_highSurrogate)
            appendUtf8(m_text, 0xFFFD);
        m_highSurrogate = 0;
    }

    std::string m_text;
    char32_t m_highSurrogate = 0;
};

int digitValue(char character, int base)
{
    int value = base;
    if (character >= '0' && character <= '9')
        value = character - '0';
    else if (character >= 'a' && character <= 'f')
        value = character - 'a' + 10;
    else if (character >= 'A' && character <= 'F')
        value = character - 'A' + 10;
    return value < base ? value : -1;
}

// The number of at most maxDigits digits at the front of rest, taken off it.
char32_t takeNumber(std::string_view &rest, int base, std::size_t maxDigits)
{
    char32_t number = 0;
    std::size_t count = 0;
    for (; count < maxDigits && count < rest.size() && digitValue(rest[count], base) >= 0; ++count)
        number = number * base + static_cast<char32_t>(digitValue(rest[count], base));
    rest.remove_prefix(count);
    return number;
}

// The character of one escape, rest starting after its backslash, as Wine reads it.
char32_t takeEscape(std::string_view &rest)
{
    const char letter = rest.front();
    rest.remove_prefix(1);
    switch (letter) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'e':
        return 0x1B;
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case 'x':
        if (rest.empty() || digitValue(rest.front(), 16) < 0)
            return 'x';
        return takeNumber(rest, 16, 4);
    default:
        if (digitValue(letter, 8) < 0)
            return static_cast<unsigned char>(letter);
        rest = std::string_view(rest.data() - 1, rest.size() + 1);
        return takeNumber(rest, 8, 3);
    }
}

// The text at the front of rest up to the closing character that no backslash escapes, decoded;
// rest then starts after it. Nothing when the line ends first.
std::optional<std::string> takeEscaped(std::string_view &rest, char closing)
{
    Utf8Builder text;
    while (!rest.empty()) {
        const char character = rest.front();
        rest.remove_prefix(1);
        if (character == closing)
            return text.finish();
        if (character != '\\')
            text.addByte(character);
        else if (rest.empty())
            return std::nullopt;
        else
            text.addUnit(takeEscape(rest));
    }
    return std::nullopt;
}

// The next line of rest without its line end, taken off it.
std::string_view takeLine(std::string_view &rest)
{
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The text of a line "\"name\"=\"text\"" or "\"name\"=str(2):\"text\"" (an expandable string)
// whose name the line starts with, the opening quote already taken; nothing when the line holds
// another kind of value or is damaged.
std::optional<std::string> stringOf(std::string_view line)
{
    for (const std::string_view start : {"=\"", "=str(2):\""})
        if (line.starts_with(start)) {
            line.remove_prefix(start.size());
            return takeEscaped(line, '"');
        }
    return std::nullopt;
}

const std::string Software = "SOFTWARE\\";
const std::string Wow64Node = "Wow6432Node\\";

std::string in32BitViewOf64BitPrefix(const std::string &key)
{
    if (key.size() < Software.size() ||
        !Text::equalsIgnoringCase(key.substr(0, Software.size()), Software))
        return key;
    return key.substr(0, Software.size()) + Wow64Node + key.substr(Software.size());
}

} // namespace

std::vector<std::optional<std::string>>
WineRegistryFile::viewedStringValues(const std::vector<RegistryValueName> &values) const
{
    // Each value is asked for as the 32-bit view of a 64-bit prefix would hold it, then as
    // named; a key of the 64-bit view, or of the user, has the same name twice.
    std::vector<RegistryValueName> bothForms;
    for (const RegistryValueName &value : values) {
        const bool redirected =
            value.view == RegistryView::Bits32 && value.root == RegistryRoot::LocalMachine;
        bothForms.push_back(
            {redirected ? in32BitViewOf64BitPrefix(value.key) : value.key, value.name});
        bothForms.push_back(value);
    }
    const std::vector<std::optional<std::string>> found = stringValues(bothForms);
    std::vector<std::optional<std::string>> strings;
    for (std::size_t index = 0; index < values.size(); ++index)
        strings.push_back(found[2 * index] ? found[2 * index] : found[2 * index + 1]);
    return strings;
}

// Keys and names are compared in ASCII letter case only: the installers' keys are ASCII, and a
// system.reg holds tens of thousands of keys that must all be compared in a few milliseconds.
std::vector<std::optional<std::string>>
WineRegistryFile::stringValues(const std::vector<RegistryValueName> &values) const
{
    std::vector<RegistryValueName> folded;
    for (const RegistryValueName &value : values)
        folded.push_back({Text::toLowerAscii(value.key), Text::toLowerAscii(value.name)});
    std::vector<std::size_t> escapedLengths;
    for (const RegistryValueName &value : values)
        escapedLengths.push_back(value.key.size() + static_cast<std::size_t>(std::count(
                                                        value.key.begin(), value.key.end(), '\\')));
    std::vector<std::optional<std::string>> found(values.size());
    // The values asked for under the key of the section being read.
    std::vector<std::size_t> inSection;
    std::string_view rest(m_text);
    while (!rest.empty()) {
        std::string_view line = takeLine(rest);
        if (line.starts_with('[')) {
            line.remove_prefix(1);
            // Wine writes the keys asked for, which are ASCII, with each backslash doubled and
            // nothing else escaped; a key of any other length is skipped without being decoded.
            if (std::find(escapedLengths.begin(), escapedLengths.end(), line.find(']')) ==
                escapedLengths.end()) {
                inSection.clear();
                continue;
            }
            const std::optional<std::string> key = takeEscaped(line, ']');
            const std::string foldedKey = key ? Text::toLowerAscii(*key) : std::string();
            inSection.clear();
            for (std::size_t index = 0; key && index < values.size(); ++index)
                if (foldedKey == folded[index].key)
                    inSection.push_back(index);
            continue;
        }
        if (inSection.empty() || !line.starts_with('"'))
            continue;
        line.remove_prefix(1);
        const std::optional<std::string> name = takeEscaped(line, '"');
        for (const std::size_t index : inSection)
            if (name && !found[index] && Text::toLowerAscii(*name) == folded[index].name)
                found[index] = stringOf(line);
    }
    return found;
}
