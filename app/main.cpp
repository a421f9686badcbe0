#include "runtime/WinePrefix.h"
#include "ui/CommandLineRun.h"
#include "ui/qt/Form1.h"
#include "ui/qt/QtBusyIndicator.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/StandardTerminal.h"
#include "ui/WindowRun.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <csignal>

int main(int argc, char *argv[])
{
    const RunPlatform platform{"Linux", WinePrefix::folder()};
    const ParsedCommandLine commandLine =
        CommandLine::parse({argv + 1, argv + argc}, SlashOptions::NotAccepted);
    // A command line is answered on the terminal: no display is needed, and none is opened.
    if (!CommandLine::opensWindows(commandLine)) {
        // A reader of the output that has gone, such as `| head -1`, must not end the program
        // between the steps of its work; what it writes then is lost, and the work goes on.
        std::signal(SIGPIPE, SIG_IGN);
        StandardTerminal terminal;
        return CommandLineRun(terminal, platform).run(commandLine);
    }
    QApplication application(argc, argv);
    QtMessageBox windowMessageBox;
    QtBusyIndicator windowBusyIndicator;
    const std::unique_ptr<WindowRun> run =
        WindowRun::begin(platform, windowMessageBox, windowBusyIndicator);
    if (!run)
        return 1;
    Form1 mainWindow(run->services());
    mainWindow.show();
    // The window is on the screen first; the icon, which Qt's image readers decode, follows.
    QTimer::singleShot(0, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/bexomv2_icon.png")));
    });
    return QApplication::exec();
}
