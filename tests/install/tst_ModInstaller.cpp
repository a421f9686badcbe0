#include "install/ModInstaller.h"
#include "install/StatusFile.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>
#include <unistd.h>

// How the game folder's files are named on disk and how the player names the folder.
enum class Naming { AsGiven, UpperCase, WineDrive };
Q_DECLARE_METATYPE(Direction)
Q_DECLARE_METATYPE(Naming)

namespace {

// The game folder as the table of the installation describes it, for a game that held
// gameFiles (and RA95.exe) before.
QStringList installedGameFolder(Edition edition, const QStringList &gameFiles)
{
    const bool aftermath = edition == Edition::Aftermath;
    QMap<QString, QByteArray> files;
    for (const QString &name : gameFiles + QStringList{"RA95.exe"})
        files[name] = InstallScratch::gameContent(name);
    QStringList replaced{"Expand.mix", "Expand2.mix", "Rules.ini", "Title.pcx", "SC-Vorda.mix"};
    if (aftermath)
        replaced << "Aftrmath.ini"
                 << "MPlayer.ini";
    for (const QString &name : replaced) {
        if (files.contains(name))
            files["BEXOMv2/" + name] = files[name];
    }
    for (const QString &name : replaced.mid(2))
        files[name] = InstallScratch::packageContent(name);
    const QByteArray packagedExpand2 = InstallScratch::packageContent("Expand2.mix");
    const QByteArray gameExpand2 = files.take("Expand2.mix");
    files["Expand.mix"] = aftermath ? gameExpand2 : packagedExpand2;
    if (aftermath)
        files["Expand2.mix"] = packagedExpand2;
    QStringList lines{"BEXOMv2/"};
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        lines.append(ScratchFolder::fileLine(it.key(), it.value()));
    lines.sort();
    return lines;
}

// As the game sees names: whatever their letter case.
QStringList folded(QStringList lines)
{
    for (QString &line : lines)
        line = line.toLower();
    lines.sort();
    return lines;
}

QByteArray statusBytes(const QString &statusItem, const QString &directory)
{
    return (statusItem + "\r\nPath=" + directory + "\r\n").toUtf8();
}

// "-path" removes, "+path" makes a file, "+path/" a folder, "@path>target" a symbolic link.
void applyChange(const ScratchFolder &scratch, const QString &change)
{
    const QString path = change.mid(1);
    if (change.startsWith('@'))
        QFile::link(path.section('>', 1), scratch.at(path.section('>', 0, 0)));
    else if (change.startsWith('-') && QFileInfo(scratch.at(path)).isDir())
        QDir(scratch.at(path)).removeRecursively();
    else if (change.startsWith('-'))
        QFile::remove(scratch.at(path));
    else if (path.endsWith('/'))
        scratch.createFolder(path);
    else
        scratch.createFile(path, "in the way");
}

} // namespace

class ModInstallerTest : public QObject
{
    Q_OBJECT

private slots:
    void installationGivesTheTableAndRemovalGivesTheFolderBack_data();
    void installationGivesTheTableAndRemovalGivesTheFolderBack();
    void badInputIsRefusedWithNothingChanged_data();
    void badInputIsRefusedWithNothingChanged();
    void readOnlyGameFolderIsRefusedWithNothingChanged();
    void linksInTheGameFolderComeBackAsTheyWere_data();
    void linksInTheGameFolderComeBackAsTheyWere();
    void statusFileGivesEachItemAsItsWholeLine_data();
    void statusFileGivesEachItemAsItsWholeLine();
};

void ModInstallerTest::installationGivesTheTableAndRemovalGivesTheFolderBack_data()
{
    QTest::addColumn<Edition>("edition");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<Naming>("naming");

    const QStringList aftermath{"Expand.mix", "Expand2.mix"};
    const QStringList counterstrike{"Expand.mix"};
    const QStringList playersOwn{"Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx",
                                 "SC-Vorda.mix"};
    const auto row = [](const char *name, Edition edition, const QString &folder,
                        const QStringList &files, Naming naming = Naming::AsGiven) {
        QTest::newRow(name) << edition << folder << files << naming;
    };
    row("Aftermath", Edition::Aftermath, "game", aftermath);
    row("Counterstrike", Edition::Counterstrike, "game", counterstrike);
    row("Counterstrike into a game with Aftermath", Edition::Counterstrike, "game", aftermath);
    row("player's own files, Aftermath", Edition::Aftermath, "game", aftermath + playersOwn);
    row("player's own files, Counterstrike", Edition::Counterstrike, "game",
        counterstrike + playersOwn);
    row("comma", Edition::Aftermath, "Red Alert, 1996", aftermath);
    row("double quote", Edition::Counterstrike, "The \"Red\" Alert", counterstrike);
    row("blanks", Edition::Aftermath, "  Red  Alert  ", aftermath);
    row("non-ASCII", Edition::Counterstrike, "Alerte Rouge – Édition spéciale", counterstrike);
    row("upper case, Aftermath", Edition::Aftermath, "game", aftermath + QStringList{"Rules.ini"},
        Naming::UpperCase);
    row("upper case, Counterstrike", Edition::Counterstrike, "game",
        aftermath + QStringList{"Rules.ini"}, Naming::UpperCase);
    row("Wine drive letter", Edition::Aftermath, "game", aftermath, Naming::WineDrive);
}

void ModInstallerTest::installationGivesTheTableAndRemovalGivesTheFolderBack()
{
    QFETCH(Edition, edition);
    QFETCH(QString, folder);
    QFETCH(QStringList, gameFiles);
    QFETCH(Naming, naming);
    const bool upperCase = naming == Naming::UpperCase;
    QStringList namesOnDisk = gameFiles;
    for (QString &name : namesOnDisk)
        name = upperCase ? name.toUpper() : name;
    InstallScratch scratch(namesOnDisk, folder);
    const QString directory =
        naming == Naming::WineDrive ? scratch.driveCDirectory() : scratch.gameDirectory();
    const auto compare = [&](const QStringList &actual, const QStringList &expected) {
        QCOMPARE(upperCase ? folded(actual) : actual, upperCase ? folded(expected) : expected);
    };
    const QStringList before = scratch.gameSnapshot();
    ModInstaller installer(scratch.fileSystem());
    const QString statusItem =
        edition == Edition::Aftermath ? "Status=Aftermath" : "Status=Counterstrike";

    VERIFY_SUCCESS(installer.install(edition, directory));
    compare(scratch.gameSnapshot(), installedGameFolder(edition, gameFiles));
    QCOMPARE(scratch.status(), statusBytes(statusItem, directory));

    VERIFY_SUCCESS(installer.uninstall(edition, directory));
    // Back byte for byte, names spelled as they were included.
    QCOMPARE(scratch.gameSnapshot(), before);
    QCOMPARE(scratch.status(), statusBytes("Status=Uninstalled", directory));
    QCOMPARE(scratch.scratch().snapshot(InstallScratch::PackageFolder).size(), 7);
}

void ModInstallerTest::badInputIsRefusedWithNothingChanged_data()
{
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<Edition>("edition");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<int>("error");

    const auto install = [](const char *name, const QString &directory, const QStringList &changes,
                            int error, Edition edition = Edition::Aftermath,
                            const QByteArray &status = {}) {
        QTest::newRow(name) << Direction::Install << edition << directory << changes << status
                            << error;
    };
    const QString game = "%1/game\\";
    install("missing folder", "%1/missing\\", {}, 76);
    install("a file, not a folder", "%1/game/RA95.exe\\", {}, 76);
    install("empty text", "", {}, 53);
    install("package folder", "%1/package", {}, 5);
    install("Aftermath without Expand2.mix", game, {"-game/Expand2.mix"}, 53);
    install("no Expand.mix", game, {"-game/Expand.mix"}, 53, Edition::Counterstrike);
    install("Expand.mix a folder", game, {"-game/Expand.mix", "+game/Expand.mix/"}, 75);
    install("backup folder there", game, {"+game/BEXOMv2/"}, 58);
    install("backup name taken by a file", game, {"+game/BEXOMv2"}, 58, Edition::Counterstrike);
    for (const QString &file : InstallScratch::packageFiles())
        install(qPrintable("package without " + file), game, {"-package/" + file}, 53);
    install("status file missing", game, {"-package/Status.ini"}, 53);
    install("status file empty", game, {}, 62, Edition::Aftermath, "");
    install("very long path", "%1/" + QString(300, 'x') + "\\", {}, 75);
    install("blanks only", "     ", {}, 76);
    install("control characters", "C:\\WEST\tWOOD\001\\RED\033ALERT\\", {}, 76);
    install("Expand.mix a relative link", game,
            {"-game/Expand.mix", "+game/Expand.real", "@game/Expand.mix>Expand.real"}, 75,
            Edition::Counterstrike);
    install("Expand2.mix a relative link", game,
            {"-game/Expand2.mix", "+game/Expand2.real", "@game/Expand2.mix>Expand2.real"}, 75);
    install("Expand.mix in two letter cases", game, {"+game/EXPAND.MIX"}, 75);
    install("package file in two letter cases", game, {"+package/RULES.INI"}, 75);

    const auto removal = [](const char *name, Edition installed, const QStringList &changes,
                            const QByteArray &status, int error) {
        QTest::newRow(name) << Direction::Removal << installed << QString() << changes << status
                            << error;
    };
    removal("removal, status file missing", Edition::Aftermath, {"-package/Status.ini"}, {}, 53);
    removal("removal, status file empty", Edition::Aftermath, {}, "", 62);
    removal("removal, status file of one line", Edition::Aftermath, {}, "Status=Aftermath\r\n", 76);
    removal("removal, binary junk", Edition::Aftermath, {},
            QByteArrayLiteral("\x00\xff\xfe\n\x01\x02\x03\x04\x05\x06\x07\xff\n"), 76);
    removal("removal, game folder gone", Edition::Aftermath, {},
            "Status=Aftermath\r\nPath=%1/gone\\\r\n", 76);
    removal("removal, backup without Expand2.mix", Edition::Aftermath,
            {"-game/BEXOMv2/Expand2.mix"}, {}, 53);
    removal("removal, backup without Expand.mix", Edition::Counterstrike,
            {"-game/BEXOMv2/Expand.mix"}, {}, 53);
}

void ModInstallerTest::badInputIsRefusedWithNothingChanged()
{
    QFETCH(Direction, direction);
    QFETCH(Edition, edition);
    QFETCH(QString, directory);
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, status);
    QFETCH(int, error);
    InstallScratch scratch;
    const QString root = scratch.scratch().path();
    const Procedure procedure{{}, edition, direction};
    VERIFY_SUCCESS(procedure.prepare(scratch));
    for (const QString &change : changes)
        applyChange(scratch.scratch(), change);
    if (!status.isNull())
        scratch.writeStatus(status.replace("%1", root.toUtf8()));
    const QStringList before = scratch.snapshot();

    const auto outcome = procedure.request(scratch.fileSystem(), directory.replace("%1", root));

    QVERIFY(outcome.isError());
    QCOMPARE(outcome.error().number(), error);
    QVERIFY(!outcome.error().path().isEmpty());
    QVERIFY(!outcome.error().leftChanges());
    QCOMPARE(scratch.snapshot(), before);
}

void ModInstallerTest::readOnlyGameFolderIsRefusedWithNothingChanged()
{
    if (geteuid() == 0)
        QSKIP("Running as root, which may write into a read-only folder.");
    InstallScratch scratch;
    const QStringList before = scratch.snapshot();
    QFile::setPermissions(scratch.gameFolderPath(), QFile::ReadOwner | QFile::ExeOwner);

    const auto outcome =
        ModInstaller(scratch.fileSystem()).install(Edition::Aftermath, scratch.gameDirectory());

    QFile::setPermissions(scratch.gameFolderPath(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(outcome.isError());
    QCOMPARE(outcome.error().number(), 70);
    QCOMPARE(scratch.snapshot(), before);
}

void ModInstallerTest::linksInTheGameFolderComeBackAsTheyWere_data()
{
    QTest::addColumn<Edition>("edition");
    QTest::addColumn<QString>("link");
    // Outside the game folder; a file of the game moves there, the link names it by full path.
    QTest::addColumn<QString>("target");
    QTest::newRow("target gone, where a copy goes") << Edition::Aftermath << "Title.pcx"
                                                    << "elsewhere/Title.pcx";
    QTest::newRow("Expand.mix, Aftermath") << Edition::Aftermath << "Expand.mix"
                                           << "store/Expand.mix";
    QTest::newRow("Expand2.mix, Aftermath") << Edition::Aftermath << "Expand2.mix"
                                            << "store/Expand2.mix";
    QTest::newRow("Expand.mix, Counterstrike") << Edition::Counterstrike << "Expand.mix"
                                               << "store/Expand.mix";
}

void ModInstallerTest::linksInTheGameFolderComeBackAsTheyWere()
{
    QFETCH(Edition, edition);
    QFETCH(QString, link);
    QFETCH(QString, target);
    InstallScratch scratch;
    const ScratchFolder &files = scratch.scratch();
    const QString linkPath = files.at("game/" + link);
    files.createFolder("store");
    QFile::rename(linkPath, files.at(target));
    QVERIFY(QFile::link(files.at(target), linkPath));
    const QStringList before = scratch.snapshot();
    const auto linkIsBack = [&] {
        return QFileInfo(linkPath).isSymLink() &&
               std::filesystem::read_symlink(linkPath.toStdString()) ==
                   files.at(target).toStdString();
    };

    ModInstaller installer(scratch.fileSystem());
    VERIFY_SUCCESS(installer.install(edition, scratch.gameDirectory()));
    QVERIFY(QFileInfo(files.at("game/BEXOMv2/" + link)).isSymLink());
    QVERIFY(!QFileInfo::exists(files.at("elsewhere")));
    VERIFY_SUCCESS(installer.uninstall(edition, scratch.gameDirectory()));

    QVERIFY(linkIsBack());
    QVERIFY(!QFileInfo::exists(files.at("elsewhere")));
    QStringList after = scratch.snapshot();
    after.replaceInStrings(QRegularExpression("^package/Status.ini .*"),
                           before.filter("package/Status.ini").value(0));
    QCOMPARE(after, before);
}

void ModInstallerTest::statusFileGivesEachItemAsItsWholeLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("statusItem");
    QTest::addColumn<QString>("gameDirectory");
    QTest::addColumn<int>("error");

    const auto row = [](const char *name, const QByteArray &bytes, const QString &statusItem,
                        const QString &gameDirectory, int error = 0) {
        QTest::newRow(name) << bytes << statusItem << gameDirectory << error;
    };
    const QString uninstalled = "Status=Uninstalled";
    row("CR LF", "Status=Uninstalled\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n", uninstalled,
        "C:\\WESTWOOD\\REDALERT\\");
    row("LF", "Status=Aftermath\nPath=D:\\RA\\\n", "Status=Aftermath", "D:\\RA\\");
    row("no final line end", "Status=Counterstrike\r\nPath=C:\\RA", "Status=Counterstrike",
        "C:\\RA");
    row("comma, quotes", "Status=Uninstalled\r\nPath=C:\\A, \"B\"\r\n", uninstalled,
        "C:\\A, \"B\"");
    row("byte-order mark", "\xEF\xBB\xBFStatus=Uninstalled\r\nPath=C:\\\r\n", uninstalled, "C:\\");
    row("UTF-8", "Status=Uninstalled\r\nPath=C:\\\xC3\x89t\xC3\xA9\r\n", uninstalled, "C:\\Été");
    row("Latin-1", "Status=Uninstalled\r\nPath=C:\\\xC4rger\r\n", uninstalled, "C:\\Ärger");
    row("empty status item", "\r\nPath=C:\\\r\n", "", "C:\\");
    row("one line", "Status=Uninstalled\r\n", uninstalled, "");
    row("short path item", "Status=Uninstalled\r\nPath\r\n", uninstalled, "");
    row("path prefix not compared", "Status=Uninstalled\r\nPATH:C:\\\r\n", uninstalled, "C:\\");
    row("empty file", "", {}, {}, 62);
    row("byte-order mark only", "\xEF\xBB\xBF", {}, {}, 62);
}

void ModInstallerTest::statusFileGivesEachItemAsItsWholeLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, statusItem);
    QFETCH(QString, gameDirectory);
    QFETCH(int, error);

    const ErrorOr<StatusRecord> record = StatusFile::parse(bytes);

    QCOMPARE(record.isError() ? record.error().number() : 0, error);
    if (record.isError())
        return;
    QCOMPARE(record.value().statusItem, statusItem);
    QCOMPARE(record.value().gameDirectory(), gameDirectory);
}

QTEST_GUILESS_MAIN(ModInstallerTest)
#include "tst_ModInstaller.moc"
