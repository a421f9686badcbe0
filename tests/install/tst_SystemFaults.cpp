#include "install/Journal.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One C library call as SystemFaults.c logs it.
struct Call
{
    int index = 0;
    QString function;
    QString path;
    bool failed = false;
};

enum class Ending { Succeeded, Failed, Crashed, Hung };

struct Run
{
    Ending ending = Ending::Crashed;
    QString output;
    QList<Call> calls;

    std::optional<Call> failedCall() const
    {
        for (const Call &call : calls)
            if (call.failed)
                return call;
        return std::nullopt;
    }
};

// What a commit that could not finish leaves for the next start to clear.
QStringList withoutLeftovers(QStringList lines)
{
    lines.removeIf([](const QString &line) {
        return line.contains(".bexom-aside-") || line.contains(Journal::FileName);
    });
    return lines;
}

QList<Call> readLog(const QString &path)
{
    QFile file(path);
    QList<Call> calls;
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 3)
            calls.append({fields[0].toInt(), QString::fromUtf8(fields[1]),
                          QString::fromUtf8(fields[2]), fields.size() > 3});
    }
    return calls;
}

// Runs the procedure in a runner of its own, with the Nth call failing (none for 0).
Run runWithFault(InstallScratch &scratch, const Procedure &procedure, int faultAt)
{
    QTemporaryDir logFolder;
    const QString log = logFolder.filePath("calls.log");
    QProcess runner;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("BEXOM_FAULT_AT", QString::number(faultAt));
    environment.insert("BEXOM_FAULT_LOG", log);
    runner.setProcessEnvironment(environment);
    runner.setProcessChannelMode(QProcess::MergedChannels);
    runner.start(FAULT_RUNNER, {scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
                                scratch.gameDirectory()});
    Run run;
    // A guard against a hang, far above the few milliseconds a run takes.
    if (!runner.waitForFinished(60000)) {
        runner.kill();
        runner.waitForFinished(-1);
        run.ending = Ending::Hung;
    } else if (runner.exitStatus() == QProcess::NormalExit && runner.exitCode() <= 1) {
        run.ending = runner.exitCode() == 0 ? Ending::Succeeded : Ending::Failed;
    }
    run.output = QString::fromLocal8Bit(runner.readAll()).simplified();
    run.calls = readLog(log);
    return run;
}

// The scratch before and after a clean run, and the call that writes the commit record.
struct States
{
    QStringList before;
    QStringList done;
    int commit = 0;
};

int commitRecord(const QList<Call> &calls)
{
    int commit = 0;
    for (const Call &call : calls)
        if (call.function == "write" && call.path.endsWith('/' + Journal::FileName))
            commit = call.index;
    return commit;
}

// What is wrong with a run whose call at faultAt failed; nothing when it ended as it should.
// Until the commit record is written, a failure must undo the whole procedure; after it, the
// work must be done.
QString problemWith(const Run &run, int faultAt, const QStringList &after, const States &states)
{
    // A failed call says nothing about whether a file is there: reporting it as missing or as
    // already there sends the player after the wrong cause.
    static const QRegularExpression answerAsError(QStringLiteral("Run-time error '(53|58|76)'"));
    const bool committed = faultAt > states.commit;
    if (run.ending == Ending::Hung)
        return "did not finish";
    if (run.ending == Ending::Crashed)
        return "crashed: " + run.output;
    if (!run.failedCall())
        return "never reached the call";
    if (run.ending == Ending::Succeeded && !(committed && after == states.done))
        return after == states.done ? "succeeded, all done" : "succeeded, not as a clean run ends";
    if (run.ending == Ending::Failed && after != states.before &&
        !(committed && withoutLeftovers(after) == states.done))
        return "reported an error but left a partial state: " + run.output;
    if (run.ending == Ending::Failed && run.output.contains(answerAsError))
        return "took the failure for an answer: " + run.output;
    return {};
}

// Nearly every call works in the game or package folder; the few others only look at the folders
// above them on the way. Of a run of calls of one function on one path, the readdir calls of one
// listing above all, only the first is made to fail, which keeps the test near a minute.
QList<Call> chosenCalls(const QList<Call> &calls, const InstallScratch &scratch)
{
    const QStringList folders{scratch.scratch().at(InstallScratch::PackageFolder),
                              scratch.gameFolderPath()};
    const auto inFolders = [&](const QString &path) {
        return std::any_of(folders.begin(), folders.end(), [&](const QString &folder) {
            return path == folder || path.startsWith(folder + '/');
        });
    };
    QList<Call> chosen;
    for (qsizetype i = 0; i < calls.size(); ++i)
        if (inFolders(calls[i].path) && (i == 0 || calls[i].function != calls[i - 1].function ||
                                         calls[i].path != calls[i - 1].path))
            chosen.append(calls[i]);
    return chosen;
}

} // namespace

class SystemFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFailedSystemCallIsReportedAndUndone_data();
    void everyFailedSystemCallIsReportedAndUndone();
};

void SystemFaultsTest::everyFailedSystemCallIsReportedAndUndone_data()
{
    QTest::addColumn<Procedure>("procedure");
    for (const Procedure &procedure : Procedure::all())
        QTest::newRow(qPrintable(procedure.name)) << procedure;
}

void SystemFaultsTest::everyFailedSystemCallIsReportedAndUndone()
{
    QFETCH(Procedure, procedure);
    // Names in upper case, as the game has them, make every path go through a folder listing.
    QStringList gameFiles{"EXPAND.MIX", "RULES.INI", "Title.pcx"};
    if (procedure.edition == Edition::Aftermath)
        gameFiles.append("EXPAND2.MIX");
    InstallScratch scratch(gameFiles);
    VERIFY_SUCCESS(procedure.prepare(scratch));
    const QStringList before = scratch.snapshot();
    const Run baseline = runWithFault(scratch, procedure, 0);
    QVERIFY2(baseline.ending == Ending::Succeeded, qPrintable(baseline.output));
    const States states{before, scratch.snapshot(), commitRecord(baseline.calls)};
    QVERIFY(states.commit > 0);

    const QList<Call> chosen = chosenCalls(baseline.calls, scratch);
    QStringList failures;
    for (const Call &call : chosen) {
        VERIFY_SUCCESS(procedure.prepare(scratch));
        const Run run = runWithFault(scratch, procedure, call.index);
        const QString problem = problemWith(run, call.index, scratch.snapshot(), states);
        if (!problem.isEmpty())
            failures.append(QStringLiteral("%1 call %2 %3 %4: %5")
                                .arg(procedure.name)
                                .arg(call.index)
                                .arg(call.function, call.path, problem));
    }
    for (const QString &failure : failures)
        qWarning("%s", qPrintable(failure));
    qInfo("%lld calls, %lld made to fail, commit record at call %d", baseline.calls.size(),
          chosen.size(), states.commit);

    // One past the last call is never reached, and the procedure runs to its end.
    VERIFY_SUCCESS(procedure.prepare(scratch));
    const Run past = runWithFault(scratch, procedure, baseline.calls.size() + 1);
    QVERIFY(past.ending == Ending::Succeeded && !past.failedCall());
    QCOMPARE(scratch.snapshot(), states.done);
    QVERIFY2(failures.isEmpty(), qPrintable(QString::number(failures.size()) + " failing calls"));
}

QTEST_GUILESS_MAIN(SystemFaultsTest)
#include "tst_SystemFaults.moc"
