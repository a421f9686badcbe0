#include "InstallScratch.h"
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

Q_DECLARE_METATYPE(Edition)

namespace {

const QString Home = InstallDialogLayout::DefaultDirectory;

QString confirmInstall(const QString &directory)
{
    return "Install BEXOM? | 36 | Are you sure you wish to install BEXOM to the directory: " +
           directory;
}

QByteArray statusFor(const char *edition)
{
    return QByteArray("Status=") + edition + "\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n";
}

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

private slots:
    void onlyCloseBoxAndCancelLeaveTheDialog();
    void tabLandsOnTheSelectedOptionAndEnterPressesTheFocusedButton();
    void installButtonRunsTheRequestAndTheDialogStaysOpen_data();
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

void Form2Test::installButtonRunsTheRequestAndTheDialogStaysOpen_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Edition>("choice");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("amended");
    QTest::addColumn<QStringList>("shown");
    // The status file after an installation; null where nothing may change.
    QTest::addColumn<QByteArray>("installed");

    const auto row = [](const char *name, const QByteArray &status, const QString &typed,
                        Edition choice, int answer, const QString &amended,
                        const QStringList &shown, const QByteArray &installed = {}) {
        QTest::newRow(name) << status << typed << choice << answer << amended << shown << installed;
    };
    // What the dialog reads and writes back; the request's every branch has tests of its own.
    const QByteArray packaged = QByteArray::fromStdString(InstallScratch::PackagedStatus);
    const int yes = MessageBoxAnswer::Yes;
    const QString noBackslash = "C:\\WESTWOOD\\REDALERT";
    row("Aftermath, directory amended", packaged, noBackslash, Edition::Aftermath, yes, Home,
        {confirmInstall(Home)}, statusFor("Aftermath"));
    row("Counterstrike", packaged, Home, Edition::Counterstrike, yes, Home, {confirmInstall(Home)},
        statusFor("Counterstrike"));
    const QString longDirectory = "C:\\" + QString(100'000, 'D') + "\\";
    row("100,000-character directory, answered No", packaged, longDirectory.chopped(1),
        Edition::Aftermath, MessageBoxAnswer::No, longDirectory, {confirmInstall(longDirectory)});
}

void Form2Test::installButtonRunsTheRequestAndTheDialogStaysOpen()
{
    QFETCH(QByteArray, status);
    QFETCH(QString, typed);
    QFETCH(Edition, choice);
    QFETCH(int, answer);
    QFETCH(QString, amended);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, installed);
    InstallScratch game({"Expand.mix", "Expand2.mix"}, "WESTWOOD/REDALERT");
    game.writeStatus(status.toStdString());
    const QStringList before = toQt(game.snapshot());
    const QStringList gameBefore = toQt(game.gameSnapshot());
    ScriptedServices services(game.fileSystem(), {answer});
    const ScriptedMessageBox &messages = services.messageBox();
    Form2 dialog(services.services());
    dialog.show();
    // Pasted, as a player brings a long or odd directory.
    auto *text1 = dialog.findChild<QLineEdit *>("Text1");
    text1->clear();
    QGuiApplication::clipboard()->setText(typed);
    text1->paste();
    dialog.findChild<QRadioButton *>(choice == Edition::Counterstrike ? "Option1" : "Option2")
        ->setChecked(true);

    QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QVERIFY2(messages.showed(toStd(shown)),
             qPrintable(toQt(messages.shown()).join('\n').left(1000)));
    QCOMPARE(dialog.findChild<QLineEdit *>("Text1")->text(), amended);
    QVERIFY(dialog.isVisible());
    if (installed.isNull()) {
        QCOMPARE(toQt(game.snapshot()), before);
        return;
    }
    QCOMPARE(QByteArray::fromStdString(game.status()), installed);
    QVERIFY(toQt(game.gameSnapshot()) != gameBefore);
}

QTEST_MAIN(Form2Test)
#include "tst_Form2.moc"
