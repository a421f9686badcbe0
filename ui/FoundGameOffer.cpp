#include "FoundGameOffer.h"

#include "install/Edition.h"
#include "NoticeWording.h"
#include "RuntimeErrorNotice.h"

std::optional<std::string> FoundGameOffer::folderFor(const RuntimeError &refusal)
{
    const auto *found = refusal.cause().detailsAs<Cause::GamesFoundElsewhere>();
    if (!found || found->games.empty())
        return std::nullopt;
    // Counterstrike goes into a game with Aftermath too, as it needs only Expand.mix.
    const Cause::GamesFoundElsewhere::Game &first = found->games.front();
    if (found->chosen != Edition::Counterstrike && first.edition != found->chosen)
        return std::nullopt;
    return first.directory;
}

std::string FoundGameOffer::prompt(const RuntimeError &refusal, const std::string &folder)
{
    return NoticeWording::foundGameOffer(RuntimeErrorNotice::prompt(refusal), folder);
}
