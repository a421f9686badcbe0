#include "GameOnDriveC.h"

#include <QFile>

GameOnDriveC::GameOnDriveC(QStringList gameFiles)
    : install(std::move(gameFiles), QStringLiteral("prefix/drive_c/WESTWOOD/REDALERT")),
      m_formerWinePrefix(qgetenv("WINEPREFIX"))
{
    install.scratch().createFolder(QStringLiteral("prefix/dosdevices"));
    QFile::link(QStringLiteral("../drive_c"),
                install.scratch().at(QStringLiteral("prefix/dosdevices/c:")));
    qputenv("WINEPREFIX", install.scratch().at(QStringLiteral("prefix")).toLocal8Bit());
}

GameOnDriveC::~GameOnDriveC()
{
    if (m_formerWinePrefix.isNull())
        qunsetenv("WINEPREFIX");
    else
        qputenv("WINEPREFIX", m_formerWinePrefix);
}

bool shownAsExpected(const QStringList &shown, const QStringList &expected)
{
    if (shown.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!expected[i].contains(QStringLiteral("..."))) {
            if (shown[i] != expected[i])
                return false;
            continue;
        }
        const QString head = expected[i].section(QStringLiteral("..."), 0, 0);
        const QString tail = expected[i].section(QStringLiteral("..."), 1);
        if (!shown[i].startsWith(head) || !shown[i].endsWith(tail) ||
            shown[i].size() < head.size() + tail.size())
            return false;
    }
    return true;
}
