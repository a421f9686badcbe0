#include "FakeInstallForm.h"
#include "FakeRemovalForm.h"
#include "install/InstallRequest.h"
#include "install/RemovalRequest.h"
#include "InstallScratch.h"
#include "ScriptedMessageBox.h"
#include "TestOutcome.h"

#include <QFile>

enum class Installed { Nothing, Aftermath, Counterstrike };
Q_DECLARE_METATYPE(Installed)

namespace {

const int Notice = MessageBoxStyle::Question;
const int Confirmation = MessageBoxStyle::YesNo | MessageBoxStyle::Question;
const QString AlreadyInstalled =
    ScriptedMessageBox::line("BEXOM", Notice, "BEXOM is already Installed");
const QString ConfirmRemoval =
    ScriptedMessageBox::line("BEXOM", Confirmation, "Are you sure you wish to uninstall BEXOM?");
const QString NotInstalled = ScriptedMessageBox::line("BEXOM", Notice, "BEXOM is not installed");

QString confirmInstall(const QString &directory)
{
    return ScriptedMessageBox::line("Install BEXOM?", Confirmation,
                                    "Are you sure you wish to install BEXOM to the directory: " +
                                        directory);
}

QStringList withRoot(QStringList texts, const QString &root)
{
    for (QString &text : texts)
        text.replace("%1", root);
    return texts;
}

QByteArray withRoot(QByteArray bytes, const QString &root)
{
    return bytes.replace("%1", root.toUtf8());
}

} // namespace

class RequestsTest : public QObject
{
    Q_OBJECT

private slots:
    void installRequestAsksThenInstallsTheChosenEdition_data();
    void installRequestAsksThenInstallsTheChosenEdition();
    void removalRequestRemovesTheRecordedEdition_data();
    void removalRequestRemovesTheRecordedEdition();
    void modInstallsAgainAfterRemovalAndIsNotRemovedTwice();
};

void RequestsTest::installRequestAsksThenInstallsTheChosenEdition_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Edition>("choice");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("statusAfter");

    const QByteArray packaged = InstallScratch::PackagedStatus;
    const QString game = "%1/game\\";
    const auto aftermathIn = [](const QString &directory) {
        return ("Status=Aftermath\r\nPath=" + directory + "\r\n").toUtf8();
    };
    const auto refused = [&](const char *name, const QByteArray &status) {
        QTest::newRow(name) << status << "%1/game" << Edition::Aftermath
                            << int(MessageBoxAnswer::Yes) << game << QStringList{AlreadyInstalled}
                            << status;
    };
    refused("installed for Aftermath", "Status=Aftermath\r\nPath=C:\\RA\\\r\n");
    refused("installed for Counterstrike", "Status=Counterstrike\r\nPath=C:\\RA\\\r\n");
    refused("letter case differs", "Status=uninstalled\r\nPath=C:\\RA\\\r\n");
    refused("empty status item", "\r\nPath=C:\\RA\\\r\n");
    QTest::newRow("answer No") << packaged << game << Edition::Counterstrike
                               << int(MessageBoxAnswer::No) << game
                               << QStringList{confirmInstall(game)} << packaged;
    QTest::newRow("empty text") << packaged << "" << Edition::Aftermath << int(MessageBoxAnswer::No)
                                << "\\" << QStringList{confirmInstall("\\")} << packaged;
    QTest::newRow("Yes, Counterstrike")
        << packaged << game << Edition::Counterstrike << int(MessageBoxAnswer::Yes) << game
        << QStringList{confirmInstall(game)}
        << QByteArray("Status=Counterstrike\r\nPath=%1/game\\\r\n");
    QTest::newRow("Yes, Aftermath, backslash appended")
        << packaged << "%1/game" << Edition::Aftermath << int(MessageBoxAnswer::Yes) << game
        << QStringList{confirmInstall(game)} << aftermathIn(game);
    QTest::newRow("forward slash kept")
        << packaged << "%1/game/" << Edition::Aftermath << int(MessageBoxAnswer::Ok) << "%1/game/\\"
        << QStringList{confirmInstall("%1/game/\\")} << aftermathIn("%1/game/\\");
}

void RequestsTest::installRequestAsksThenInstallsTheChosenEdition()
{
    QFETCH(QByteArray, status);
    QFETCH(QString, text);
    QFETCH(Edition, choice);
    QFETCH(int, answer);
    QFETCH(QString, textAfter);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, statusAfter);
    InstallScratch scratch;
    const QString root = scratch.scratch().path();
    scratch.writeStatus(status);
    const QStringList gameBefore = scratch.gameSnapshot();
    ScriptedMessageBox messageBox({answer});
    FakeInstallForm form(scratch.fileSystem(), text.replace("%1", root), choice);

    VERIFY_SUCCESS(InstallRequest(scratch.fileSystem(), messageBox).run(form));

    QCOMPARE(form.directoryText(), textAfter.replace("%1", root));
    QCOMPARE(messageBox.shown(), withRoot(messages, root));
    QCOMPARE(scratch.status(), withRoot(statusAfter, root));
    const bool installed = statusAfter != status;
    QCOMPARE(form.optionReads(), installed ? 1 : 0);
    QCOMPARE(scratch.gameSnapshot() != gameBefore, installed);
}

void RequestsTest::removalRequestRemovesTheRecordedEdition_data()
{
    QTest::addColumn<Installed>("installed");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("storedDirectory");

    const QString game = "%1/game\\";
    QTest::newRow("answer No, no status file")
        << Installed::Nothing << QByteArray() << int(MessageBoxAnswer::No)
        << QStringList{ConfirmRemoval} << "(not set)";
    // The stored directory shows how the status file was read: each item its whole line.
    const auto notInstalled = [](const char *name, const QByteArray &status, const QString &path) {
        QTest::newRow(name) << Installed::Nothing << status << int(MessageBoxAnswer::Yes)
                            << QStringList{ConfirmRemoval, NotInstalled} << path;
    };
    notInstalled("packaged", InstallScratch::PackagedStatus, "C:\\WESTWOOD\\REDALERT\\");
    notInstalled("LF line ends", "Status=Uninstalled\nPath=D:\\RA\\\n", "D:\\RA\\");
    notInstalled("no final line end", "Status=Uninstalled\r\nPath=C:\\RA", "C:\\RA");
    notInstalled("comma, quotes", "Status=Uninstalled\r\nPath=C:\\A, \"B\"\r\n", "C:\\A, \"B\"");
    notInstalled("byte-order mark", "\xEF\xBB\xBFStatus=Uninstalled\r\nPath=C:\\\r\n", "C:\\");
    notInstalled("UTF-8", "Status=Uninstalled\r\nPath=C:\\\xC3\x89t\xC3\xA9\r\n", "C:\\Été");
    notInstalled("Latin-1", "Status=Uninstalled\r\nPath=C:\\\xC4rger\r\n", "C:\\Ärger");
    notInstalled("one line", "Status=Uninstalled\r\n", "");
    notInstalled("short path item", "Status=Uninstalled\r\nPath\r\n", "");
    notInstalled("prefix not compared", "Status=Uninstalled\r\nPATH:C:\\\r\n", "C:\\");
    for (const Installed edition : {Installed::Aftermath, Installed::Counterstrike})
        QTest::addRow("%s", edition == Installed::Aftermath ? "Aftermath" : "Counterstrike")
            << edition << QByteArray() << int(MessageBoxAnswer::Yes) << QStringList{ConfirmRemoval}
            << game;
    QTest::newRow("other status item")
        << Installed::Counterstrike << QByteArray("Status=aftermath\r\nPath=%1/game\\\r\n")
        << int(MessageBoxAnswer::Ok) << QStringList{ConfirmRemoval} << game;
}

void RequestsTest::removalRequestRemovesTheRecordedEdition()
{
    QFETCH(Installed, installed);
    QFETCH(QByteArray, status);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, storedDirectory);
    InstallScratch scratch;
    const QString root = scratch.scratch().path();
    const QStringList gameBefore = scratch.gameSnapshot();
    if (installed != Installed::Nothing)
        VERIFY_SUCCESS(ModInstaller(scratch.fileSystem())
                           .install(installed == Installed::Aftermath ? Edition::Aftermath
                                                                      : Edition::Counterstrike,
                                    scratch.gameDirectory()));
    if (!status.isNull())
        scratch.writeStatus(withRoot(status, root));
    if (answer == MessageBoxAnswer::No)
        QFile::remove(scratch.scratch().at("package/Status.ini"));
    ScriptedMessageBox messageBox({answer});
    FakeRemovalForm form(scratch.fileSystem());

    VERIFY_SUCCESS(RemovalRequest(scratch.fileSystem(), messageBox).run(form));

    QCOMPARE(messageBox.shown(), withRoot(messages, root));
    QCOMPARE(form.storedGameDirectory(), storedDirectory.replace("%1", root));
    QCOMPARE(scratch.gameSnapshot(), gameBefore);
    if (installed != Installed::Nothing)
        QCOMPARE(scratch.status(),
                 ("Status=Uninstalled\r\nPath=" + storedDirectory + "\r\n").toUtf8());
}

void RequestsTest::modInstallsAgainAfterRemovalAndIsNotRemovedTwice()
{
    InstallScratch scratch;
    FileSystem &fileSystem = scratch.fileSystem();
    const QStringList gameBefore = scratch.gameSnapshot();
    ScriptedMessageBox messageBox; // answers OK, which is not No, to every question
    FakeInstallForm aftermath(fileSystem, scratch.gameDirectory(), Edition::Aftermath);
    FakeInstallForm counterstrike(fileSystem, scratch.gameDirectory(), Edition::Counterstrike);
    FakeRemovalForm removal(fileSystem);

    VERIFY_SUCCESS(InstallRequest(fileSystem, messageBox).run(aftermath));
    VERIFY_SUCCESS(InstallRequest(fileSystem, messageBox).run(counterstrike));
    QCOMPARE(messageBox.shown().last(), AlreadyInstalled);
    VERIFY_SUCCESS(RemovalRequest(fileSystem, messageBox).run(removal));
    VERIFY_SUCCESS(InstallRequest(fileSystem, messageBox).run(counterstrike));
    QVERIFY(scratch.status().startsWith("Status=Counterstrike\r\n"));
    VERIFY_SUCCESS(RemovalRequest(fileSystem, messageBox).run(removal));
    VERIFY_SUCCESS(RemovalRequest(fileSystem, messageBox).run(removal));

    QCOMPARE(messageBox.shown().last(), NotInstalled);
    QCOMPARE(scratch.gameSnapshot(), gameBefore);
}

QTEST_GUILESS_MAIN(RequestsTest)
#include "tst_Requests.moc"
