#include "NoticeWording.h"

namespace {

std::string ownerName(const FolderOwner &owner)
{
    if (!owner.name.empty() || !owner.number)
        return owner.name;
    return "the user number " + std::to_string(*owner.number);
}

} // namespace

std::string NoticeWording::protectedFolder(const ProtectedFolder &folder)
{
    const std::string owner = ownerName(folder.owner);
    // Where no owner can be named: under Wine, whose folders belong to Linux users, or where even
    // an administrator is refused.
    if (owner.empty())
        return "BEXOM may not change the game folder " + folder.folder +
               ": it belongs to another user. Let your own user write into the folder, or start "
               "the installer as a user who may change it.";
    return "The game folder " + folder.folder + " belongs to " + owner + ", and only " +
           (owner == "root" ? owner : owner + " (or root)") +
           " may change it. Start the installer as " + owner +
           ", or let your own user write into the folder.";
}

std::string NoticeWording::administratorOffer(const std::string &folder, const std::string &outcome)
{
    return "Windows did not let BEXOM change the game folder " + folder +
           ". It is a protected folder, such as one under Program Files, that only an "
           "administrator may change.\n\n" +
           outcome + "\n\nStart the installer again with administrator rights?";
}

std::string NoticeWording::administratorRestartFailed(unsigned long errorCode)
{
    return "Windows could not start the installer again with administrator rights (error " +
           std::to_string(errorCode) +
           "). Right-click bexomv2.exe in the BEXOM folder and choose \"Run as administrator\".";
}

std::string NoticeWording::foundGameOffer(const std::string &refusal, const std::string &folder)
{
    return refusal + "\n\nUse " + folder + " instead?";
}
