#include "DialogChoice.h"

namespace {

const std::string_view Switch = "/dialog ";

} // namespace

std::string DialogChoice::arguments() const
{
    return std::string(Switch) + editionName(edition) + ' ' + directory;
}

std::optional<DialogChoice> DialogChoice::fromArguments(std::string_view arguments)
{
    if (!arguments.starts_with(Switch))
        return std::nullopt;
    arguments.remove_prefix(Switch.size());
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike}) {
        const std::string named = editionName(edition) + ' ';
        if (arguments.starts_with(named))
            return DialogChoice{std::string(arguments.substr(named.size())), edition};
    }
    return std::nullopt;
}
