#include "runtime/HostFileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace fs = std::filesystem;

Q_DECLARE_METATYPE(RuntimeErrorCode)

class HostFileSystemTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void namesMatchWhateverTheirLetterCase_data();
    void namesMatchWhateverTheirLetterCase();
    void replacedFilesKeepTheirExistingName();
    void driveLettersResolveThroughTheWinePrefix_data();
    void driveLettersResolveThroughTheWinePrefix();
    void unmappedDriveIsReportedAsSuch();
    void failuresCarryTheirNumberAndPath_data();
    void failuresCarryTheirNumberAndPath();
    void copyIsExactAndNeverOntoItself();
    void atomicWriteLeavesOnlyTheTarget();
    void readOnlyFolderRefusesChanges();

private:
    void writeFile(const QString &relativePath, const QByteArray &bytes);
    QByteArray contents(const QString &relativePath) const;
    QString at(const QString &relativePath) const { return m_dir->filePath(relativePath); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HostFileSystem> m_fileSystem;
};

void HostFileSystemTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_fileSystem = std::make_unique<HostFileSystem>(m_dir->path().toStdString());
    QDir(m_dir->path()).mkpath(QStringLiteral("GAME/BEXOMV2"));
    writeFile(QStringLiteral("GAME/EXPAND.MIX"), "expand");
    writeFile(QStringLiteral("GAME/Rules.INI"), "player rules");
    qputenv("WINEPREFIX", at(QStringLiteral("prefix")).toUtf8());
}

void HostFileSystemTest::writeFile(const QString &relativePath, const QByteArray &bytes)
{
    QFile file(at(relativePath));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray HostFileSystemTest::contents(const QString &relativePath) const
{
    QFile file(at(relativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void HostFileSystemTest::namesMatchWhateverTheirLetterCase_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("exact name") << "GAME/EXPAND.MIX" << QByteArray("expand");
    QTest::newRow("mixed case") << "Game\\Expand.mix" << QByteArray("expand");
    QTest::newRow("lower case, forward slashes") << "game/expand.mix" << QByteArray("expand");
    QTest::newRow("trailing component differs") << "GAME\\rules.ini" << QByteArray("player rules");
}

void HostFileSystemTest::namesMatchWhateverTheirLetterCase()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, expected);
    const auto bytes = m_fileSystem->readFile(path);
    QVERIFY2(!bytes.isError(), qPrintable(bytes.isError() ? bytes.error().report() : QString()));
    QCOMPARE(bytes.value(), expected);
}

void HostFileSystemTest::replacedFilesKeepTheirExistingName()
{
    writeFile(QStringLiteral("rules.ini"), "mod rules");
    QVERIFY(!m_fileSystem->copyFile("Rules.ini", "Game\\RULES.ini").isError());
    QVERIFY(!m_fileSystem->rename("game\\expand.mix", "GAME\\BEXOMv2\\Expand.mix", Overwrite::No)
                 .isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("STATUS.INI", "x").isError());
    QVERIFY(!m_fileSystem->writeFileAtomically("status.ini", "y").isError());

    QCOMPARE(QDir(at("GAME")).entryList(QDir::Files), QStringList{"Rules.INI"});
    QCOMPARE(contents("GAME/Rules.INI"), QByteArray("mod rules"));
    QCOMPARE(QDir(at("GAME/BEXOMV2")).entryList(QDir::Files), QStringList{"Expand.mix"});
    QCOMPARE(contents("STATUS.INI"), QByteArray("y"));
}

void HostFileSystemTest::driveLettersResolveThroughTheWinePrefix_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("upper-case drive") << "C:\\GAME\\EXPAND.MIX";
    QTest::newRow("lower-case drive, mixed case") << "c:\\game\\Expand.mix";
    QTest::newRow("forward slashes") << "C:/Game/expand.MIX";
}

void HostFileSystemTest::driveLettersResolveThroughTheWinePrefix()
{
    QFETCH(QString, path);
    QDir().mkpath(at("prefix/dosdevices"));
    QVERIFY(QFile::link(m_dir->path(), at("prefix/dosdevices/c:")));
    const auto bytes = m_fileSystem->readFile(path);
    QVERIFY2(!bytes.isError(), qPrintable(bytes.isError() ? bytes.error().report() : QString()));
    QCOMPARE(bytes.value(), QByteArray("expand"));
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
    QTest::newRow("delete a missing file")
        << Operation([](FileSystem &fs) { return fs.deleteFile("GAME\\Title.pcx"); })
        << RuntimeErrorCode::FileNotFound << "GAME\\Title.pcx";
    QTest::newRow("delete a folder")
        << Operation([](FileSystem &fs) { return fs.deleteFile("GAME\\BEXOMv2"); })
        << RuntimeErrorCode::PathFileAccessError << "GAME\\BEXOMv2";
    QTest::newRow("rename onto a taken name") << Operation([](FileSystem &fs) {
        return fs.rename("GAME\\Expand.mix", "GAME\\RULES.INI", Overwrite::No);
    }) << RuntimeErrorCode::FileAlreadyExists << "GAME\\RULES.INI";
    QTest::newRow("rename into a missing folder") << Operation([](FileSystem &fs) {
        return fs.rename("GAME\\Expand.mix", "GAME\\Nowhere\\Expand.mix", Overwrite::No);
    }) << RuntimeErrorCode::PathNotFound << "GAME\\Nowhere\\Expand.mix";
    QTest::newRow("copy a missing file")
        << Operation([](FileSystem &fs) { return fs.copyFile("SC-Vorda.mix", "GAME\\x"); })
        << RuntimeErrorCode::FileNotFound << "SC-Vorda.mix";
    QTest::newRow("make an existing folder")
        << Operation([](FileSystem &fs) { return fs.makeDirectory("GAME\\BEXOMv2"); })
        << RuntimeErrorCode::FileAlreadyExists << "GAME\\BEXOMv2";
    QTest::newRow("make a folder in a missing one")
        << Operation([](FileSystem &fs) { return fs.makeDirectory("NONE\\BEXOMv2"); })
        << RuntimeErrorCode::PathNotFound << "NONE\\BEXOMv2";
    QTest::newRow("remove a folder that is not empty")
        << Operation([](FileSystem &fs) { return fs.removeDirectory("GAME"); })
        << RuntimeErrorCode::PathFileAccessError << "GAME";
    QTest::newRow("remove a missing folder")
        << Operation([](FileSystem &fs) { return fs.removeDirectory("GAME\\Old"); })
        << RuntimeErrorCode::PathNotFound << "GAME\\Old";
    QTest::newRow("read a folder") << Operation([](FileSystem &fs) -> ErrorOr<void> {
        TRY(fs.readFile("GAME"));
        return {};
    }) << RuntimeErrorCode::PathFileAccessError
                                   << "GAME";
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
    QCOMPARE(contents("GAME/EXPAND.MIX"), QByteArray("expand"));
    QCOMPARE(contents("GAME/Rules.INI"), QByteArray("player rules"));
}

void HostFileSystemTest::copyIsExactAndNeverOntoItself()
{
    QByteArray large(5 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7919 % 251);
    writeFile("Expand2.mix", large);
    QVERIFY(!m_fileSystem->copyFile("Expand2.mix", "GAME\\Expand2.mix").isError());
    QCOMPARE(contents("GAME/Expand2.mix"), large);

    const auto ontoItself = m_fileSystem->copyFile("GAME\\Expand.mix", "game\\EXPAND.MIX");
    QVERIFY(ontoItself.isError());
    QCOMPARE(contents("GAME/EXPAND.MIX"), QByteArray("expand"));
}

void HostFileSystemTest::atomicWriteLeavesOnlyTheTarget()
{
    writeFile("Status.ini", "old");
    QVERIFY(!m_fileSystem->writeFileAtomically("Status.ini", "Status=Aftermath\r\n").isError());
    QCOMPARE(contents("Status.ini"), QByteArray("Status=Aftermath\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Status.ini"});
}

void HostFileSystemTest::readOnlyFolderRefusesChanges()
{
    if (::geteuid() == 0)
        QSKIP("Running as root, which may write into read-only folders.");
    QFile::setPermissions(at("GAME"), QFile::ReadOwner | QFile::ExeOwner);
    const auto result = m_fileSystem->copyFile("GAME\\Rules.ini", "GAME\\Copy.ini");
    QFile::setPermissions(at("GAME"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(result.isError());
    QCOMPARE(result.error().code(), RuntimeErrorCode::PermissionDenied);
}

QTEST_GUILESS_MAIN(HostFileSystemTest)
#include "tst_HostFileSystem.moc"
