#include "runtime/HostFileSystem.h"
#include "ui/InterruptedWorkNotice.h"
#include "ui/qt/Form1.h"
#include "ui/qt/QtBusyIndicator.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/SingleInstanceGuard.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The player starts the installer from the folder that holds the mod's package. Its name is
    // taken as the bytes the system holds, so that a name in another encoding than UTF-8 still
    // names this folder. Should the system not tell it, "." names the same folder, and every
    // operation on it reports what is wrong.
    std::error_code error;
    std::filesystem::path packageFolder = std::filesystem::current_path(error);
    if (error)
        packageFolder = ".";
    HostFileSystem fileSystem(packageFolder);
    QtMessageBox messageBox;
    // Held until the program ends; a second installer from this folder ends here.
    const std::optional<InstanceLock> packageLock =
        SingleInstanceGuard::lockOrTell(packageFolder, messageBox);
    if (!packageLock)
        return 1;
    // An installation or removal that a crash cut short is put right before the main window shows.
    InterruptedWorkNotice::recoverAndTell(fileSystem, messageBox);
    QtBusyIndicator busyIndicator;
    RuntimeServices services{fileSystem, messageBox, busyIndicator};
    Form1 mainWindow(services);
    mainWindow.show();
    // The window is on the screen first; the icon, which Qt's image readers decode, follows.
    QTimer::singleShot(0, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/bexomv2_icon.png")));
    });
    return QApplication::exec();
}
