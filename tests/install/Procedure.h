#pragma once

#include "install/Edition.h"
#include "runtime/FileSystem.h"

#include <QList>
#include <QString>

#include <optional>

enum class Direction { Install, Removal };

// One of the four procedures, under the name of the routine that runs it.
struct Procedure
{
    QString name;
    Edition edition;
    Direction direction;

    ErrorOr<void> run(FileSystem &fileSystem, const QString &gameDirectory) const;

    static QList<Procedure> all();
    static std::optional<Procedure> named(const QString &name);
};
