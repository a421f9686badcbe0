#include "install/InstallationManifest.h"
#include "install/ModInstaller.h"
#include "install/StatusFile.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <QCryptographicHash>
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

const QString ManifestPath = "BEXOMv2/" + InstallationManifest::FileName;

// The files of the game folder as the table of the installation describes it, for a game that
// held gameFiles (and RA95.exe) before.
QMap<QString, QByteArray> installedFiles(Edition edition, const QStringList &gameFiles)
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
    return files;
}

QStringList linesOf(const QMap<QString, QByteArray> &files)
{
    QStringList lines;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        lines.append(ScratchFolder::fileLine(it.key(), it.value()));
    lines.sort();
    return lines;
}

// The files the manifest should list: what the installation kept and what it placed.
QStringList filesToList(Edition edition, const QStringList &gameFiles)
{
    QMap<QString, QByteArray> files = installedFiles(edition, gameFiles);
    QStringList placed{"Expand.mix", "Rules.ini", "Title.pcx", "SC-Vorda.mix"};
    if (edition == Edition::Aftermath)
        placed << "Expand2.mix"
               << "Aftrmath.ini"
               << "MPlayer.ini";
    files.removeIf([&](const auto &file) {
        return !file.key().startsWith("BEXOMv2/") && !placed.contains(file.key());
    });
    return linesOf(files);
}

// The manifest's entries as snapshot lines, each size checked against the file's own.
QStringList listedFiles(const InstallScratch &scratch, const QString &folder)
{
    const auto manifest = InstallationManifest::parse(
        scratch.scratch().contents(folder + '/' + ManifestPath), ManifestPath);
    if (manifest.isError())
        return {manifest.error().report()};
    QStringList lines;
    for (const ManifestEntry &entry : manifest.value().entries()) {
        const QString path =
            (entry.role == ManifestEntry::Role::Kept ? "BEXOMv2/" : "") + entry.name;
        const qint64 size = QFileInfo(scratch.scratch().at(folder + '/' + path)).size();
        lines.append(path + ' ' + entry.digest.sha256.toHex() +
                     (entry.digest.size == size ? "" : " (size differs)"));
    }
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
    else if (change.startsWith('~'))
        scratch.createFile(path, scratch.contents(path).replace(0, 1, "~"));
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
    void manifestIsBelievedOnlyWhenWhole_data();
    void manifestIsBelievedOnlyWhenWhole();
    void statusFileGivesEachItemAsItsWholeLine_data();
    void statusFileGivesEachItemAsItsWholeLine();
};

void ModInstallerTest::installationGivesTheTableAndRemovalGivesTheFolderBack_data()
{
    QTest::addColumn<Edition>("edition");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("gameFiles");
    QTest::addColumn<Naming>("naming");
    // Changes to the game folder between the installation and the removal.
    QTest::addColumn<QStringList>("meanwhile");

    const QStringList aftermath{"Expand.mix", "Expand2.mix"};
    const QStringList counterstrike{"Expand.mix"};
    const QStringList playersOwn{"Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx",
                                 "SC-Vorda.mix"};
    const auto row = [](const char *name, Edition edition, const QString &folder,
                        const QStringList &files, Naming naming = Naming::AsGiven,
                        const QStringList &meanwhile = {}) {
        QTest::newRow(name) << edition << folder << files << naming << meanwhile;
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
    row("player's files added after a Counterstrike installation", Edition::Counterstrike, "game",
        counterstrike, Naming::AsGiven, {"+game/Aftrmath.ini", "+game/MPlayer.ini"});
    row("installed by an earlier version, Aftermath", Edition::Aftermath, "game",
        aftermath + QStringList{"Rules.ini"}, Naming::AsGiven, {"-game/" + ManifestPath});
    row("installed by an earlier version, Counterstrike", Edition::Counterstrike, "game", aftermath,
        Naming::AsGiven, {"-game/" + ManifestPath});
}

void ModInstallerTest::installationGivesTheTableAndRemovalGivesTheFolderBack()
{
    QFETCH(Edition, edition);
    QFETCH(QString, folder);
    QFETCH(QStringList, gameFiles);
    QFETCH(Naming, naming);
    QFETCH(QStringList, meanwhile);
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
    QStringList before = scratch.gameSnapshot();
    ModInstaller installer(scratch.fileSystem());
    const QString statusItem =
        edition == Edition::Aftermath ? "Status=Aftermath" : "Status=Counterstrike";

    VERIFY_SUCCESS(installer.install(edition, directory));
    const QString manifestLine = ScratchFolder::fileLine(
        ManifestPath, scratch.scratch().contents(folder + '/' + ManifestPath));
    QStringList installed =
        QStringList{"BEXOMv2/", manifestLine} + linesOf(installedFiles(edition, gameFiles));
    installed.sort();
    compare(scratch.gameSnapshot(), installed);
    compare(listedFiles(scratch, folder), filesToList(edition, gameFiles));
    QCOMPARE(scratch.status(), statusBytes(statusItem, directory));

    for (const QString &change : meanwhile) {
        applyChange(scratch.scratch(), change);
        if (change.startsWith('+'))
            before.append(ScratchFolder::fileLine(change.mid(folder.size() + 2), "in the way"));
    }
    before.sort();
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
    // For the program's own texts; empty when the cause is not checked.
    QTest::addColumn<QString>("cause");

    const auto install = [](const char *name, const QString &directory, const QStringList &changes,
                            int error, Edition edition = Edition::Aftermath,
                            const QByteArray &status = {}, const QString &cause = {}) {
        QTest::newRow(name) << Direction::Install << edition << directory << changes << status
                            << error << cause;
    };
    const QString fullPath =
        "The game folder must be given as a full path, such as C:\\WESTWOOD\\REDALERT\\.";
    const QString game = "%1/game\\";
    install("missing folder", "%1/missing\\", {}, 76);
    install("a file, not a folder", "%1/game/RA95.exe\\", {}, 76);
    install("empty text", "", {}, 76);
    install("relative path", "game\\", {}, 76, Edition::Aftermath, {}, fullPath);
    install("folder above the package", "..\\", {}, 76);
    install("drive-relative path", "\\game\\", {}, 76);
    install("line break", "%1/game\nx\\", {"+game\nx/Expand.mix", "+game\nx/Expand2.mix"}, 76,
            Edition::Aftermath, {},
            "The game folder's name holds a line break or another control character, which no "
            "folder of the game has. Type the folder again, such as C:\\WESTWOOD\\REDALERT\\.");
    install("carriage return", "%1/game\r\\", {"+game\r/Expand.mix", "+game\r/Expand2.mix"}, 76);
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
                            const QByteArray &status, int error, const QString &cause = {}) {
        QTest::newRow(name) << Direction::Removal << installed << QString() << changes << status
                            << error << cause;
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
            {"-game/BEXOMv2/Expand.mix"}, {}, 53,
            "BEXOM's backup copy of the game's own Expand.mix is missing, so the game could not "
            "be given back.");
    removal("removal, backup copy of Expand.mix damaged", Edition::Aftermath,
            {"~game/BEXOMv2/Expand.mix"}, {}, 75,
            "BEXOM's backup copy of the game's own Expand.mix is damaged (it is not the file the "
            "installation kept), so the game could not be given back.");
    removal("removal, backup copy of Expand2.mix damaged", Edition::Counterstrike,
            {"~game/BEXOMv2/Expand2.mix"}, {}, 75);
    removal("removal, manifest damaged", Edition::Aftermath, {"~game/BEXOMv2/BEXOMv2.manifest"}, {},
            75);
    removal("removal, manifest a folder", Edition::Aftermath,
            {"-game/BEXOMv2/BEXOMv2.manifest", "+game/BEXOMv2/BEXOMv2.manifest/"}, {}, 75);
    // The player's own Aftrmath.ini and MPlayer.ini are what a removal for Aftermath would take.
    removal("removal, stale status file says Aftermath", Edition::Counterstrike,
            {"+game/Aftrmath.ini", "+game/MPlayer.ini"}, "Status=Aftermath\r\nPath=%1/game\\\r\n",
            5,
            "The status file says BEXOM was installed for Aftermath, but the game folder holds the "
            "Counterstrike installation.");
    removal("removal, stale status file says Counterstrike", Edition::Aftermath, {},
            "Status=Counterstrike\r\nPath=%1/game\\\r\n", 5);
    removal("removal, crafted path to the folder above", Edition::Counterstrike,
            {"+BEXOMv2/Expand.mix", "+Expand.mix", "+SC-Vorda.mix"},
            "Status=Counterstrike\r\nPath=..\\\r\n", 76, fullPath);
}

void ModInstallerTest::badInputIsRefusedWithNothingChanged()
{
    QFETCH(Direction, direction);
    QFETCH(Edition, edition);
    QFETCH(QString, directory);
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, status);
    QFETCH(int, error);
    QFETCH(QString, cause);
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
    if (!cause.isEmpty())
        QCOMPARE(outcome.error().cause(), cause);
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

void ModInstallerTest::manifestIsBelievedOnlyWhenWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");

    const QByteArray hash = QByteArray(64, 'a');
    // Lines with the checksum that makes them whole.
    const auto sealed = [](const QByteArrayList &lines) {
        const QByteArray body = lines.join("\r\n") + "\r\n";
        return body + "sha256 " +
               QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + "\r\n";
    };
    const auto listing = [&](const QByteArray &entry) {
        return sealed({"BEXOM-manifest 1", "edition Aftermath", entry});
    };
    const QByteArray whole = listing("kept EXPAND.MIX 5 " + hash);
    const auto row = [](const char *name, const QByteArray &bytes, int error) {
        QTest::newRow(name) << bytes << error;
    };
    row("whole", whole, 0);
    row("one byte changed", QByteArray(whole).replace("EXPAND.MIX 5", "EXPAND.MIX 6"), 75);
    row("checksum line missing", whole.first(whole.indexOf("sha256")), 75);
    row("cut short", whole.chopped(3), 75);
    row("LF line ends", QByteArray(whole).replace("\r\n", "\n"), 75);
    row("empty", "", 75);
    row("newer format", sealed({"BEXOM-manifest 2", "edition Aftermath"}), 75);
    row("unknown edition", sealed({"BEXOM-manifest 1", "edition Retaliation"}), 75);
    row("unknown role", listing("moved EXPAND.MIX 5 " + hash), 75);
    row("negative size", listing("kept EXPAND.MIX -5 " + hash), 75);
    row("short hash", listing("kept EXPAND.MIX 5 " + hash.chopped(1)), 75);
    row("name with a backslash", listing("kept ..\\Expand.mix 5 " + hash), 75);
    row("name with a slash", listing("placed C:/Expand.mix 5 " + hash), 75);
    row("parent folder", listing("placed .. 5 " + hash), 75);
    row("a file the installation never touches", listing("placed RA95.exe 5 " + hash), 75);
}

void ModInstallerTest::manifestIsBelievedOnlyWhenWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);

    const auto manifest = InstallationManifest::parse(bytes, "BEXOMv2.manifest");

    QCOMPARE(manifest.isError() ? manifest.error().number() : 0, error);
    if (manifest.isError())
        QCOMPARE(manifest.error().path(), "BEXOMv2.manifest");
    else
        QCOMPARE(manifest.value().encode(), bytes);
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
