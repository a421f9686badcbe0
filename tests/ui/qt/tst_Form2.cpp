#include "InstallScratch.h"
#include "PlayerTexts.h"
#include "QtBoundary.h"
#include "ScriptedServices.h"
#include "ui/InstallDialogLayout.h"
#include "ui/qt/Form2.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString Home = InstallDialogLayout::DefaultDirectory;

QString confirm(const QString &directory)
{
    return QString::fromStdString(confirmInstall(directory.toStdString()));
}

QByteArray statusBytes(const char *edition)
{
    return QByteArray::fromStdString(statusFor(edition));
}

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

private slots:
    void onlyCloseBoxAndCancelLeaveTheDialog();
    void tabLandsOnTheSelectedOptionAndEnterPressesTheFocusedButton();
    void installButtonRunsTheRequestAndTheDialogStaysOpen();
};

void Form2Test::onlyCloseBoxAndCancelLeaveTheDialog()
{
    InstallScratch game;
    const QStringList before = toQt(game.snapshot());
    ScriptedServices services(game.fileSystem());
    Form2 dialog(services.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(dialog.findChild<QLineEdit *>("Text1"), key);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("Command2"), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QVERIFY(services.messageBox().shown().empty());
    QCOMPARE(toQt(game.snapshot()), before);
}

void Form2Test::tabLandsOnTheSelectedOptionAndEnterPressesTheFocusedButton()
{
    InstallScratch game;
    ScriptedServices services(game.fileSystem(), {MessageBoxAnswer::No});
    Form2 dialog(services.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const auto focusAfterTabs = [&dialog](int tabs) {
        dialog.findChild<QLineEdit *>("Text1")->setFocus();
        for (int tab = 0; tab < tabs; ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget()->objectName();
    };

    QCOMPARE(focusAfterTabs(1), "Option2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(dialog.findChild<QRadioButton *>("Option1")->isChecked());
    QCOMPARE(focusAfterTabs(1), "Option1");
    QCOMPARE(focusAfterTabs(2), "Command1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(services.messageBox().shown().size(), 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(focusAfterTabs(3), "Command2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTRY_VERIFY(!dialog.isVisible());
}

// What the dialog reads and writes back; the request's every branch has tests of its own.
void Form2Test::installButtonRunsTheRequestAndTheDialogStaysOpen()
{
    InstallScratch game({"Expand.mix", "Expand2.mix"}, "WESTWOOD/REDALERT");
    ScriptedServices services(game.fileSystem(), {MessageBoxAnswer::Ok, MessageBoxAnswer::Yes});
    Form2 dialog(services.services());
    dialog.show();
    auto *text1 = dialog.findChild<QLineEdit *>("Text1");
    // Pasted, as a player brings a long or odd directory.
    const auto installTyped = [&](const QString &typed) {
        text1->clear();
        QGuiApplication::clipboard()->setText(typed);
        text1->paste();
        QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    };
    const QString longDirectory = "C:\\" + QString(100'000, 'D') + "\\";
    const QStringList before = toQt(game.snapshot());

    installTyped(longDirectory.chopped(1));
    QCOMPARE(text1->text(), longDirectory);
    QCOMPARE(toQt(game.snapshot()), before);
    installTyped("C:\\WESTWOOD\\REDALERT");

    QCOMPARE(text1->text(), Home);
    QVERIFY(dialog.isVisible());
    // The folder that cannot be the game's is refused before any question.
    const QStringList shown = toQt(services.messageBox().shown());
    QCOMPARE(shown.size(), 3);
    QVERIFY(shown.first().endsWith("Run-time error '75': Path/File access error"));
    QCOMPARE(shown[1], confirm(Home));
    QCOMPARE(QByteArray::fromStdString(game.status()), statusBytes("Aftermath"));
}

QTEST_MAIN(Form2Test)
#include "tst_Form2.moc"
