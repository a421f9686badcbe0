#include "Text.h"

#include <algorithm>

namespace {

// The length of the well-formed UTF-8 sequence at the start of bytes; 0 when there is none.
std::size_t sequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(bytes[i]);
    };
    const auto continuation = [&](std::size_t i) {
        return i < bytes.size() && (byte(i) & 0xC0) == 0x80;
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        const bool overlong = lead == 0xE0 && byte(1) < 0xA0;
        const bool surrogate = lead == 0xED && byte(1) >= 0xA0;
        return overlong || surrogate ? 0 : 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        const bool overlong = lead == 0xF0 && byte(1) < 0x90;
        const bool tooLarge = lead == 0xF4 && byte(1) >= 0x90;
        return overlong || tooLarge ? 0 : 4;
    }
    return 0;
}

char32_t decode(std::string_view sequence)
{
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(sequence[i]);
    };
    switch (sequence.size()) {
    case 1:
        return byte(0);
    case 2:
        return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    case 3:
        return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    default:
        return (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 |
               (byte(3) & 0x3Fu);
    }
}

// The lower-case partner of a letter of ASCII, Latin-1 Supplement or Latin Extended-A.
char32_t folded(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    const bool evenUpper =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x17F)
        return U's';
    return c;
}

// The next character of text, folded, taken off its front; a byte that starts no well-formed
// sequence stands for itself, apart from every character.
char32_t takeFolded(std::string_view &text)
{
    const std::size_t length = sequenceLength(text);
    if (length == 0) {
        const char32_t stray = 0x110000 + static_cast<unsigned char>(text.front());
        text.remove_prefix(1);
        return stray;
    }
    const char32_t c = decode(text.substr(0, length));
    text.remove_prefix(length);
    return folded(c);
}

int hexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    // Not a digit: taken as it is, as the journal's first readers took it.
    return digit;
}

} // namespace

namespace Text {

bool isValidUtf8(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t length = sequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            text += byte;
            continue;
        }
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

std::string toLowerAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string toUpperAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool equalsIgnoringCase(std::string_view first, std::string_view second)
{
    while (!first.empty() && !second.empty())
        if (takeFolded(first) != takeFolded(second))
            return false;
    return first.empty() && second.empty();
}

std::string percentEncode(std::string_view bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            text += byte;
            continue;
        }
        text += '%';
        text += Digits[c >> 4];
        text += Digits[c & 0x0F];
    }
    return text;
}

std::string percentDecode(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 2 >= text.size()) {
            bytes += text[i];
            continue;
        }
        const int high = hexDigitValue(text[i + 1]);
        const int low = hexDigitValue(text[i + 2]);
        bytes += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return bytes;
}

std::vector<std::string> split(std::string_view text, char separator, EmptyParts emptyParts)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start || emptyParts == EmptyParts::Keep)
            parts.emplace_back(text.substr(start, end - start));
        if (end == text.size())
            return parts;
        start = end + 1;
    }
}

std::string join(const std::vector<std::string> &parts, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += separator;
        text += parts[i];
    }
    return text;
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return text;
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string hex(std::uint32_t value, std::size_t width)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), Digits[value % 16]);
        value /= 16;
    } while (value != 0);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

std::string toHex(std::string_view bytes)
{
    std::string text;
    text.reserve(2 * bytes.size());
    for (const char byte : bytes)
        text += hex(static_cast<unsigned char>(byte), 2);
    return text;
}

std::string fromHex(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(hexDigitValue(text[i]) << 4 | hexDigitValue(text[i + 1]));
    return bytes;
}

std::string afterCharacters(std::string_view text, std::size_t count)
{
    while (count > 0 && !text.empty()) {
        const std::size_t length = std::max<std::size_t>(sequenceLength(text), 1);
        count -= std::min<std::size_t>(count, length == 4 ? 2 : 1);
        text.remove_prefix(length);
    }
    return std::string(text);
}

std::string utf8(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path pathFromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

bool startsWithDrive(std::string_view path)
{
    if (path.size() < 2 || path[1] != ':')
        return false;
    const char letter = path[0];
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool startsWithShare(std::string_view path)
{
    return path.starts_with("\\\\") || path.starts_with("//");
}

} // namespace Text
