#include "Procedure.h"

#include "install/ModInstaller.h"

ErrorOr<void> Procedure::run(FileSystem &fileSystem, const QString &gameDirectory) const
{
    if (direction == Direction::Install)
        return ModInstaller(fileSystem).install(edition, gameDirectory);
    return ModInstaller(fileSystem).uninstall(edition, gameDirectory);
}

QList<Procedure> Procedure::all()
{
    return {{QStringLiteral("Ins_Aftermath"), Edition::Aftermath, Direction::Install},
            {QStringLiteral("Ins_Counter"), Edition::Counterstrike, Direction::Install},
            {QStringLiteral("Unins_Aftermath"), Edition::Aftermath, Direction::Removal},
            {QStringLiteral("Unins_Counterstrike"), Edition::Counterstrike, Direction::Removal}};
}

std::optional<Procedure> Procedure::named(const QString &name)
{
    for (const Procedure &procedure : all())
        if (procedure.name == name)
            return procedure;
    return std::nullopt;
}
