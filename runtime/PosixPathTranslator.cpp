#include "PathTranslator.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

QString fromPath(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// Wine keeps its drives as links in the prefix that Wine itself would use.
fs::path winePrefix()
{
    const QByteArray fromEnvironment = qgetenv("WINEPREFIX");
    if (!fromEnvironment.isEmpty())
        return fs::path(fromEnvironment.toStdString());
    return fs::path(QFile::encodeName(QDir::homePath()).toStdString()) / ".wine";
}

ErrorOr<fs::path> driveRoot(QChar letter, const QString &originalPath)
{
    const fs::path prefix = winePrefix();
    const fs::path link =
        prefix / "dosdevices" / QString(letter.toLower()).append(':').toStdString();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory)
        return RuntimeError::fromErrorCode(error, originalPath);
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::PathNotFound, originalPath,
                            QStringLiteral("Drive %1: is not mapped in the Wine prefix %2.")
                                .arg(letter.toUpper())
                                .arg(fromPath(prefix)));
    return link;
}

// Whether the name of an entry on the disk is the name asked for, whatever its letter case. The
// comparison folds case by Unicode alone, never by the locale; a name on the disk that is not
// UTF-8 has no letters to fold and must match byte for byte.
bool namesMatch(const std::string &onDisk, const std::string &asked, const QString &name)
{
    if (onDisk == asked)
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(onDisk.data(), qsizetype(onDisk.size())));
    return !decoder.hasError() && text.compare(name, Qt::CaseInsensitive) == 0;
}

RuntimeError caseTwins(const fs::path &first, const fs::path &second, const QString &originalPath)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, originalPath,
                        QStringLiteral("The folder holds both \"%1\" and \"%2\", which differ only "
                                       "in letter case; the installer cannot tell which one is "
                                       "meant. Rename or remove one of them.")
                            .arg(fromPath(first.filename()), fromPath(second.filename())));
}

RuntimeError unlistable(std::error_code error, const fs::path &directory,
                        const QString &originalPath)
{
    return RuntimeError::fromErrorCode(
        error, originalPath,
        QStringLiteral("The folder \"%1\" could not be read to match the letter case of its "
                       "names: %2.")
            .arg(fromPath(directory), QString::fromStdString(error.message())));
}

enum class Component { OnTheWay, Last };

// The one entry whose name differs at most in letter case from the name given; the name as
// given when none does, so that the operation on it reports what is missing. For the name an
// operation acts on, two such entries leave no way to tell which one is meant, the exact name
// included. A folder on the way that is spelled exactly is taken as it is without listing its
// parent: folders such as /home may be entered but not read.
ErrorOr<fs::path> matchComponent(const fs::path &directory, const QString &name,
                                 const QString &originalPath, Component component)
{
    const std::string asked = name.toStdString();
    std::error_code error;
    if (component == Component::OnTheWay) {
        const fs::file_status status = fs::symlink_status(directory / asked, error);
        if (fs::exists(status))
            return directory / asked;
        if (error && error != std::errc::no_such_file_or_directory &&
            error != std::errc::not_a_directory)
            return RuntimeError::fromErrorCode(error, originalPath);
        error.clear();
    }
    fs::directory_iterator it(directory, error);
    // A missing folder, or a file where the folder should be, holds nothing to match.
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return directory / asked;
    std::optional<fs::path> match;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (!namesMatch(it->path().filename().string(), asked, name))
            continue;
        if (match)
            return caseTwins(*match, it->path(), originalPath);
        match = it->path();
    }
    if (error)
        return unlistable(error, directory, originalPath);
    return match.value_or(directory / asked);
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
    for (qsizetype index = 0; index < components.size(); ++index) {
        const QString &component = components[index];
        if (component == QLatin1String(".") || component == QLatin1String(".."))
            host /= component.toStdString();
        else
            host = TRY(matchComponent(host, component, path,
                                      index + 1 == components.size() ? Component::Last
                                                                     : Component::OnTheWay));
    }
    // A trailing separator names a folder; keep it so that the system checks that it is one.
    if (!components.isEmpty() && (rest.endsWith('/')))
        host /= "";
    return host;
}
