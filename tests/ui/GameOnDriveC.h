#pragma once

#include "InstallScratch.h"
#include "ScriptedMessageBox.h"

// The package and a game folder at "C:\WESTWOOD\REDALERT\", the install dialog's default, on
// drive C of a Wine prefix inside the scratch folder, so the windows never reach the machine's
// own prefix. The prefix is the process's for as long as this object lives.
class GameOnDriveC final
{
public:
    static inline const QString Directory = QStringLiteral("C:\\WESTWOOD\\REDALERT\\");

    explicit GameOnDriveC(QStringList gameFiles = {QStringLiteral("Expand.mix"),
                                                   QStringLiteral("Expand2.mix")});
    ~GameOnDriveC();

    InstallScratch install;

private:
    QByteArray m_formerWinePrefix;
};

// Whether each message shown matches the expected one, where "..." in an expected message stands
// for any text.
bool shownAsExpected(const QStringList &shown, const QStringList &expected);
