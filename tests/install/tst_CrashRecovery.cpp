#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <QProcess>
#include <QTest>

#include <csignal>

using Kind = TransactionStep::Kind;

namespace {

// A game folder whose name no journal field may break.
const QString AwkwardFolder = QString::fromUtf8("Red Alert, \"95\"\t\u20ac 100%");
// Spelled as the game spells them, so that an undo must keep the letter case.
const QStringList GameFiles{"EXPAND.MIX", "EXPAND2.MIX", "RULES.INI"};
const QString JournalAppend = "appendDurably " + Journal::FileName;
const QString JournalPath = InstallScratch::PackageFolder + '/' + Journal::FileName;

enum class Ending { Killed, Finished, Failed };

Ending runKilledAfter(InstallScratch &scratch, const Procedure &procedure, int operation)
{
    QProcess runner;
    runner.start(CRASH_RUNNER, {scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
                                scratch.gameDirectory(), QString::number(operation)});
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

// The first n records of a journal.
JournalContents firstRecords(const JournalContents &whole, qsizetype n)
{
    const qsizetype steps = std::min(n, whole.steps.size());
    const qsizetype undone = std::clamp(n - steps, qsizetype(0), whole.undone);
    return {whole.steps.first(steps), undone, whole.committed && n > steps + undone};
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
