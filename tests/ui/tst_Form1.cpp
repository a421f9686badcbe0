#include "GameOnDriveC.h"
#include "install/ModInstaller.h"
#include "ui/Form1.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

enum class Setup { Nothing, Aftermath, Counterstrike, StatusOnly };
Q_DECLARE_METATYPE(Setup)

namespace {

const QStringList Labels{"Install", "Uninstall", "Credits", "Exit"};
const QString ConfirmRemoval = "BEXOM | 36 | Are you sure you wish to uninstall BEXOM?";

QLabel *button(Form1 &form, int index)
{
    for (QLabel *label : form.findChildren<QLabel *>())
        if (label->accessibleName() == Labels[index])
            return label;
    return nullptr;
}

QImage asShown(const QPixmap &picture)
{
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
}

QImage artwork(int index, bool highlighted)
{
    return asShown(QPixmap(QStringLiteral(":/artwork/%1_%2.png")
                               .arg(Labels[index].toLower(), highlighted ? "on" : "off")));
}

// Over a picture button, the title banner, the gap below the first button, or the margin. Each
// move lands a little right of the last one: a move to where the pointer is already is dropped.
void moveOver(Form1 &form, const QString &target)
{
    static int step = 0;
    step = (step + 1) % 20;
    QPoint point(5, 410);
    if (Labels.contains(target))
        point = QPoint(140, 140 + 72 * Labels.indexOf(target));
    else if (target == "Banner")
        point = QPoint(140, 40);
    else if (target == "Gap")
        point = QPoint(140, 178);
    QTest::mouseMove(form.windowHandle(), point + QPoint(step, 0));
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheButtonUnderTheMouseIsHighlighted_data();
    void onlyTheButtonUnderTheMouseIsHighlighted();
    void clickShowsItsMessageAndExitEndsUnlessNo_data();
    void clickShowsItsMessageAndExitEndsUnlessNo();
    void installDialogOpensWithItsDesignValuesEveryTime();
    void uninstallRestoresTheGameOrChangesNothing_data();
    void uninstallRestoresTheGameOrChangesNothing();
    void windowIsBlackWithDarkBarsAndOneBrightBar();
};

void Form1Test::onlyTheButtonUnderTheMouseIsHighlighted_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<int>("highlighted");

    QTest::newRow("first move onto Install") << QStringList{"Install"} << 0;
    QTest::newRow("first move onto Exit") << QStringList{"Exit"} << 3;
    QTest::newRow("within one button") << QStringList{"Uninstall", "Uninstall"} << 1;
    QTest::newRow("straight to another button") << QStringList{"Install", "Credits"} << 2;
    QTest::newRow("back and forth") << QStringList{"Exit", "Install", "Exit"} << 3;
    QTest::newRow("button then margin") << QStringList{"Credits", "Margin"} << 5;
    QTest::newRow("button then gap") << QStringList{"Install", "Gap"} << 5;
    QTest::newRow("margin only") << QStringList{"Margin"} << 5;
    QTest::newRow("button then banner") << QStringList{"Exit", "Banner"} << 3;
    QTest::newRow("banner only") << QStringList{"Banner"} << 5;
}

void Form1Test::onlyTheButtonUnderTheMouseIsHighlighted()
{
    QFETCH(QStringList, moves);
    QFETCH(int, highlighted);
    GameOnDriveC game;
    ScriptedMessageBox messages;
    Form1 form(game.install.fileSystem(), messages);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    for (const QString &target : moves)
        moveOver(form, target);

    QCOMPARE(form.highlightIndex(), highlighted);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(asShown(button(form, i)->pixmap()), artwork(i, i == highlighted));
}

void Form1Test::clickShowsItsMessageAndExitEndsUnlessNo_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("stillOpen");

    const QString credits = "BEXOM | 32 | The Credits can be found in the file: BEXOM-Credits.doc";
    const QString leave = "BEXOM Installation Program | 36 | Are you sure you wish to leave?";
    QTest::newRow("Credits") << 2 << MessageBoxAnswer::Ok << credits << true;
    QTest::newRow("Exit, Yes") << 3 << MessageBoxAnswer::Yes << leave << false;
    QTest::newRow("Exit, No") << 3 << MessageBoxAnswer::No << leave << true;
    QTest::newRow("Exit, OK") << 3 << MessageBoxAnswer::Ok << leave << false;
}

void Form1Test::clickShowsItsMessageAndExitEndsUnlessNo()
{
    QFETCH(int, index);
    QFETCH(int, answer);
    QFETCH(QString, shown);
    QFETCH(bool, stillOpen);
    GameOnDriveC game;
    ScriptedMessageBox messages({answer});
    Form1 form(game.install.fileSystem(), messages);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    moveOver(form, Labels[index]);

    QTest::mouseClick(button(form, index), Qt::LeftButton);

    QCOMPARE(messages.shown(), QStringList{shown});
    QCOMPARE(form.isVisible(), stillOpen);
    QCOMPARE(form.highlightIndex(), index);
}

void Form1Test::installDialogOpensWithItsDesignValuesEveryTime()
{
    GameOnDriveC game;
    ScriptedMessageBox messages;
    Form1 form(game.install.fileSystem(), messages);
    QStringList seen;
    // The dialog is modal: it is looked at, changed and closed from within its own event loop.
    const auto visitDialog = [&seen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *text1 = dialog->findChild<QLineEdit *>("Text1");
        auto *option1 = dialog->findChild<QRadioButton *>("Option1");
        seen << QStringLiteral("%1 %2 %3 %4 %5 %6")
                    .arg(dialog->windowTitle(), text1->text())
                    .arg(option1->isChecked())
                    .arg(dialog->findChild<QRadioButton *>("Option2")->isChecked())
                    .arg(dialog->focusWidget() == text1)
                    .arg(text1->hasSelectedText());
        text1->setText("D:\\GAMES\\RA\\");
        option1->setChecked(true);
        dialog->close();
    };

    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &form, visitDialog);
        QTest::mouseClick(button(form, 0), Qt::LeftButton);
    }

    const QString asDesigned = "Install BEXOM C:\\WESTWOOD\\REDALERT\\ 0 1 1 0";
    QCOMPARE(seen, (QStringList{asDesigned, asDesigned}));
    QVERIFY(messages.shown().isEmpty());
}

void Form1Test::uninstallRestoresTheGameOrChangesNothing_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("restored");

    QTest::newRow("answered No") << Setup::Aftermath << MessageBoxAnswer::No
                                 << QStringList{ConfirmRemoval} << false;
    QTest::newRow("not installed")
        << Setup::Nothing << MessageBoxAnswer::Yes
        << QStringList{ConfirmRemoval, "BEXOM | 32 | BEXOM is not installed"} << false;
    QTest::newRow("Aftermath") << Setup::Aftermath << MessageBoxAnswer::Yes
                               << QStringList{ConfirmRemoval} << true;
    QTest::newRow("Counterstrike")
        << Setup::Counterstrike << MessageBoxAnswer::Yes << QStringList{ConfirmRemoval} << true;
    QTest::newRow("engine error")
        << Setup::StatusOnly << MessageBoxAnswer::Yes
        << QStringList{ConfirmRemoval,
                       "BEXOM | 16 | Run-time error '53':\nFile not found...\n\nNothing was "
                       "changed."}
        << false;
}

void Form1Test::uninstallRestoresTheGameOrChangesNothing()
{
    QFETCH(Setup, setup);
    QFETCH(int, answer);
    QFETCH(QStringList, shown);
    QFETCH(bool, restored);
    GameOnDriveC game;
    const QStringList gameBefore = game.install.gameSnapshot();
    ModInstaller installer(game.install.fileSystem());
    if (setup == Setup::Aftermath || setup == Setup::Counterstrike)
        QVERIFY(
            !installer
                 .install(setup == Setup::Aftermath ? Edition::Aftermath : Edition::Counterstrike,
                          GameOnDriveC::Directory)
                 .isError());
    if (setup == Setup::StatusOnly)
        game.install.writeStatus("Status=Aftermath\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n");
    const QStringList allBefore = game.install.snapshot();
    ScriptedMessageBox messages({answer});
    Form1 form(game.install.fileSystem(), messages);
    form.show();

    QTest::mouseClick(button(form, 1), Qt::LeftButton);

    QVERIFY2(shownAsExpected(messages.shown(), shown), qPrintable(messages.shown().join('\n')));
    if (restored)
        QCOMPARE(game.install.gameSnapshot(), gameBefore);
    else
        QCOMPARE(game.install.snapshot(), allBefore);
    QVERIFY(form.isVisible());
}

void Form1Test::windowIsBlackWithDarkBarsAndOneBrightBar()
{
    GameOnDriveC game;
    ScriptedMessageBox messages;
    Form1 form(game.install.fileSystem(), messages);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    moveOver(form, "Credits");

    const QImage window = form.grab().toImage();

    QCOMPARE(window.size(), QSize(296, 423));
    for (const QPoint margin : {QPoint(5, 5), QPoint(290, 417), QPoint(140, 178), QPoint(280, 140)})
        QCOMPARE(window.pixelColor(margin), QColor(Qt::black));
    // Inside each bar, right of its label.
    for (int i = 0; i < 4; ++i)
        QCOMPARE(window.pixelColor(16 + 225, 112 + 72 * i + 40),
                 i == 2 ? QColor(255, 0, 0) : QColor(127, 0, 0));
}

QTEST_MAIN(Form1Test)
#include "tst_Form1.moc"
