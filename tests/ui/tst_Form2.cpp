#include "InstallScratch.h"
#include "QtBoundary.h"
#include "ScriptedMessageBox.h"
#include "ui/Form2.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

Q_DECLARE_METATYPE(Edition)

namespace {

const QString Home = Form2::DefaultDirectory;
const QString AlreadyInstalled = "BEXOM | 32 | BEXOM is already Installed";

QString confirmInstall(const QString &directory)
{
    return "Install BEXOM? | 36 | Are you sure you wish to install BEXOM to the directory: " +
           directory;
}

QString runtimeError(int number, const QString &description)
{
    return QStringLiteral("BEXOM | 16 | Run-time error '%1':\n%2...\n\nNothing was changed.")
        .arg(number)
        .arg(description);
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
    void installButtonRunsTheRequestAndTheDialogStaysOpen_data();
    void installButtonRunsTheRequestAndTheDialogStaysOpen();
};

void Form2Test::onlyCloseBoxAndCancelLeaveTheDialog()
{
    InstallScratch game;
    const QStringList before = toQt(game.snapshot());
    ScriptedMessageBox messages;
    Form2 dialog(game.fileSystem(), messages);
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
    QVERIFY(messages.shown().empty());
    QCOMPARE(toQt(game.snapshot()), before);
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
    const QByteArray packaged = QByteArray::fromStdString(InstallScratch::PackagedStatus);
    const int yes = MessageBoxAnswer::Yes;
    const Edition aftermath = Edition::Aftermath;
    const QString noBackslash = "C:\\WESTWOOD\\REDALERT";
    row("installed for Aftermath", statusFor("Aftermath"), noBackslash, aftermath, yes, Home,
        {AlreadyInstalled});
    row("installed for Counterstrike", statusFor("Counterstrike"), Home, aftermath, yes, Home,
        {AlreadyInstalled});
    row("letter case differs", statusFor("uninstalled"), Home, aftermath, yes, Home,
        {AlreadyInstalled});
    row("empty status item", "\r\nPath=C:\\\r\n", Home, aftermath, yes, Home, {AlreadyInstalled});
    row("1 MB status file without a line end", QByteArray(1024 * 1024, 'x'), Home, aftermath, yes,
        Home, {AlreadyInstalled});
    row("answered No, empty box", packaged, "", Edition::Counterstrike, MessageBoxAnswer::No, "\\",
        {confirmInstall("\\")});
    row("answered No, forward slash", packaged, Home + "x/", aftermath, MessageBoxAnswer::No,
        Home + "x/\\", {confirmInstall(Home + "x/\\")});
    row("Aftermath", packaged, noBackslash, aftermath, yes, Home, {confirmInstall(Home)},
        statusFor("Aftermath"));
    row("Counterstrike", packaged, Home, Edition::Counterstrike, yes, Home, {confirmInstall(Home)},
        statusFor("Counterstrike"));
    const QString longDirectory = "C:\\" + QString(100'000, 'D') + "\\";
    row("100,000-character directory", packaged, longDirectory.chopped(1), aftermath, yes,
        longDirectory, {confirmInstall(longDirectory), runtimeError(75, "Path/File access error")});
    row("engine error, blanks only", packaged, "     ", aftermath, yes, "     \\",
        {confirmInstall("     \\"), runtimeError(76, "Path not found")});
    const QString controlCharacters = "C:\\WEST\tWOOD\x01\\RED\x1b"
                                      "ALERT";
    row("control characters", packaged, controlCharacters, aftermath, yes, controlCharacters + "\\",
        {runtimeError(76, "Path not found")});
    row("status file with a byte-order mark", "\xEF\xBB\xBF" + packaged, Home, aftermath,
        MessageBoxAnswer::No, Home, {confirmInstall(Home)});
    row("status file is a folder", QByteArray::fromStdString(InstallScratch::StatusFolder), Home,
        aftermath, yes, Home, {runtimeError(75, "Path/File access error")});
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
    ScriptedMessageBox messages({answer});
    Form2 dialog(game.fileSystem(), messages);
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
