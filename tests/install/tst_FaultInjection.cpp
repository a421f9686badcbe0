#include "FakeInstallForm.h"
#include "FakeRemovalForm.h"
#include "FaultyFileSystem.h"
#include "install/InstallRequest.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/RemovalRequest.h"
#include "InstallScratch.h"
#include "ScriptedMessageBox.h"
#include "TestOutcome.h"

enum class Request { Install, Removal };
enum class Route { Procedure, Request };
Q_DECLARE_METATYPE(Request)
Q_DECLARE_METATYPE(Route)

namespace {

ErrorOr<void> run(FileSystem &fileSystem, const QString &directory, Edition edition,
                  Request request, Route route)
{
    if (route == Route::Procedure && request == Request::Install)
        return ModInstaller(fileSystem).install(edition, directory);
    if (route == Route::Procedure)
        return ModInstaller(fileSystem).uninstall(edition, directory);
    ScriptedMessageBox answersYes({MessageBoxAnswer::Yes});
    FakeInstallForm installForm(fileSystem, directory, edition);
    FakeRemovalForm removalForm(fileSystem);
    if (request == Request::Install)
        return InstallRequest(fileSystem, answersYes).run(installForm);
    return RemovalRequest(fileSystem, answersYes).run(removalForm);
}

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
    QTest::addColumn<Edition>("edition");
    QTest::addColumn<Request>("request");
    QTest::addColumn<Route>("route");
    for (const Route route : {Route::Procedure, Route::Request})
        for (const Request request : {Request::Install, Request::Removal})
            for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
                QTest::addRow("%s %s %s", route == Route::Procedure ? "procedure" : "request",
                              request == Request::Install ? "install" : "removal",
                              edition == Edition::Aftermath ? "Aftermath" : "Counterstrike")
                    << edition << request << route;
}

void FaultInjectionTest::everyFailedOperationLeavesEverythingAsBefore()
{
    QFETCH(Edition, edition);
    QFETCH(Request, request);
    QFETCH(Route, route);
    // The player's own Rules.ini and Title.pcx make the installation keep them too.
    InstallScratch scratch(edition == Edition::Aftermath
                               ? QStringList{"Expand.mix", "Expand2.mix", "Rules.ini", "Title.pcx"}
                               : QStringList{"Expand.mix", "Rules.ini", "Title.pcx"});
    const QString directory = scratch.gameDirectory();
    const auto prepare = [&] {
        scratch.reset();
        if (request == Request::Removal)
            VERIFY_SUCCESS(ModInstaller(scratch.fileSystem()).install(edition, directory));
    };
    prepare();
    const QStringList before = scratch.snapshot();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(run(counting, directory, edition, request, route));
    const QStringList done = scratch.snapshot();

    for (int operation = 1; operation <= counting.operationCount(); ++operation) {
        prepare();
        FaultyFileSystem faulty(scratch.fileSystem(), operation);
        const ErrorOr<void> outcome = run(faulty, directory, edition, request, route);
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
    // The copy of SC-Vorda.mix, the last step before the commit, and everything after it.
    const int lastCopy =
        counting.operations().lastIndexOf("copyFile " + scratch.gameDirectory() + "SC-Vorda.mix");
    FaultyFileSystem dying(scratch.fileSystem(), lastCopy + 1, Fault::DeadDisk);

    const auto outcome = ModInstaller(dying).install(Edition::Aftermath, scratch.gameDirectory());

    QVERIFY(outcome.isError());
    QVERIFY(outcome.error().path().endsWith("SC-Vorda.mix"));
    QVERIFY(outcome.error().leftChanges());
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
