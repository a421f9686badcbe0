#include "FoundGameOffer.h"

#include "install/Edition.h"
#include "NoticeWording.h"
#include "RuntimeErrorNotice.h"

std::optional<std::string> FoundGameOffer::folderFor(const RuntimeError &refusal)
{
    const ErrorCause &cause = refusal.cause();
    if (cause.reason != ErrorReason::GamesFoundElsewhere || cause.details.size() < 3)
        return std::nullopt;
    // Counterstrike goes into a game with Aftermath too, as it needs only Expand.mix.
    const std::string &chosen = cause.details[0];
    const std::string &found = cause.details[2];
    if (chosen != editionName(Edition::Counterstrike) && found != chosen)
        return std::nullopt;
    return cause.details[1];
}

std::string FoundGameOffer::prompt(const RuntimeError &refusal, const std::string &folder)
{
    return NoticeWording::foundGameOffer(RuntimeErrorNotice::prompt(refusal), folder);
}
