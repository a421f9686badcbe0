#pragma once

#include "install/Edition.h"
#include "runtime/FileSystem.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

class InstallScratch;

enum class Direction { Install, Removal };

// One of the four procedures, under the name of the routine that runs it.
struct Procedure
{
    QString name;
    Edition edition;
    Direction direction;

    // A removal starts from a completed installation of its edition.
    ErrorOr<void> prepare(InstallScratch &scratch) const;
    ErrorOr<void> run(FileSystem &fileSystem, const QString &gameDirectory) const;
    // The same through the request that leads to it, answered Yes.
    ErrorOr<void> request(FileSystem &fileSystem, const QString &gameDirectory) const;

    static QList<Procedure> all();
    static std::optional<Procedure> named(const QString &name);
};

Q_DECLARE_METATYPE(Procedure)
