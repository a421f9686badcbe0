#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// How the installer keeps text and paths, on every platform alike:
// - Text and paths as the player and the status file give them are std::string holding UTF-8.
// - Bytes, such as file contents and journal records, are std::string too.
// - Paths of the host system are std::filesystem::path. On POSIX the bytes of a host path are
//   kept exactly as the system gave them, so that a folder whose name is not UTF-8 still works:
//   such a path never goes through a text conversion that could alter it.
// - Lists are std::vector, sizes std::size_t, or std::ptrdiff_t where an index counts down.
// - Fixed texts are `inline const std::string` constants; messages are put together by
//   concatenation.
// This namespace holds the few text operations the standard library lacks.
namespace Text {

enum class EmptyParts { Keep, Skip };

// Whether the bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing past
// U+10FFFF, no sequence cut short.
bool isValidUtf8(std::string_view bytes);
// Each byte is the character of the same number.
std::string latin1ToUtf8(std::string_view bytes);

std::string toLowerAscii(std::string text);
std::string toUpperAscii(std::string text);
// Whether two UTF-8 names differ only in letter case. ASCII letters fold, and so do the Latin
// letters of the localized editions of the game (Latin-1 Supplement and Latin Extended-A); bytes
// that are not UTF-8 must match exactly.
bool equalsIgnoringCase(std::string_view first, std::string_view second);

// Every byte but A-Z a-z 0-9 - . _ ~ becomes %XX in upper-case hexadecimal.
std::string percentEncode(std::string_view bytes);
// Every % followed by two more bytes becomes one byte, the two taken as hexadecimal digits.
std::string percentDecode(std::string_view text);

std::vector<std::string> split(std::string_view text, char separator, EmptyParts emptyParts);
std::string join(const std::vector<std::string> &parts, std::string_view separator);
std::string replaceAll(std::string text, std::string_view from, std::string_view to);
// Lower-case hexadecimal, with leading zeros up to the width.
std::string hex(std::uint32_t value, std::size_t width);
// Two lower-case hexadecimal digits for each byte.
std::string toHex(std::string_view bytes);
// The bytes that toHex gave the text as; the text must hold an even number of hexadecimal digits.
std::string fromHex(std::string_view text);
// A host path as UTF-8, as the player's own paths are kept; on POSIX these are the very bytes of
// the path. A Windows name that is not valid UTF-16 has no UTF-8 form, and the conversion throws.
std::string utf8(const std::filesystem::path &path);
// The host path that the UTF-8 text names.
std::filesystem::path pathFromUtf8(std::string_view text);
// Whether the path begins with a drive letter and its colon, as Windows names a drive: "C:".
bool startsWithDrive(std::string_view path);
// Whether the path begins as a server share does: "\\server" or "//server".
bool startsWithShare(std::string_view path);

// The text after its first count characters, counted in UTF-16 code units as the runtime the
// installer grew up with counts them; empty when the text is shorter.
std::string afterCharacters(std::string_view text, std::size_t count);

} // namespace Text
