#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "install/TransactionScope.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

using Kind = TransactionStep::Kind;

// How a journal comes to be found where it was not written, or was never written at all.
enum class Foreign {
    PackageUnpackedElsewhere, // a real journal; the package folder zipped and unpacked elsewhere
    OtherWinePrefix,          // a real journal for drive C; another Wine prefix at the next start
    GameReinstalled,          // a real journal; the game folder deleted and made anew since
    Unnamed,                  // steps without the first record that names the folders
    Crafted,                  // the right folders, but a step that names a file outside them
    BackupFolderLink,         // the right folders, but the backup folder a link to outside
};
Q_DECLARE_METATYPE(Foreign)

namespace {

// A game folder whose name no journal field may break.
const QString AwkwardFolder = QString::fromUtf8("Red Alert, \"95\"\t\u20ac 100%");
// Spelled as the game spells them, so that an undo must keep the letter case.
const QStringList GameFiles{"EXPAND.MIX", "EXPAND2.MIX", "RULES.INI"};
const QString JournalAppend = "appendDurably " + Journal::FileName;
const QString JournalPath = InstallScratch::PackageFolder + '/' + Journal::FileName;

enum class Ending { Killed, Finished, Failed };

void startRunner(QProcess &runner, const QString &packageFolder, const QString &procedure,
                 const QString &gameDirectory, const QStringList &more)
{
    runner.start(CRASH_RUNNER, QStringList{packageFolder, procedure, gameDirectory} + more);
}

Ending runKilledAfter(InstallScratch &scratch, const Procedure &procedure, int operation,
                      const QString &gameDirectory = {})
{
    QProcess runner;
    startRunner(runner, scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
                gameDirectory.isEmpty() ? scratch.gameDirectory() : gameDirectory,
                {QString::number(operation)});
    if (!runner.waitForFinished(-1))
        return Ending::Failed;
    // For a process that a signal ended, QProcess gives the signal as the exit code.
    if (runner.exitStatus() == QProcess::CrashExit)
        return runner.exitCode() == SIGKILL ? Ending::Killed : Ending::Failed;
    return runner.exitCode() == 0 ? Ending::Finished : Ending::Failed;
}

// Recovers through start-ups that each die after one operation more than the one before, until
// one lives to finish; returns what that one tells the player, or its error report.
QString recoverThroughCrashes(InstallScratch &scratch)
{
    for (int lived = 1;; ++lived) {
        FaultyFileSystem dying(scratch.fileSystem(), lived + 1, Fault::DeadDisk);
        const ErrorOr<QString> recovered = JournalRecovery(dying).recover();
        if (!recovered.isError())
            return recovered.value();
        if (dying.operationCount() <= lived)
            return recovered.error().report();
    }
}

// The first n records of a journal; the first names its folders.
JournalContents firstRecords(const JournalContents &whole, qsizetype n)
{
    if (n-- == 0)
        return {};
    const qsizetype steps = std::min(n, whole.steps.size());
    const qsizetype undone = std::clamp(n - steps, qsizetype(0), whole.undone);
    return {whole.scope, whole.steps.first(steps), undone, whole.committed && n > steps + undone};
}

// Makes the journal that a process killed half-way through an installation leaves.
bool killHalfWay(InstallScratch &scratch, const QString &gameDirectory)
{
    const Procedure procedure = *Procedure::named("Ins_Aftermath");
    FaultyFileSystem counting(scratch.fileSystem());
    if (procedure.run(counting, gameDirectory).isError())
        return false;
    scratch.reset();
    return runKilledAfter(scratch, procedure, counting.operationCount() / 2, gameDirectory) ==
               Ending::Killed &&
           QFile::exists(scratch.scratch().at(JournalPath));
}

// Replaces a folder of the scratch with a copy of it, which has a new identity.
void makeAnew(const ScratchFolder &scratch, const QString &folder)
{
    const QStringList files = QDir(scratch.at(folder)).entryList(QDir::Files);
    QDir().rename(scratch.at(folder), scratch.at(folder + ".old"));
    scratch.createFolder(folder);
    for (const QString &name : files)
        QFile::copy(scratch.at(folder + ".old/" + name), scratch.at(folder + '/' + name));
    QDir(scratch.at(folder + ".old")).removeRecursively();
}

// A journal as a process killed right after its commit record leaves it.
QByteArray committedJournal()
{
    InstallScratch scratch(GameFiles, AwkwardFolder);
    const Procedure procedure = *Procedure::named("Ins_Aftermath");
    FaultyFileSystem counting(scratch.fileSystem());
    if (procedure.run(counting, scratch.gameDirectory()).isError())
        return {};
    scratch.reset();
    if (runKilledAfter(scratch, procedure, counting.operations().lastIndexOf(JournalAppend) + 1) !=
        Ending::Killed)
        return {};
    return scratch.scratch().contents(JournalPath);
}

} // namespace

class CrashRecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void killAfterEveryOperationIsPutRightAtTheNextStart_data();
    void killAfterEveryOperationIsPutRightAtTheNextStart();
    void tornJournalYieldsOnlyTheWholeRecordsBeforeTheTear_data();
    void tornJournalYieldsOnlyTheWholeRecordsBeforeTheTear();
    void foreignJournalIsKeptAsideWithNothingChanged_data();
    void foreignJournalIsKeptAsideWithNothingChanged();
    void secondInstallerActsOnNothingWhileTheFirstWorks();
    void unfinishedJournalRefusesAnotherProcedure();
    void cleanupTestCase();

private:
    int m_killPoints = 0;
};

void CrashRecoveryTest::killAfterEveryOperationIsPutRightAtTheNextStart_data()
{
    QTest::addColumn<Procedure>("procedure");
    for (const Procedure &procedure : Procedure::all())
        QTest::newRow(qPrintable(procedure.name)) << procedure;
}

void CrashRecoveryTest::killAfterEveryOperationIsPutRightAtTheNextStart()
{
    QFETCH(Procedure, procedure);
    InstallScratch scratch(GameFiles, AwkwardFolder);
    VERIFY_SUCCESS(procedure.prepare(scratch));
    const QStringList before = scratch.snapshot();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(procedure.run(counting, scratch.gameDirectory()));
    const QStringList done = scratch.snapshot();
    const int operations = counting.operationCount();
    const int firstRecord = counting.operations().indexOf(JournalAppend) + 1;
    const int commitRecord = counting.operations().lastIndexOf(JournalAppend) + 1;
    QVERIFY(firstRecord > 0 && firstRecord < commitRecord);

    // One past the last operation lets the procedure finish.
    for (int kill = 1; kill <= operations + 1; ++kill) {
        VERIFY_SUCCESS(procedure.prepare(scratch));
        const QByteArray where = QByteArray("killed after operation ") + QByteArray::number(kill) +
                                 ": " + counting.operations().value(kill - 1).toUtf8();
        const Ending ending = runKilledAfter(scratch, procedure, kill);
        QVERIFY2(ending == (kill <= operations ? Ending::Killed : Ending::Finished), where);

        const bool journalLeft = kill >= firstRecord && kill < operations;
        // A power cut may also leave half a record at the end; here, every other time.
        if (journalLeft && kill % 2 == 1)
            scratch.scratch().createFile(JournalPath, scratch.scratch().contents(JournalPath) +
                                                          Journal::encodeUndone().first(4));
        const QString notice =
            kill < commitRecord ? JournalRecovery::UndoneNotice : JournalRecovery::FinishedNotice;
        QVERIFY2(recoverThroughCrashes(scratch) == (journalLeft ? notice : QString()), where);
        QVERIFY2(scratch.snapshot() == (kill < commitRecord ? before : done), where);
    }
    qInfo("%d kill points", operations);
    m_killPoints += operations;
}

void CrashRecoveryTest::tornJournalYieldsOnlyTheWholeRecordsBeforeTheTear_data()
{
    QTest::addColumn<QByteArray>("journal");
    QTest::newRow("Aftermath installation, killed after its commit") << committedJournal();
    JournalContents awkward;
    awkward.scope = {"/pack age/100% \"new\nline\"",
                     {1, 2},
                     AwkwardFolder + '\\',
                     std::filesystem::path(("/" + AwkwardFolder).toStdU16String()),
                     {UINT64_MAX, 0}};
    for (const QString &path :
         {QString("a,b \"quoted\"\ttab"), QString("new\nline, carriage\rreturn"),
          QString::fromUtf8("control\x01\x1f\x7f, \u00c4\u20ac\U0001F600"), QString("100% %41 %zz"),
          QString("C:\\WESTWOOD\\REDALERT\\"), QStringLiteral("nul\0end")})
        awkward.steps.append({Kind::SetAside, {}, path, path + "~"});
    awkward.undone = 3;
    QTest::newRow("awkward paths, partly undone") << Journal::encode(awkward);
}

void CrashRecoveryTest::tornJournalYieldsOnlyTheWholeRecordsBeforeTheTear()
{
    QFETCH(QByteArray, journal);
    const JournalContents whole = Journal::parse(journal);
    QVERIFY(whole.steps.size() > 5);
    // Every record reads back as it was written, whatever its paths hold.
    QCOMPARE(Journal::encode(whole), journal);

    for (qsizetype at = 0; at < journal.size(); ++at) {
        const qsizetype recordsBefore = journal.first(at).count('\n');
        QByteArray damaged = journal;
        damaged[at] = damaged[at] ^ 0x01;
        const QByteArray where = "at byte " + QByteArray::number(at);
        QVERIFY2(Journal::parse(journal.first(at)) == firstRecords(whole, recordsBefore), where);
        QVERIFY2(Journal::parse(damaged) == firstRecords(whole, recordsBefore), where);
    }
}

void CrashRecoveryTest::foreignJournalIsKeptAsideWithNothingChanged_data()
{
    QTest::addColumn<Foreign>("foreign");
    // Where a crafted step points: %1 stands for the scratch folder, %2 for the game directory.
    QTest::addColumn<QString>("outside");
    QTest::addColumn<QString>("why");
    const auto row = [](const char *name, Foreign foreign, const QString &why,
                        const QString &outside = {}) {
        QTest::newRow(name) << foreign << outside << why;
    };
    row("package unpacked elsewhere", Foreign::PackageUnpackedElsewhere,
        "it was written in the package folder");
    row("another Wine prefix", Foreign::OtherWinePrefix, "when it was written and is");
    row("game reinstalled", Foreign::GameReinstalled, "has been deleted and made anew");
    row("no first record", Foreign::Unnamed, "it does not begin with a record");
    const QString outside = "which lies outside";
    row("file in the home folder", Foreign::Crafted, outside, "%1/home/.bashrc");
    row("up from the package", Foreign::Crafted, outside, "..\\home\\.bashrc");
    row("up from the game folder", Foreign::Crafted, outside, "%2..\\home\\.bashrc");
    row("up from the backup folder", Foreign::Crafted, outside, "%2BEXOMv2\\..\\..\\home\\.bashrc");
    row("drive letter", Foreign::Crafted, outside, "C:\\home\\.bashrc");
    row("drive-relative", Foreign::Crafted, outside, "C:.bashrc");
    row("copy over a file the player sees", Foreign::Crafted, "which is not a file of its own",
        "%2Expand.mix");
    row("backup folder a link out", Foreign::BackupFolderLink, "leads out of the game folder",
        "%2BEXOMv2\\.bashrc");
}

void CrashRecoveryTest::foreignJournalIsKeptAsideWithNothingChanged()
{
    QFETCH(Foreign, foreign);
    QFETCH(QString, outside);
    QFETCH(QString, why);
    InstallScratch scratch(GameFiles);
    const ScratchFolder &folder = scratch.scratch();
    QString package = InstallScratch::PackageFolder;
    const auto craft = [&](const QList<TransactionStep> &steps) {
        const auto scope = TransactionScope::resolve(scratch.fileSystem(), scratch.gameDirectory());
        folder.createFile(JournalPath, Journal::encode({scope.value(), steps, 0, false}));
    };
    const TransactionStep copyOutside{
        Kind::Copy,
        "Rules.ini",
        QString(outside).replace("%1", folder.path()).replace("%2", scratch.gameDirectory()),
        {}};
    switch (foreign) {
    case Foreign::PackageUnpackedElsewhere:
        QVERIFY(killHalfWay(scratch, scratch.gameDirectory()));
        package = "unpacked";
        QDir().rename(folder.at(InstallScratch::PackageFolder), folder.at(package));
        break;
    case Foreign::OtherWinePrefix:
        QVERIFY(killHalfWay(scratch, scratch.driveCDirectory()));
        folder.createFolder("other/dosdevices");
        folder.createFolder("other/drive/game");
        QFile::link(folder.at("other/drive"), folder.at("other/dosdevices/c:"));
        qputenv("WINEPREFIX", folder.at("other").toLocal8Bit());
        break;
    case Foreign::GameReinstalled:
        QVERIFY(killHalfWay(scratch, scratch.gameDirectory()));
        makeAnew(folder, "game");
        break;
    case Foreign::Unnamed:
        folder.createFile(JournalPath, Journal::encode(copyOutside));
        // A journal kept before is never replaced.
        folder.createFile(JournalPath + ".foreign-1", "kept before");
        break;
    case Foreign::BackupFolderLink:
        QFile::link(folder.at("home"), folder.at("game/BEXOMv2"));
        // Undone, the move would take the file through the link into the game folder.
        craft({{Kind::MakeDirectory, {}, scratch.gameDirectory() + "BEXOMv2", {}},
               {Kind::Move, scratch.gameDirectory() + "Taken", copyOutside.target, {}}});
        break;
    case Foreign::Crafted:
        craft({copyOutside});
        break;
    }
    folder.createFile("home/.bashrc", "the player's own");
    const QString kept =
        Journal::FileName + (foreign == Foreign::Unnamed ? ".foreign-2" : ".foreign-1");
    QStringList expected = folder.snapshot();
    const qsizetype journalLine = expected.indexOf(QRegularExpression(".*/BEXOMv2\\.journal .*"));
    QVERIFY(journalLine >= 0);
    expected[journalLine].replace(Journal::FileName, kept);
    expected.sort();

    HostFileSystem fileSystem(folder.at(package).toStdString());
    const auto recovered = JournalRecovery(fileSystem).recover();

    VERIFY_SUCCESS(recovered);
    const QStringList notice = JournalRecovery::ForeignNotice.split("%1");
    QVERIFY2(recovered.value().startsWith(notice[0]) && recovered.value().contains(why),
             qPrintable(recovered.value()));
    QVERIFY(recovered.value().endsWith(QString(notice[1]).arg(kept)));
    QCOMPARE(folder.snapshot(), expected);
}

void CrashRecoveryTest::secondInstallerActsOnNothingWhileTheFirstWorks()
{
    InstallScratch scratch(GameFiles);
    const ScratchFolder &folder = scratch.scratch();
    const QString game = scratch.gameDirectory();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(ModInstaller(counting).install(Edition::Aftermath, game));
    const QStringList installed = scratch.snapshot();
    scratch.reset();
    // Mid-way: the first copy into the game folder is done, the journal is live.
    const int firstCopy = counting.operations().indexOf(QRegularExpression(
                              "^copyFile " + QRegularExpression::escape(game) + ".*")) +
                          1;
    folder.createFile("copy/Status.ini", "Status=Aftermath\r\nPath=" + game.toUtf8() + "\r\n");
    QProcess first;
    startRunner(first, folder.at(InstallScratch::PackageFolder), "Ins_Aftermath", game,
                {QString::number(firstCopy), "hold"});
    QVERIFY(first.waitForReadyRead(-1));
    const QStringList held = scratch.snapshot();
    QVERIFY(QFile::exists(folder.at(JournalPath)));

    // From the same package folder: turned away before it looks at anything.
    QProcess second;
    startRunner(second, folder.at(InstallScratch::PackageFolder), "Unins_Aftermath", game, {"0"});
    QVERIFY(second.waitForFinished(-1));
    QCOMPARE(second.exitCode(), 3);
    // From another copy of the package: refused at its first step.
    QProcess third;
    startRunner(third, folder.at("copy"), "Unins_Counterstrike", game, {"0"});
    QVERIFY(third.waitForFinished(-1));
    QCOMPARE(third.exitCode(), 1);
    QVERIFY(third.readAllStandardError().contains("Another BEXOM installer is working on this"));
    QCOMPARE(scratch.snapshot(), held);

    first.write("\n");
    QVERIFY(first.waitForFinished(-1));
    QCOMPARE(first.exitCode(), 0);
    QDir(folder.at("copy")).removeRecursively();
    QCOMPARE(scratch.snapshot(), installed);
}

void CrashRecoveryTest::unfinishedJournalRefusesAnotherProcedure()
{
    InstallScratch scratch;
    scratch.scratch().createFile(JournalPath,
                                 Journal::encode({Kind::MakeDirectory, {}, "elsewhere", {}}));
    const QStringList before = scratch.snapshot();

    const auto outcome =
        ModInstaller(scratch.fileSystem()).install(Edition::Aftermath, scratch.gameDirectory());

    QVERIFY(outcome.isError());
    QCOMPARE(outcome.error().path(), Journal::FileName);
    QCOMPARE(scratch.snapshot(), before);
}

void CrashRecoveryTest::cleanupTestCase()
{
    qInfo("%d kill points covered in all", m_killPoints);
}

QTEST_GUILESS_MAIN(CrashRecoveryTest)
#include "tst_CrashRecovery.moc"
