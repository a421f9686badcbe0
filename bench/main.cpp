// Times both installations and both removals on scratch game folders with archives of 10 MB and
// 1 GB, beside `cp` and `sync` of the very bytes each procedure has to copy, and reports the peak
// memory; then the rate of SHA-256 with each engine this processor has, and of a file's digest.

#include "install/ModInstaller.h"
#include "runtime/HostFileSystem.h"
#include "runtime/Sha256.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr int Repetitions = 3;

const QStringList ModFiles = {"Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx",
                              "SC-Vorda.mix"};

void writeFileOfSize(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block(MiB, Qt::Uninitialized);
    for (qint64 i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 131 % 253);
    for (qint64 written = 0; written < size; written += block.size())
        file.write(block.constData(), std::min<qint64>(block.size(), size - written));
}

struct Scenario
{
    const char *name;
    qint64 gameExpandSize;
    qint64 gameExpand2Size;
    qint64 packageExpand2Size;
};

struct Layout
{
    QString package;
    QString game;
};

Layout makeLayout(const QString &root, const Scenario &scenario)
{
    const Layout layout{root + "/package", root + "/game"};
    QDir().mkpath(layout.package);
    QDir().mkpath(layout.game);
    writeFileOfSize(layout.game + "/EXPAND.MIX", scenario.gameExpandSize);
    writeFileOfSize(layout.game + "/EXPAND2.MIX", scenario.gameExpand2Size);
    writeFileOfSize(layout.package + "/Expand2.mix", scenario.packageExpand2Size);
    for (const QString &name : ModFiles)
        writeFileOfSize(layout.package + "/" + name, 64 * 1024);
    QFile status(layout.package + "/Status.ini");
    status.open(QIODevice::WriteOnly);
    status.write("Status=Uninstalled\r\nPath=\r\n");
    return layout;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each measurement starts with no dirty data waiting to be written back, so that one run's
// writes do not slow down the next.
double secondsOf(const std::function<void()> &work)
{
    ::sync();
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

// What the procedure copies, done by cp, one process per file as a player would, then made
// durable by sync: an installation is done only once its copies are on the disk.
double timeCp(const QStringList &sources, const QString &target)
{
    return secondsOf([&] {
        for (const QString &source : sources)
            QProcess::execute("cp", {source, target + "/" + QFileInfo(source).fileName()});
        ::sync();
    });
}

void checked(ErrorOr<void> result)
{
    if (result.isError())
        qFatal("%s", qPrintable(result.error().report()));
}

void run(const QString &scratchRoot, const Scenario &scenario, Edition edition)
{
    QTemporaryDir root(scratchRoot + "/bench-XXXXXX");
    const Layout layout = makeLayout(root.path(), scenario);
    HostFileSystem fileSystem(layout.package.toStdString());
    ModInstaller installer(fileSystem);
    const QString gameDirectory = layout.game + "/";

    QStringList copied{layout.package + "/Expand2.mix", layout.package + "/Rules.ini",
                       layout.package + "/Title.pcx", layout.package + "/SC-Vorda.mix"};
    if (edition == Edition::Aftermath)
        copied << layout.game + "/EXPAND2.MIX" << layout.package + "/Aftrmath.ini"
               << layout.package + "/MPlayer.ini";

    std::vector<double> installs, removals, copies;
    for (int i = 0; i < Repetitions; ++i) {
        installs.push_back(secondsOf([&] { checked(installer.install(edition, gameDirectory)); }));
        removals.push_back(
            secondsOf([&] { checked(installer.uninstall(edition, gameDirectory)); }));
        const QString target = root.path() + "/cp-target";
        QDir().mkpath(target);
        copies.push_back(timeCp(copied, target));
        QDir(target).removeRecursively();
    }
    const double install = median(installs), removal = median(removals), cp = median(copies);
    std::printf("%-34s %-13s install %8.3f s  cp+sync %8.3f s  ratio %5.2f  removal %8.3f s\n",
                scenario.name, edition == Edition::Aftermath ? "Aftermath" : "Counterstrike",
                install, cp, install / cp, removal);
    std::fflush(stdout);
}

void reportHashRates(const QString &scratchRoot)
{
    constexpr qint64 Size = 1024 * MiB;
    const QByteArray block(MiB, 'x');
    for (const Sha256::Engine engine : {Sha256::Engine::Portable, Sha256::Engine::ShaExtensions}) {
        if (!Sha256::isAvailable(engine))
            continue;
        const double seconds = secondsOf([&] {
            Sha256 hash(engine);
            for (qint64 hashed = 0; hashed < Size; hashed += block.size())
                hash.update(block.constData(), block.size());
            (void)hash.finish();
        });
        std::printf("SHA-256, %-14s 1 GB in memory  %8.3f s  %7.0f MB/s\n",
                    engine == Sha256::Engine::Portable ? "portable" : "SHA extensions", seconds,
                    Size / MiB / seconds);
    }
    QTemporaryDir root(scratchRoot + "/bench-XXXXXX");
    writeFileOfSize(root.path() + "/Expand.mix", Size);
    HostFileSystem fileSystem(root.path().toStdString());
    const double seconds = secondsOf([&] {
        if (fileSystem.digest("Expand.mix").isError())
            qFatal("cannot digest the file");
    });
    std::printf("digest of a 1 GB file (cached)          %8.3f s  %7.0f MB/s\n", seconds,
                Size / MiB / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QString scratchRoot = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const std::vector<Scenario> scenarios = {
        {"archives of 10 MB", 10 * MiB, 10 * MiB, 10 * MiB},
        {"archives of 1 GB", 1024 * MiB, 1024 * MiB, 1024 * MiB},
        {"Expand.mix of 1 GB, others 10 MB", 1024 * MiB, 10 * MiB, 10 * MiB},
    };
    std::printf("median of %d runs each, scratch folders under %s\n", Repetitions,
                qPrintable(scratchRoot));
    for (const Scenario &scenario : scenarios)
        for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
            run(scratchRoot, scenario, edition);
    reportHashRates(scratchRoot);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (resident): %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
