#include "runtime/HostFileSystem.h"
#include "ScratchFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <fstream>
#include <sys/stat.h>

Q_DECLARE_METATYPE(RuntimeErrorCode)
Q_DECLARE_METATYPE(LinkKind)
Q_DECLARE_METATYPE(EntryKind)

class HostFileSystemTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void namesMatchWhateverTheirLetterCaseAndDrive_data();
    void namesMatchWhateverTheirLetterCaseAndDrive();
    void replacedFilesKeepTheirExistingName();
    void unmappedDriveIsReportedAsSuch();
    void failuresCarryTheirNumberAndPath_data();
    void failuresCarryTheirNumberAndPath();
    void copyIsExactAndNeverOntoItself();
    void linksAreToldApartAndCountAsPresent_data();
    void linksAreToldApartAndCountAsPresent();
    void packageFolderNamedInLatin1Works();

private:
    std::unique_ptr<ScratchFolder> m_dir;
    std::unique_ptr<HostFileSystem> m_fileSystem;
};

void HostFileSystemTest::init()
{
    m_dir = std::make_unique<ScratchFolder>();
    m_fileSystem = std::make_unique<HostFileSystem>(m_dir->path().toStdString());
    m_dir->createFolder("GAME/BEXOMV2");
    m_dir->createFile("GAME/EXPAND.MIX", "expand");
    m_dir->createFile("GAME/Rules.INI", "player rules");
    m_dir->createFile(QStringLiteral("LOCAL/Édition spéciale/Über.ini"), "accents");
    m_dir->createFile(QStringLiteral("LOCAL/Straße.ini"), "sharp s");
    // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
    m_dir->createFolder("prefix/dosdevices");
    QVERIFY(QFile::link(m_dir->path(), m_dir->at("prefix/dosdevices/c:")));
    qputenv("WINEPREFIX", m_dir->at("prefix").toUtf8());
    // Entries that are no plain files, where the installer expects one.
    m_dir->createFolder("ODD");
    QVERIFY(::mkfifo(QFile::encodeName(m_dir->at("ODD/pipe")).constData(), 0600) == 0);
    QVERIFY(QFile::link(m_dir->at("outside/x"), m_dir->at("ODD/Title.pcx")));
    QVERIFY(QFile::link("loop", m_dir->at("ODD/loop")));
    QVERIFY(QFile::link("/dev/null", m_dir->at("ODD/null")));
    QVERIFY(QFile::link("pipe", m_dir->at("ODD/relative")));
    m_dir->createFile("ODD/EXPAND.MIX", "upper");
    m_dir->createFile("ODD/expand.mix", "lower");
}

void HostFileSystemTest::namesMatchWhateverTheirLetterCaseAndDrive_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("exact name") << "GAME/EXPAND.MIX" << QByteArray("expand");
    QTest::newRow("mixed case") << "Game\\Expand.mix" << QByteArray("expand");
    QTest::newRow("lower case, forward slashes") << "game/expand.mix" << QByteArray("expand");
    QTest::newRow("trailing component differs") << "GAME\\rules.ini" << QByteArray("player rules");
    QTest::newRow("accented letters")
        << QStringLiteral("local/ÉDITION SPÉCIALE/über.INI") << QByteArray("accents");
    QTest::newRow("sharp s") << QStringLiteral("LOCAL/STRAßE.INI") << QByteArray("sharp s");
    QTest::newRow("upper-case drive") << "C:\\GAME\\EXPAND.MIX" << QByteArray("expand");
    QTest::newRow("lower-case drive, mixed case") << "c:\\game\\Expand.mix" << QByteArray("expand");
    QTest::newRow("drive, forward slashes") << "C:/Game/expand.MIX" << QByteArray("expand");
}

void HostFileSystemTest::namesMatchWhateverTheirLetterCaseAndDrive()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, expected);
    const auto bytes = m_fileSystem->readFile(path);
    QVERIFY2(!bytes.isError(), qPrintable(bytes.isError() ? bytes.error().report() : QString()));
    QCOMPARE(bytes.value(), expected);
}

void HostFileSystemTest::replacedFilesKeepTheirExistingName()
{
    QVERIFY(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    QCOMPARE(QDir(m_dir->at("GAME")).entryList(QDir::Files), QStringList{"Rules.INI"});
    QCOMPARE(QDir(m_dir->at("GAME/BEXOMV2")).entryList(QDir::Files), QStringList{"Expand.mix"});
    QCOMPARE(m_dir->contents("STATUS.INI"), QByteArray("y"));
}

void HostFileSystemTest::unmappedDriveIsReportedAsSuch()
{
    const auto kind = m_fileSystem->entryKind("D:\\WESTWOOD\\REDALERT\\");
    QVERIFY(kind.isError());
    QCOMPARE(kind.error().code(), RuntimeErrorCode::PathNotFound);
    QCOMPARE(kind.error().path(), QStringLiteral("D:\\WESTWOOD\\REDALERT\\"));
    QVERIFY(kind.error().cause().contains("Drive D: is not mapped"));
}

void HostFileSystemTest::failuresCarryTheirNumberAndPath_data()
{
    using Operation = std::function<ErrorOr<void>(FileSystem &)>;
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<RuntimeErrorCode>("code");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("cause");
    const auto row = [](const char *name, Operation operation, RuntimeErrorCode code,
                        const QString &path, const QString &cause = {}) {
        QTest::newRow(name) << operation << code << path << cause;
    };
    const auto read = [](const QString &path) {
        return Operation([=](FileSystem &fs) -> ErrorOr<void> {
            TRY(fs.readFile(path));
            return {};
        });
    };
    using enum RuntimeErrorCode;
    row(
        "delete a missing file", [](FileSystem &fs) { return fs.deleteFile("GAME\\Title.pcx"); },
        FileNotFound, "GAME\\Title.pcx");
    row(
        "delete a folder", [](FileSystem &fs) { return fs.deleteFile("GAME\\BEXOMv2"); },
        PathFileAccessError, "GAME\\BEXOMv2", "This is a folder, not a file.");
    row(
        "rename onto a taken name",
        [](FileSystem &fs) {
            return fs.rename("GAME\\Expand.mix", "GAME\\RULES.INI", Overwrite::No);
        },
        FileAlreadyExists, "GAME\\RULES.INI");
    row(
        "rename into a missing folder",
        [](FileSystem &fs) {
            return fs.rename("GAME\\Expand.mix", "GAME\\Nowhere\\Expand.mix", Overwrite::No);
        },
        PathNotFound, "GAME\\Nowhere\\Expand.mix");
    row(
        "copy a missing file",
        [](FileSystem &fs) { return fs.copyFile("SC-Vorda.mix", "GAME\\x"); }, FileNotFound,
        "SC-Vorda.mix");
    row(
        "copy onto a taken name",
        [](FileSystem &fs) { return fs.copyFile("GAME\\Expand.mix", "game\\rules.ini"); },
        FileAlreadyExists, "game\\rules.ini");
    row(
        "copy onto a link whose target is gone",
        [](FileSystem &fs) { return fs.copyFile("GAME\\Expand.mix", "ODD\\Title.pcx"); },
        FileAlreadyExists, "ODD\\Title.pcx");
    row(
        "copy from a named pipe", [](FileSystem &fs) { return fs.copyFile("ODD/pipe", "GAME/x"); },
        PathFileAccessError, "ODD/pipe", "This is a named pipe (FIFO), not a plain file.");
    row("sharp s is no double s", read("LOCAL\\STRASSE.INI"), FileNotFound, "LOCAL\\STRASSE.INI");
    row(
        "make an existing folder", [](FileSystem &fs) { return fs.makeDirectory("GAME\\BEXOMv2"); },
        FileAlreadyExists, "GAME\\BEXOMv2");
    row(
        "make a folder in a missing one",
        [](FileSystem &fs) { return fs.makeDirectory("NONE\\BEXOMv2"); }, PathNotFound,
        "NONE\\BEXOMv2");
    row(
        "remove a folder that is not empty",
        [](FileSystem &fs) { return fs.removeDirectory("GAME"); }, PathFileAccessError, "GAME");
    row(
        "remove a missing folder", [](FileSystem &fs) { return fs.removeDirectory("GAME\\Old"); },
        PathNotFound, "GAME\\Old");
    row("read a folder", read("GAME"), PathFileAccessError, "GAME",
        "This is a folder, not a file.");
    row("read a named pipe", read("ODD\\pipe"), PathFileAccessError, "ODD\\pipe",
        "This is a named pipe (FIFO), not a plain file.");
    row("read a device", read("ODD\\null"), PathFileAccessError, "ODD\\null",
        "This is a device, not a plain file.");
    row("read one of two names that differ only in letter case", read("odd\\Expand.mix"),
        PathFileAccessError, "odd\\Expand.mix",
        "The folder holds both \"EXPAND.MIX\" and \"expand.mix\", which differ only in letter "
        "case; the installer cannot tell which one is meant. Rename or remove one of them.");
    row("read through a folder that cannot be listed", read("ODD\\loop\\Status.ini"),
        PathFileAccessError, "ODD\\loop\\Status.ini");
    row(
        "append to a named pipe", [](FileSystem &fs) { return fs.appendDurably("ODD\\pipe", "x"); },
        PathFileAccessError, "ODD\\pipe", "This is a named pipe (FIFO), not a plain file.");
    row(
        "append through a link",
        [](FileSystem &fs) { return fs.appendDurably("ODD\\Title.pcx", "x"); }, PathFileAccessError,
        "ODD\\Title.pcx", "This is a symbolic link, not a plain file.");
    row(
        "append to a folder", [](FileSystem &fs) { return fs.appendDurably("GAME", "x"); },
        PathFileAccessError, "GAME", "This is a folder, not a file.");
    row(
        "compare with a missing entry",
        [](FileSystem &fs) -> ErrorOr<void> {
            TRY(fs.isSameEntry("GAME\\Old", "GAME\\New"));
            return {};
        },
        FileNotFound, "GAME\\Old");
    row(
        "flush a missing folder", [](FileSystem &fs) { return fs.syncFolder("GAME\\Old"); },
        FileNotFound, "GAME\\Old");
    row(
        "digest a missing file",
        [](FileSystem &fs) -> ErrorOr<void> {
            TRY(fs.digest("GAME\\Title.pcx"));
            return {};
        },
        FileNotFound, "GAME\\Title.pcx");
    row(
        "digest a folder",
        [](FileSystem &fs) -> ErrorOr<void> {
            TRY(fs.digest("GAME\\BEXOMv2"));
            return {};
        },
        PathFileAccessError, "GAME\\BEXOMv2", "This is a folder, not a file.");
    row(
        "create a file that is there",
        [](FileSystem &fs) { return fs.createFileDurably("GAME\\RULES.ini", "new"); },
        FileAlreadyExists, "GAME\\RULES.ini");
}

void HostFileSystemTest::failuresCarryTheirNumberAndPath()
{
    QFETCH(std::function<ErrorOr<void>(FileSystem &)>, operation);
    QFETCH(RuntimeErrorCode, code);
    QFETCH(QString, path);
    QFETCH(QString, cause);
    const auto result = operation(*m_fileSystem);
    QVERIFY(result.isError());
    QCOMPARE(result.error().code(), code);
    QCOMPARE(result.error().path(), path);
    if (!cause.isEmpty())
        QCOMPARE(result.error().cause(), cause);
    QCOMPARE(m_dir->contents("GAME/EXPAND.MIX"), QByteArray("expand"));
    QCOMPARE(m_dir->contents("GAME/Rules.INI"), QByteArray("player rules"));
    QVERIFY(!QFileInfo::exists(m_dir->at("outside")));
    QVERIFY(!QFileInfo::exists(m_dir->at("GAME/x")));
}

void HostFileSystemTest::copyIsExactAndNeverOntoItself()
{
    QByteArray large(5 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7919 % 251);
    m_dir->createFile("Expand2.mix", large);
    QVERIFY(!m_fileSystem->copyFile("Expand2.mix", "GAME\\Expand2.mix").isError());
    QCOMPARE(m_dir->contents("GAME/Expand2.mix"), large);
    const auto digest = m_fileSystem->digest("game\\expand2.MIX");
    QVERIFY(!digest.isError());
    QCOMPARE(digest.value(),
             FileDigest(large.size(), QCryptographicHash::hash(large, QCryptographicHash::Sha256)));

    const auto ontoItself = m_fileSystem->copyFile("GAME\\Expand.mix", "game\\EXPAND.MIX");
    QVERIFY(ontoItself.isError());
    QCOMPARE(m_dir->contents("GAME/EXPAND.MIX"), QByteArray("expand"));
}

void HostFileSystemTest::linksAreToldApartAndCountAsPresent_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<LinkKind>("link");
    QTest::addColumn<EntryKind>("entry");
    QTest::newRow("plain file") << "game\\expand.mix" << LinkKind::NotALink << EntryKind::File;
    QTest::newRow("nothing") << "GAME\\Title.pcx" << LinkKind::NotALink << EntryKind::Missing;
    QTest::newRow("full path, target gone")
        << "ODD\\title.PCX" << LinkKind::AbsoluteLink << EntryKind::Other;
    QTest::newRow("full path to a device")
        << "ODD\\null" << LinkKind::AbsoluteLink << EntryKind::Other;
    QTest::newRow("relative") << "ODD\\relative" << LinkKind::RelativeLink << EntryKind::Other;
    QTest::newRow("drive of the Wine prefix")
        << "prefix/dosdevices/c:" << LinkKind::AbsoluteLink << EntryKind::Directory;
}

void HostFileSystemTest::linksAreToldApartAndCountAsPresent()
{
    QFETCH(QString, path);
    QFETCH(LinkKind, link);
    QFETCH(EntryKind, entry);
    const auto linkKind = m_fileSystem->linkKind(path);
    const auto entryKind = m_fileSystem->entryKind(path);
    QVERIFY(!linkKind.isError() && !entryKind.isError());
    QCOMPARE(linkKind.value(), link);
    QCOMPARE(entryKind.value(), entry);
}

// A package folder whose name is Latin-1, as an old archive tool may have unpacked it.
void HostFileSystemTest::packageFolderNamedInLatin1Works()
{
    const std::filesystem::path package =
        std::filesystem::path(QFile::encodeName(m_dir->path()).toStdString()) / "f\xFCr";
    std::filesystem::create_directory(package);
    // The scratch folder cannot remove what it cannot name.
    const auto removal = qScopeGuard([&] { std::filesystem::remove_all(package); });
    std::ofstream(package / "Status.ini") << "Status=Uninstalled";
    std::ofstream(package / "\xE9t\xE9.txt") << "not UTF-8";
    HostFileSystem fileSystem(package);

    const auto status = fileSystem.readFile("STATUS.INI");
    QVERIFY(!status.isError());
    QCOMPARE(status.value(), QByteArray("Status=Uninstalled"));
    QCOMPARE(fileSystem.storedName("status.ini").value(), QStringLiteral("Status.ini"));
    QVERIFY(!fileSystem.copyFile("Status.ini", "Copy.ini").isError());
    QVERIFY(!fileSystem.writeFileAtomically("status.ini", "new").isError());
    QVERIFY(!fileSystem.appendDurably("Journal", "line").isError());
    QVERIFY(!fileSystem.syncFolder(".").isError());
    QCOMPARE(std::filesystem::file_size(package / "Copy.ini"), 18u);
    QCOMPARE(std::filesystem::file_size(package / "Status.ini"), 3u);
    QCOMPARE(std::filesystem::file_size(package / "Journal"), 4u);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(package), {}), 4);
}

QTEST_GUILESS_MAIN(HostFileSystemTest)
#include "tst_HostFileSystem.moc"
