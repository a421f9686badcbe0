#include "InstallScratch.h"
#include "QtBoundary.h"
#include "ScriptedServices.h"
#include "ui/qt/Form1.h"
#include "ui/qt/Form2.h"
#include "ui/qt/PictureArea.h"
#include "ui/qt/QtBusyIndicator.h"
#include "ui/qt/QtMessageBox.h"

#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

const QStringList Labels{"Install", "Uninstall", "Credits", "Exit"};
const QString NotInstalled = "BEXOM | Q | BEXOM is not installed";

PictureArea *button(Form1 &form, int index)
{
    return form.findChild<PictureArea *>(QStringLiteral("Buttonn%1").arg(index));
}

QImage asShown(const QPixmap &picture)
{
    return picture.toImage().convertToFormat(QImage::Format_RGB32);
}

// The picture as the artwork generator drew it, from its PNG beside the program's BMPs; drawn
// twice as large for a screen of 200 percent.
QImage artwork(int index, bool highlighted, qreal scale)
{
    return asShown(QPixmap(
        QStringLiteral(ARTWORK_DIR "/%1_%2%3.png")
            .arg(Labels[index].toLower(), highlighted ? "on" : "off", scale > 1 ? "_2x" : "")));
}

const QMap<QString, Qt::Key> Keys{{"Tab", Qt::Key_Tab},     {"Backtab", Qt::Key_Backtab},
                                  {"Down", Qt::Key_Down},   {"Up", Qt::Key_Up},
                                  {"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
                                  {"Enter", Qt::Key_Return}};

// Over a picture button, the title banner, the gap below the first button, or the margin, or a
// key, or the window onto the last screen, of another scale where there are two. Each move lands a
// little right of the last one: a move to where the pointer is already is dropped.
void moveOver(Form1 &form, const QString &target)
{
    if (Keys.contains(target)) {
        QTest::keyClick(&form, Keys[target]);
        return;
    }
    if (target == "Last screen")
        return form.windowHandle()->setScreen(QGuiApplication::screens().last());
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

// The main window, shown, for a game at the install dialog's "C:\WESTWOOD\REDALERT\".
struct MainWindow
{
    explicit MainWindow(QList<MessageBoxAnswer> answers = {},
                        QStringList gameFiles = {"Expand.mix", "Expand2.mix"})
        : game(toStd(gameFiles), "WESTWOOD/REDALERT"),
          services(game.fileSystem(), {answers.begin(), answers.end()})
    {
        form.show();
    }

    const ScriptedMessageBox &messages() const { return services.messageBox(); }

    InstallScratch game;
    ScriptedServices services;
    Form1 form{services.services()};
};

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheButtonUnderTheMouseIsHighlightedOnBlack_data();
    void onlyTheButtonUnderTheMouseIsHighlightedOnBlack();
    void clickShowsItsMessageAndExitEndsOnlyOnYes_data();
    void clickShowsItsMessageAndExitEndsOnlyOnYes();
    void installDialogOpensWithItsDesignValuesEveryTime();
    void modInstallsAgainAfterRemovalAndIsNotRemovedTwice();
    void messageBoxInFrontShowsItsStyleAndReturnsTheButtonPressed_data();
    void messageBoxInFrontShowsItsStyleAndReturnsTheButtonPressed();
    void confirmationShowsTheWholeDirectoryOrItsStartAndEnd_data();
    void confirmationShowsTheWholeDirectoryOrItsStartAndEnd();
};

void Form1Test::onlyTheButtonUnderTheMouseIsHighlightedOnBlack_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<int>("highlighted");

    // One row for each place and each key: the routine's own table tries every way from one
    // button to another.
    QTest::newRow("first move onto Exit") << QStringList{"Exit"} << 3;
    QTest::newRow("button then margin") << QStringList{"Credits", "Margin"} << 5;
    QTest::newRow("button then gap") << QStringList{"Install", "Gap"} << 5;
    QTest::newRow("button then banner") << QStringList{"Exit", "Banner"} << 3;
    QTest::newRow("Tab onto Install") << QStringList{"Tab"} << 0;
    QTest::newRow("Shift+Tab onto Exit") << QStringList{"Backtab"} << 3;
    QTest::newRow("arrows round from the mouse's button")
        << QStringList{"Credits", "Down", "Right", "Down"} << 1;
    QTest::newRow("arrows back") << QStringList{"Uninstall", "Up", "Left"} << 3;
    QTest::newRow("Enter with nothing highlighted") << QStringList{"Enter"} << 5;
    QTest::newRow("moved to the last screen") << QStringList{"Exit", "Last screen"} << 3;
}

void Form1Test::onlyTheButtonUnderTheMouseIsHighlightedOnBlack()
{
    QFETCH(QStringList, moves);
    QFETCH(int, highlighted);
    MainWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));

    for (const QString &target : moves)
        moveOver(window.form, target);

    QCOMPARE(window.form.highlightIndex(), highlighted);
    QVERIFY(window.messages().shown().empty());
    const QImage image = window.form.grab().toImage();
    const qreal scale = window.form.devicePixelRatioF();
    QCOMPARE(image.size(), QSize(296, 423) * scale);
    for (const QPoint margin : {QPoint(5, 5), QPoint(290, 417), QPoint(140, 178), QPoint(280, 140)})
        QCOMPARE(image.pixelColor(margin * scale), QColor(Qt::black));
    // A title for the task bar though no caption shows it, a name for screen readers; each
    // picture button is a button to them.
    QCOMPARE(window.form.windowTitle(), "BEXOM v2");
    QCOMPARE(window.form.accessibleName(), "BEXOM v2");
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface *accessible =
            QAccessible::queryAccessibleInterface(button(window.form, i));
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), Labels[i]);
        QCOMPARE(accessible->state().focused, i == highlighted && window.form.hasFocus());
        QImage drawn = artwork(i, i == highlighted, scale);
        // Between 100 and 200 percent, the large picture scaled down.
        if (scale > 1 && scale < 2)
            drawn = drawn.scaled(drawn.size() * scale / 2, Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        drawn.setDevicePixelRatio(scale);
        QCOMPARE(asShown(button(window.form, i)->pixmap()), drawn);
        // Inside the bar, right of its label: bright red when highlighted, dark red otherwise.
        QCOMPARE(image.pixelColor(QPoint(241, 152 + 72 * i) * scale),
                 i == highlighted ? QColor(255, 0, 0) : QColor(127, 0, 0));
    }
}

void Form1Test::clickShowsItsMessageAndExitEndsOnlyOnYes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<MessageBoxAnswer>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<QString>("press"); // the mouse, or a key

    const QString credits = "BEXOM | Q | The Credits can be found in the file: BEXOM-Credits.doc";
    const QString leave = "BEXOM Installation Program | YN Q | Are you sure you wish to leave?";
    // That the window forwards the click and the key, and closes on the routine's word; every
    // answer to each box is the routine's table.
    QTest::newRow("Credits") << 2 << MessageBoxAnswer::Ok << credits << true << "Mouse";
    QTest::newRow("Exit, Yes") << 3 << MessageBoxAnswer::Yes << leave << false << "Mouse";
    QTest::newRow("Exit, No") << 3 << MessageBoxAnswer::No << leave << true << "Mouse";
    QTest::newRow("Credits by Enter") << 2 << MessageBoxAnswer::Ok << credits << true << "Enter";
}

void Form1Test::clickShowsItsMessageAndExitEndsOnlyOnYes()
{
    QFETCH(int, index);
    QFETCH(MessageBoxAnswer, answer);
    QFETCH(QString, shown);
    QFETCH(bool, stillOpen);
    QFETCH(QString, press);
    MainWindow window({answer});
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    moveOver(window.form, Labels[index]);

    if (press == "Mouse")
        QTest::mouseClick(button(window.form, index), Qt::LeftButton);
    else
        moveOver(window.form, press);

    QCOMPARE(toQt(window.messages().shown()), QStringList{shown});
    QCOMPARE(window.form.isVisible(), stillOpen);
    QCOMPARE(window.form.highlightIndex(), index);
}

void Form1Test::installDialogOpensWithItsDesignValuesEveryTime()
{
    MainWindow window;
    QStringList seen;
    // The dialog is modal: it is looked at, changed and closed from within its own event loop.
    const auto visitDialog = [&seen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *text1 = dialog->findChild<QLineEdit *>("Text1");
        auto *option1 = dialog->findChild<QRadioButton *>("Option1");
        const QPoint screenCentre = dialog->screen()->availableGeometry().center();
        seen << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                    .arg(dialog->windowTitle(), text1->text())
                    .arg(option1->isChecked())
                    .arg(dialog->findChild<QRadioButton *>("Option2")->isChecked())
                    .arg(dialog->focusWidget() == text1)
                    .arg(text1->hasSelectedText())
                    .arg(dialog->findChild<QLabel *>("Label1")->buddy() == text1)
                    .arg(dialog->frameGeometry().center() == screenCentre);
        // Every control inside the dialog, with room for its whole caption.
        for (QWidget *control : dialog->findChildren<QWidget *>())
            if (control->isVisible() && !dialog->rect().contains(control->geometry()))
                seen << control->objectName() + " outside";
        for (auto *option : dialog->findChildren<QRadioButton *>())
            if (option->sizeHint().width() > option->width())
                seen << option->objectName() + " cut";
        text1->setText("D:\\GAMES\\RA\\");
        option1->setChecked(true);
        dialog->close();
    };

    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &window.form, visitDialog);
        QTest::mouseClick(button(window.form, 0), Qt::LeftButton);
    }

    const QString asDesigned = "Install BEXOM C:\\WESTWOOD\\REDALERT\\ 0 1 1 0 1 1";
    QCOMPARE(seen, (QStringList{asDesigned, asDesigned}));
    QVERIFY(window.messages().shown().empty());
}

// What the windows read, write back and forward; the routines' every branch has tests of its own.
void Form1Test::modInstallsAgainAfterRemovalAndIsNotRemovedTwice()
{
    const auto yes = MessageBoxAnswer::Yes;
    const auto ok = MessageBoxAnswer::Ok;
    MainWindow window({ok, yes, ok, ok, yes, ok, yes, ok, yes, ok, yes});
    const QStringList gameBefore = toQt(window.game.gameSnapshot());
    // The installations run on a thread of their own, as in the program, the removals inline.
    QtBusyIndicator onWorkerThread;
    const RuntimeServices scripted = window.services.services();
    RuntimeServices threaded{scripted.fileSystem, scripted.messageBox, onWorkerThread};
    Form2 dialog(threaded);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *text1 = dialog.findChild<QLineEdit *>("Text1");
    const auto install = [&] {
        QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    };
    const auto uninstall = [&] {
        QTest::mouseClick(button(window.form, 1), Qt::LeftButton);
    };
    // Pasted, as a player brings a long or odd directory; amended, it is written back.
    const QString longDirectory = "C:\\" + QString(100'000, 'D') + "\\";
    QGuiApplication::clipboard()->setText(longDirectory.chopped(1));
    text1->clear();
    text1->paste();
    install();
    QCOMPARE(text1->text(), longDirectory);
    QCOMPARE(toQt(window.game.gameSnapshot()), gameBefore);
    text1->setText("C:\\WESTWOOD\\REDALERT");

    // While the work runs, a screen reader's Press on a picture button or on Install does nothing.
    QString statusLine;
    QTimer::singleShot(0, &dialog, [&] {
        statusLine = dialog.findChild<QLabel *>("StatusLine")->text();
        QVERIFY(QAccessible::queryAccessibleInterface(&dialog)->state().busy);
        for (QWidget *pressed :
             {static_cast<QWidget *>(button(window.form, 1)),
              static_cast<QWidget *>(dialog.findChild<QPushButton *>("Command1"))})
            QAccessible::queryAccessibleInterface(pressed)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
    });
    install();
    QCOMPARE(text1->text(), "C:\\WESTWOOD\\REDALERT\\");
    QCOMPARE(statusLine, "Installing BEXOM...");
    QVERIFY(!QAccessible::queryAccessibleInterface(&dialog)->state().busy);
    // The long directory's refusal, then the question and the notice of this installation.
    QCOMPARE(window.messages().shown().size(), 3);
    QVERIFY(dialog.findChild<QPushButton *>("Command1")->hasFocus());
    dialog.findChild<QRadioButton *>("Option1")->setChecked(true);
    install();
    QVERIFY(QString::fromStdString(window.messages().shown().back())
                .startsWith("BEXOM | Q | BEXOM is already Installed\n\n"));
    QVERIFY(dialog.isVisible());
    uninstall();
    install();
    QVERIFY(window.game.status().starts_with("Status=Counterstrike\r\n"));
    uninstall();
    uninstall();

    QCOMPARE(QString::fromStdString(window.messages().shown().back()), NotInstalled);
    QCOMPARE(toQt(window.game.gameSnapshot()), gameBefore);
}

void Form1Test::messageBoxInFrontShowsItsStyleAndReturnsTheButtonPressed_data()
{
    QTest::addColumn<MessageBoxIcon>("style");
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<MessageBoxAnswer>("answer");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButton>("firstButton");

    using enum MessageBoxIcon;
    using enum MessageBoxAnswer;
    QTest::newRow("notice") << Question << QMessageBox::Ok << Ok << QMessageBox::Question
                            << QMessageBox::Ok;
    QTest::newRow("confirmation, Yes")
        << Question << QMessageBox::Yes << Yes << QMessageBox::Question << QMessageBox::Yes;
    QTest::newRow("confirmation, No")
        << Question << QMessageBox::No << No << QMessageBox::Question << QMessageBox::Yes;
    // No button pressed: the box closed with Esc.
    QTest::newRow("confirmation, Esc")
        << Question << QMessageBox::NoButton << No << QMessageBox::Question << QMessageBox::Yes;
    QTest::newRow("error") << Critical << QMessageBox::Ok << Ok << QMessageBox::Critical
                           << QMessageBox::Ok;
}

void Form1Test::messageBoxInFrontShowsItsStyleAndReturnsTheButtonPressed()
{
    QFETCH(MessageBoxIcon, style);
    QFETCH(QMessageBox::StandardButton, pressed);
    QFETCH(MessageBoxAnswer, answer);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButton, firstButton);
    // In front of the black main window, whose colour must not spread to the box.
    MainWindow window;
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    QTest::keyClick(&window.form, Qt::Key_Tab);
    const QString prompt = "Install to <C:\\GAME\\>?";
    QString seen;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const QMessageBox::StandardButtons others = box->standardButtons() & ~firstButton;
        seen = QStringLiteral("%1 | %2 | %3 %4 %5 %6")
                   .arg(box->windowTitle(), box->text())
                   .arg(box->icon())
                   .arg(box->defaultButton() == box->button(firstButton))
                   .arg(others.toInt())
                   .arg(box->grab().toImage().pixelColor(2, 2).lightness() > 100);
        if (pressed == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(pressed)->click();
    });

    const auto buttons =
        firstButton == QMessageBox::Yes ? MessageBoxButtons::YesNo : MessageBoxButtons::Ok;
    QCOMPARE(QtMessageBox().show(prompt.toStdString(), buttons, style, "Title"), answer);
    // The highlighted button has the focus again, for the next key and for screen readers.
    QTRY_VERIFY(QAccessible::queryAccessibleInterface(button(window.form, 0))->state().focused);

    const int secondButton = firstButton == QMessageBox::Yes ? QMessageBox::No : 0;
    QCOMPARE(seen,
             QStringLiteral("Title | %1 | %2 1 %3 1").arg(prompt).arg(icon).arg(secondButton));
}

void Form1Test::confirmationShowsTheWholeDirectoryOrItsStartAndEnd_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<bool>("whole");

    QTest::newRow("short") << "C:\\WESTWOOD\\REDALERT\\" << true;
    QTest::newRow("300 characters without a blank")
        << "C:\\" + QString(148, 'A') + "\\" + QString(147, 'z') + "\\" << true;
    QTest::newRow("characters beyond 16 bits")
        << "C:\\" + QString::fromUtf8("\xF0\x9F\x8E\xAE").repeated(200) << true;
    QTest::newRow("100,000 characters") << "C:\\" + QString(100'000, 'D') + "\\X\\" << false;
}

void Form1Test::confirmationShowsTheWholeDirectoryOrItsStartAndEnd()
{
    QFETCH(QString, directory);
    QFETCH(bool, whole);
    const QString prompt = "Are you sure you wish to install BEXOM to the directory: " + directory;
    QString shown, copied;
    QRect boxGeometry;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        shown = box->text();
        boxGeometry = box->frameGeometry();
        // A shortcut reaches only the active window.
        if (QTest::qWaitForWindowActive(box))
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
        box->button(QMessageBox::No)->click();
    });

    QtMessageBox().show(prompt.toStdString(), MessageBoxButtons::YesNo, MessageBoxIcon::Question,
                        "Install BEXOM?");

    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(boxGeometry));
    // Ctrl+C copies the whole directory, however it was laid out or cut short in the box.
    QCOMPARE(copied, prompt);
    // Every character shown, in its order; a line may end where there was a blank.
    const auto characters = [](QString text) {
        return text.remove(u'\n').remove(u' ');
    };
    if (whole) {
        QCOMPARE(characters(shown), characters(prompt));
        return;
    }
    QVERIFY(characters(shown).startsWith(characters(prompt.left(200))));
    QVERIFY(characters(shown).endsWith(prompt.right(20)));
    QVERIFY(shown.contains(QChar(0x2026)));
}

QTEST_MAIN(Form1Test)
#include "tst_Form1.moc"
