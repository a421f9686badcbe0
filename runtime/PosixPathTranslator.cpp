#include "PathTranslator.h"

#include <QDir>
#include <QRegularExpression>

#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path toPath(const QString &text)
{
    return fs::path(text.toStdString());
}

QString fromPath(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// Wine keeps its drives as links in the prefix that Wine itself would use.
fs::path winePrefix()
{
    const QString fromEnvironment = qEnvironmentVariable("WINEPREFIX");
    if (!fromEnvironment.isEmpty())
        return toPath(fromEnvironment);
    return toPath(QDir::homePath()) / ".wine";
}

ErrorOr<fs::path> driveRoot(QChar letter, const QString &originalPath)
{
    const fs::path prefix = winePrefix();
    const fs::path link =
        prefix / "dosdevices" / QString(letter.toLower()).append(':').toStdString();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(link, error)))
        return RuntimeError(RuntimeErrorCode::PathNotFound, originalPath,
                            QStringLiteral("Drive %1: is not mapped in the Wine prefix %2.")
                                .arg(letter.toUpper())
                                .arg(fromPath(prefix)));
    return link;
}

// The exact name first; otherwise the first entry whose name differs only in letter case.
// A name that matches nothing is kept as given.
fs::path matchComponent(const fs::path &directory, const QString &name)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(directory / name.toStdString(), error)))
        return directory / name.toStdString();
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const QString candidate = QString::fromStdString(it->path().filename().string());
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return it->path();
    }
    return directory / name.toStdString();
}

} // namespace

ErrorOr<fs::path> PathTranslator::toHostPath(const QString &path) const
{
    static const QRegularExpression drivePattern(QStringLiteral("^([A-Za-z]):(.*)$"),
                                                 QRegularExpression::DotMatchesEverythingOption);
    QString rest = path;
    fs::path host;
    if (const auto match = drivePattern.match(path); match.hasMatch()) {
        host = TRY(driveRoot(match.captured(1).at(0), path));
        rest = match.captured(2);
    } else if (path.startsWith('/') || path.startsWith('\\')) {
        host = "/";
    } else {
        host = m_baseDirectory;
    }
    rest.replace('\\', '/');
    const QStringList components = rest.split('/', Qt::SkipEmptyParts);
    for (const QString &component : components) {
        if (component == QLatin1String(".") || component == QLatin1String(".."))
            host /= component.toStdString();
        else
            host = matchComponent(host, component);
    }
    // A trailing separator names a folder; keep it so that the system checks that it is one.
    if (!components.isEmpty() && (rest.endsWith('/')))
        host /= "";
    return host;
}
