#include "GameOnDriveC.h"
#include "ui/Form1.h"
#include "ui/Form2.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

enum class Window { InstallDialog, MainWindowUninstall };
Q_DECLARE_METATYPE(Window)

namespace {

const QString ConfirmInstall =
    "Install BEXOM? | 36 | Are you sure you wish to install BEXOM to the directory: ...";
const QString ConfirmRemoval = "BEXOM | 36 | Are you sure you wish to uninstall BEXOM?";
const QString NothingChanged = "...\n\nNothing was changed.";

QString error(int number)
{
    return QStringLiteral("BEXOM | 16 | Run-time error '%1':\n").arg(number) + NothingChanged;
}

void typeIntoTheDialog(Form2 &dialog, const QString &text)
{
    auto *text1 = dialog.findChild<QLineEdit *>("Text1");
    text1->clear();
    // Pasted, as a player would bring a long or odd path.
    QGuiApplication::clipboard()->setText(text);
    text1->paste();
}

void clickUninstall(Form1 &form)
{
    for (QLabel *label : form.findChildren<QLabel *>())
        if (label->accessibleName() == QLatin1String("Uninstall"))
            QTest::mouseClick(label, Qt::LeftButton);
}

} // namespace

// Input no player should give, through the windows: each gets a clear message, the program goes
// on, and no file changes.
class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void badInputIsToldAndChangesNothing_data();
    void badInputIsToldAndChangesNothing();
};

void BadInputTest::badInputIsToldAndChangesNothing_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("shown");

    const QByteArray packaged = InstallScratch::PackagedStatus;
    const QList<int> yes{MessageBoxAnswer::Yes};
    const QString home = GameOnDriveC::Directory;
    const QByteArray longLine(1024 * 1024, 'x');
    const QByteArray byteOrderMark = "\xEF\xBB\xBF";

    QTest::newRow("100,000-character directory")
        << Window::InstallDialog << "C:\\" + QString(100'000, 'D') << packaged << yes
        << QStringList{ConfirmInstall, error(75)};
    QTest::newRow("blanks only") << Window::InstallDialog << "     " << packaged << yes
                                 << QStringList{ConfirmInstall, error(76)};
    QTest::newRow("control characters")
        << Window::InstallDialog
        << "C:\\WEST\tWOOD\x01\\RED\x1b"
           "ALERT\\"
        << packaged << yes << QStringList{ConfirmInstall, error(76)};
    QTest::newRow("1 MB status file without a line end, install")
        << Window::InstallDialog << home << longLine << yes
        << QStringList{"BEXOM | 32 | BEXOM is already Installed"};
    QTest::newRow("1 MB status file without a line end, removal")
        << Window::MainWindowUninstall << QString() << longLine << yes
        << QStringList{ConfirmRemoval, error(76)};
    QTest::newRow("status file with a byte-order mark, install")
        << Window::InstallDialog << home << byteOrderMark + packaged
        << QList<int>{MessageBoxAnswer::No} << QStringList{ConfirmInstall};
    QTest::newRow("status file with a byte-order mark, removal")
        << Window::MainWindowUninstall << QString() << byteOrderMark + packaged << yes
        << QStringList{ConfirmRemoval, "BEXOM | 32 | BEXOM is not installed"};
    QTest::newRow("status file is a folder, install")
        << Window::InstallDialog << home << QByteArray() << yes << QStringList{error(75)};
    QTest::newRow("status file is a folder, removal")
        << Window::MainWindowUninstall << QString() << QByteArray() << yes
        << QStringList{ConfirmRemoval, error(75)};
}

void BadInputTest::badInputIsToldAndChangesNothing()
{
    QFETCH(Window, window);
    QFETCH(QString, typed);
    QFETCH(QByteArray, status);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, shown);
    GameOnDriveC game;
    const QString statusPath = game.install.scratch().at("package/Status.ini");
    if (status.isEmpty()) {
        QFile::remove(statusPath);
        QDir().mkdir(statusPath);
    } else {
        game.install.writeStatus(status);
    }
    const QStringList before = game.install.snapshot();
    ScriptedMessageBox messages(answers);

    if (window == Window::InstallDialog) {
        Form2 dialog(game.install.fileSystem(), messages);
        dialog.show();
        typeIntoTheDialog(dialog, typed);
        QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
    } else {
        Form1 form(game.install.fileSystem(), messages);
        form.show();
        clickUninstall(form);
        QVERIFY(form.isVisible());
    }

    QVERIFY2(shownAsExpected(messages.shown(), shown), qPrintable(messages.shown().join('\n')));
    QCOMPARE(game.install.snapshot(), before);
}

QTEST_MAIN(BadInputTest)
#include "tst_BadInput.moc"
