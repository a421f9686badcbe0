#include "Procedure.h"

#include "install/InstallRequest.h"
#include "install/ModInstaller.h"
#include "install/RemovalRequest.h"
#include "InstallScratch.h"
#include "ScriptedServices.h"

ErrorOr<void> Procedure::prepare(InstallScratch &scratch) const
{
    scratch.reset();
    if (direction == Direction::Install)
        return {};
    TRY(ModInstaller(scratch.fileSystem()).install(edition, scratch.gameDirectory()));
    // The player has tuned the mod's Rules.ini since, and the removal must keep it.
    return scratch.fileSystem().writeFileAtomically(scratch.gameDirectory() + "Rules.ini",
                                                    "tuned by the player");
}

ErrorOr<void> Procedure::run(FileSystem &fileSystem, const std::string &gameDirectory) const
{
    if (direction == Direction::Install)
        return ModInstaller(fileSystem).install(edition, gameDirectory);
    return ModInstaller(fileSystem).uninstall(edition, gameDirectory);
}

ErrorOr<void> Procedure::request(FileSystem &fileSystem, const std::string &gameDirectory) const
{
    ScriptedServices answersYes(fileSystem, {MessageBoxAnswer::Yes});
    if (direction == Direction::Install)
        return InstallRequest(answersYes.services())
            .run(InstallRequest::canonicalDirectory(gameDirectory), edition);
    return RemovalRequest(answersYes.services()).run();
}

std::vector<Procedure> Procedure::all()
{
    return {{"Ins_Aftermath", Edition::Aftermath, Direction::Install},
            {"Ins_Counter", Edition::Counterstrike, Direction::Install},
            {"Unins_Aftermath", Edition::Aftermath, Direction::Removal},
            {"Unins_Counterstrike", Edition::Counterstrike, Direction::Removal}};
}

std::optional<Procedure> Procedure::named(const std::string &name)
{
    for (const Procedure &procedure : all())
        if (procedure.name == name)
            return procedure;
    return std::nullopt;
}
