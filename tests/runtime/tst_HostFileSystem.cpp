#include "runtime/HostFileSystem.h"
#include "ScratchFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(RuntimeErrorCode)

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
    // Drive C of a Wine prefix of our own is the scratch folder; no other drive is mapped.
    m_dir->createFolder("prefix/dosdevices");
    QVERIFY(QFile::link(m_dir->path(), m_dir->at("prefix/dosdevices/c:")));
    qputenv("WINEPREFIX", m_dir->at("prefix").toUtf8());
}

void HostFileSystemTest::namesMatchWhateverTheirLetterCaseAndDrive_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("exact name") << "GAME/EXPAND.MIX" << QByteArray("expand");
    QTest::newRow("mixed case") << "Game\\Expand.mix" << QByteArray("expand");
    QTest::newRow("lower case, forward slashes") << "game/expand.mix" << QByteArray("expand");
    QTest::newRow("trailing component differs") << "GAME\\rules.ini" << QByteArray("player rules");
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
    m_dir->createFile(QStringLiteral("rules.ini"), "mod rules");
    QVERIFY(!m_fileSystem->copyFile("Rules.ini", "Game\\RULES.ini").isError());
    QVERIFY(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    QCOMPARE(QDir(m_dir->at("GAME")).entryList(QDir::Files), QStringList{"Rules.INI"});
    QCOMPARE(m_dir->contents("GAME/Rules.INI"), QByteArray("mod rules"));
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
    QTest::addColumn<std::function<ErrorOr<void>(FileSystem &)>>("operation");
    QTest::addColumn<RuntimeErrorCode>("code");
    QTest::addColumn<QString>("path");
    using Operation = std::function<ErrorOr<void>(FileSystem &)>;
    using enum RuntimeErrorCode;
    QTest::newRow("delete a missing file")
        << Operation([](FileSystem &fs) { return fs.deleteFile("GAME\\Title.pcx"); })
        << FileNotFound << "GAME\\Title.pcx";
    QTest::newRow("delete a folder")
        << Operation([](FileSystem &fs) { return fs.deleteFile("GAME\\BEXOMv2"); })
        << PathFileAccessError << "GAME\\BEXOMv2";
    QTest::newRow("rename onto a taken name") << Operation([](FileSystem &fs) {
        return fs.rename("GAME\\Expand.mix", "GAME\\RULES.INI", Overwrite::No);
    }) << FileAlreadyExists << "GAME\\RULES.INI";
    QTest::newRow("rename into a missing folder") << Operation([](FileSystem &fs) {
        return fs.rename("GAME\\Expand.mix", "GAME\\Nowhere\\Expand.mix", Overwrite::No);
    }) << PathNotFound << "GAME\\Nowhere\\Expand.mix";
    QTest::newRow("copy a missing file")
        << Operation([](FileSystem &fs) { return fs.copyFile("SC-Vorda.mix", "GAME\\x"); })
        << FileNotFound << "SC-Vorda.mix";
    QTest::newRow("make an existing folder")
        << Operation([](FileSystem &fs) { return fs.makeDirectory("GAME\\BEXOMv2"); })
        << FileAlreadyExists << "GAME\\BEXOMv2";
    QTest::newRow("make a folder in a missing one")
        << Operation([](FileSystem &fs) { return fs.makeDirectory("NONE\\BEXOMv2"); })
        << PathNotFound << "NONE\\BEXOMv2";
    QTest::newRow("remove a folder that is not empty")
        << Operation([](FileSystem &fs) { return fs.removeDirectory("GAME"); })
        << PathFileAccessError << "GAME";
    QTest::newRow("remove a missing folder")
        << Operation([](FileSystem &fs) { return fs.removeDirectory("GAME\\Old"); }) << PathNotFound
        << "GAME\\Old";
    QTest::newRow("read a folder") << Operation([](FileSystem &fs) -> ErrorOr<void> {
        TRY(fs.readFile("GAME"));
        return {};
    }) << PathFileAccessError << "GAME";
    QTest::newRow("digest a missing file") << Operation([](FileSystem &fs) -> ErrorOr<void> {
        TRY(fs.digest("GAME\\Title.pcx"));
        return {};
    }) << FileNotFound << "GAME\\Title.pcx";
    QTest::newRow("digest a folder") << Operation([](FileSystem &fs) -> ErrorOr<void> {
        TRY(fs.digest("GAME\\BEXOMv2"));
        return {};
    }) << PathFileAccessError << "GAME\\BEXOMv2";
    QTest::newRow("create a file that is there")
        << Operation([](FileSystem &fs) { return fs.createFileDurably("GAME\\RULES.ini", "new"); })
        << FileAlreadyExists << "GAME\\RULES.ini";
}

void HostFileSystemTest::failuresCarryTheirNumberAndPath()
{
    QFETCH(std::function<ErrorOr<void>(FileSystem &)>, operation);
    QFETCH(RuntimeErrorCode, code);
    QFETCH(QString, path);
    const auto result = operation(*m_fileSystem);
    QVERIFY(result.isError());
    QCOMPARE(result.error().code(), code);
    QCOMPARE(result.error().path(), path);
    QCOMPARE(m_dir->contents("GAME/EXPAND.MIX"), QByteArray("expand"));
    QCOMPARE(m_dir->contents("GAME/Rules.INI"), QByteArray("player rules"));
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

QTEST_GUILESS_MAIN(HostFileSystemTest)
#include "tst_HostFileSystem.moc"
