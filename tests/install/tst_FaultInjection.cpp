#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

enum class Route { Procedure, Request };
Q_DECLARE_METATYPE(Route)

namespace {

// What a commit that could not finish leaves for the next start to clear.
QStringList withoutLeftovers(QStringList lines)
{
    lines.removeIf([](const QString &line) {
        return line.contains(".bexom-aside-") || line.contains(Journal::FileName);
    });
    return lines;
}

} // namespace

class FaultInjectionTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFailedOperationLeavesEverythingAsBefore_data();
    void everyFailedOperationLeavesEverythingAsBefore();
    void deadDiskDuringUndoIsReportedAndPutRightAtTheNextStart();
    void cleanupTestCase();

private:
    int m_injectionPoints = 0;
};

void FaultInjectionTest::everyFailedOperationLeavesEverythingAsBefore_data()
{
    QTest::addColumn<Procedure>("procedure");
    QTest::addColumn<Route>("route");
    for (const Route route : {Route::Procedure, Route::Request})
        for (const Procedure &procedure : Procedure::all())
            QTest::addRow("%s through the %s", qPrintable(procedure.name),
                          route == Route::Procedure ? "procedure" : "request")
                << procedure << route;
}

void FaultInjectionTest::everyFailedOperationLeavesEverythingAsBefore()
{
    QFETCH(Procedure, procedure);
    QFETCH(Route, route);
    // The player's own Rules.ini and Title.pcx make the installation keep them too; names in
    // upper case, as the game has them, make every undo keep their spelling.
    QStringList gameFiles{"EXPAND.MIX", "RULES.INI", "Title.pcx"};
    if (procedure.edition == Edition::Aftermath)
        gameFiles.append("EXPAND2.MIX");
    InstallScratch scratch(gameFiles);
    const auto run = [&](FileSystem &fileSystem) {
        return route == Route::Procedure ? procedure.run(fileSystem, scratch.gameDirectory())
                                         : procedure.request(fileSystem, scratch.gameDirectory());
    };
    VERIFY_SUCCESS(procedure.prepare(scratch));
    const QStringList before = scratch.snapshot();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(run(counting));
    const QStringList done = scratch.snapshot();

    for (int operation = 1; operation <= counting.operationCount(); ++operation) {
        VERIFY_SUCCESS(procedure.prepare(scratch));
        FaultyFileSystem faulty(scratch.fileSystem(), operation);
        const ErrorOr<void> outcome = run(faulty);
        const QByteArray where =
            QStringLiteral("operation %1 on %2").arg(operation).arg(faulty.failedPath()).toUtf8();
        QVERIFY2(outcome.isError(), where);
        QCOMPARE(outcome.error().path(), faulty.failedPath());
        // Once committed, only the originals kept aside are still to be dropped: the work stays
        // done, and the error tells which file is left over.
        if (outcome.error().leftChanges()) {
            QVERIFY2(outcome.error().changesLeft().contains(faulty.failedPath()), where);
            QVERIFY2(withoutLeftovers(scratch.snapshot()) == done, where);
        } else {
            QVERIFY2(scratch.snapshot() == before, where);
        }
    }
    m_injectionPoints += counting.operationCount();
    qInfo("%d injection points", counting.operationCount());
}

void FaultInjectionTest::deadDiskDuringUndoIsReportedAndPutRightAtTheNextStart()
{
    InstallScratch scratch;
    const QStringList before = scratch.snapshot();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(ModInstaller(counting).install(Edition::Aftermath, scratch.gameDirectory()));
    scratch.reset();
    // The copy of SC-Vorda.mix, the last copy before the commit, and everything after it.
    const int lastCopy =
        counting.operations().lastIndexOf("copyFile " + scratch.gameDirectory() + "SC-Vorda.mix");
    FaultyFileSystem dying(scratch.fileSystem(), lastCopy + 1, Fault::DeadDisk);

    const auto outcome = ModInstaller(dying).install(Edition::Aftermath, scratch.gameDirectory());

    QVERIFY(outcome.isError());
    QVERIFY(outcome.error().path().endsWith("SC-Vorda.mix"));
    QVERIFY(outcome.error().changesLeft().contains("SC-Vorda.mix"));
    QCOMPARE(scratch.scratch().contents("game/BEXOMv2/Expand.mix"),
             InstallScratch::gameContent("Expand.mix"));
    const auto recovered = JournalRecovery(scratch.fileSystem()).recover();
    VERIFY_SUCCESS(recovered);
    QCOMPARE(recovered.value(), JournalRecovery::UndoneNotice);
    QCOMPARE(scratch.snapshot(), before);
}

void FaultInjectionTest::cleanupTestCase()
{
    qInfo("%d injection points covered in all", m_injectionPoints);
}

QTEST_GUILESS_MAIN(FaultInjectionTest)
#include "tst_FaultInjection.moc"
