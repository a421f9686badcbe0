#include "ArtworkWriter.h"

#include <QGuiApplication>
#include <QTextStream>

// Draws the installer's pictures into the folder named on the command line.
int main(int argc, char *argv[])
{
    // Nothing is shown on screen, so the generator runs on machines without a display as well.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: artwork_generator <output folder>\n";
        return 2;
    }
    if (auto failure = ArtworkWriter(QDir(app.arguments().at(1))).writeAll()) {
        err << "artwork_generator: " << *failure << '\n';
        return 1;
    }
    return 0;
}
