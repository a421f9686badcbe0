#include "GameOnDriveC.h"
#include "ui/Form2.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

QString confirmInstall(const QString &directory)
{
    return "Install BEXOM? | 36 | Are you sure you wish to install BEXOM to the directory: " +
           directory;
}

const QString AlreadyInstalled = "BEXOM | 32 | BEXOM is already Installed";
const QByteArray Packaged = InstallScratch::PackagedStatus;

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
    GameOnDriveC game;
    const QStringList before = game.install.snapshot();
    ScriptedMessageBox messages;
    Form2 dialog(game.install.fileSystem(), messages);
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
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(game.install.snapshot(), before);
}

void Form2Test::installButtonRunsTheRequestAndTheDialogStaysOpen_data()
{
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Edition>("choice");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("amended");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QByteArray>("statusAfter");

    const QStringList aftermathGame{"Expand.mix", "Expand2.mix"};
    const QString home = GameOnDriveC::Directory;
    QTest::newRow("installed already")
        << aftermathGame << statusFor("Aftermath") << "C:\\WESTWOOD\\REDALERT" << Edition::Aftermath
        << MessageBoxAnswer::Yes << home << QStringList{AlreadyInstalled} << statusFor("Aftermath");
    QTest::newRow("answered No") << aftermathGame << Packaged << "" << Edition::Aftermath
                                 << MessageBoxAnswer::No << "\\"
                                 << QStringList{confirmInstall("\\")} << Packaged;
    QTest::newRow("Aftermath") << aftermathGame << Packaged << home << Edition::Aftermath
                               << MessageBoxAnswer::Yes << home << QStringList{confirmInstall(home)}
                               << statusFor("Aftermath");
    QTest::newRow("Counterstrike")
        << QStringList{"Expand.mix"} << Packaged << home << Edition::Counterstrike
        << MessageBoxAnswer::Yes << home << QStringList{confirmInstall(home)}
        << statusFor("Counterstrike");
    QTest::newRow("engine error") << QStringList{"Expand.mix"} << Packaged << home
                                  << Edition::Aftermath << MessageBoxAnswer::Yes << home
                                  << QStringList{confirmInstall(home),
                                                 "BEXOM | 16 | Run-time error '53':\nFile not "
                                                 "found...\n\nNothing was changed."}
                                  << Packaged;
}

void Form2Test::installButtonRunsTheRequestAndTheDialogStaysOpen()
{
    QFETCH(QStringList, gameFiles);
    QFETCH(QByteArray, status);
    QFETCH(QString, typed);
    QFETCH(Edition, choice);
    QFETCH(int, answer);
    QFETCH(QString, amended);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, statusAfter);
    GameOnDriveC game(gameFiles);
    game.install.writeStatus(status);
    const QStringList before = game.install.snapshot();
    ScriptedMessageBox messages({answer});
    Form2 dialog(game.install.fileSystem(), messages);
    dialog.show();
    dialog.findChild<QLineEdit *>("Text1")->setText(typed);
    dialog.findChild<QRadioButton *>(choice == Edition::Counterstrike ? "Option1" : "Option2")
        ->setChecked(true);

    QTest::mouseClick(dialog.findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QVERIFY2(shownAsExpected(messages.shown(), shown), qPrintable(messages.shown().join('\n')));
    QCOMPARE(dialog.findChild<QLineEdit *>("Text1")->text(), amended);
    QVERIFY(dialog.isVisible());
    QCOMPARE(game.install.status(), statusAfter);
    QCOMPARE(game.install.snapshot() == before, statusAfter == status);
}

QTEST_MAIN(Form2Test)
#include "tst_Form2.moc"
