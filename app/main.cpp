#include "ui/InstallerStart.h"
#include "ui/qt/Form1.h"
#include "ui/qt/QtBusyIndicator.h"
#include "ui/qt/QtMessageBox.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QtMessageBox messageBox;
    std::optional<InstallerStart> start = InstallerStart::begin(messageBox);
    if (!start)
        return 1;
    QtBusyIndicator busyIndicator;
    RuntimeServices services{start->fileSystem(), messageBox, busyIndicator};
    Form1 mainWindow(services);
    mainWindow.show();
    // The window is on the screen first; the icon, which Qt's image readers decode, follows.
    QTimer::singleShot(0, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/bexomv2_icon.png")));
    });
    return QApplication::exec();
}
