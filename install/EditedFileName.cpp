#include "EditedFileName.h"

#include "InstallationManifest.h"

#include <charconv>

namespace {

const std::string Mark = " (edited";
const std::string FoundMark = " (found";

std::string marked(const std::string &name, int number, const std::string &mark)
{
    const std::size_t dot = name.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos ? name.size() : dot;
    const std::string count = number > 1 ? ' ' + std::to_string(number) : std::string();
    return name.substr(0, stemEnd) + mark + count + ')' + name.substr(stemEnd);
}

} // namespace

std::string EditedFileName::of(const std::string &name, int number)
{
    return marked(name, number, Mark);
}

std::string EditedFileName::found(const std::string &name, int number)
{
    return marked(name, number, FoundMark);
}

bool EditedFileName::isOne(std::string_view name)
{
    const std::size_t mark = name.rfind(Mark);
    const std::size_t close = name.find(')', mark);
    if (mark == std::string_view::npos || close == std::string_view::npos)
        return false;
    const std::string_view count = name.substr(mark + Mark.size(), close - mark - Mark.size());
    int number = 1;
    if (!count.empty() &&
        std::from_chars(count.data() + 1, count.data() + count.size(), number).ec != std::errc())
        return false;
    const std::string original =
        std::string(name.substr(0, mark)) + std::string(name.substr(close + 1));
    // Given back by of() exactly, so that no other spelling of the number passes.
    return InstallationManifest::isKnownName(original) && of(original, number) == name;
}
