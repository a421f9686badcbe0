#include "ArtworkWriter.h"

#include "BannerArt.h"
#include "ButtonArt.h"
#include "IcoEncoder.h"
#include "IconArt.h"
#include "IconQuantizer.h"
#include "PixelRunEncoder.h"

#include <QFontDatabase>
#include <QSaveFile>

#include <array>

namespace {

// DejaVu Sans comes with every Debian desktop, so the pictures can be drawn again anywhere.
const QString fontFamily = QStringLiteral("DejaVu Sans");

struct ButtonName
{
    const char *label;
    const char *file;
};

// In the order of the main window's button indexes.
constexpr std::array buttons{
    ButtonName{"Install", "install"},
    ButtonName{"Uninstall", "uninstall"},
    ButtonName{"Credits", "credits"},
    ButtonName{"Exit", "exit"},
};

QFont boldFont(int pixelSize)
{
    QFont font(fontFamily);
    font.setWeight(QFont::Bold);
    font.setPixelSize(pixelSize);
    // The lettering is drawn from its outlines, which are never hinted; the metrics that place
    // it must be the unhinted ones too.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The sixteen colours every Windows display could show; an icon with a different palette
// would be remapped to these anyway.
const QList<QRgb> windowsColours{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
// Black, the two reds and white. Leaving out the greys makes every anti-aliased edge snap to
// one side or the other instead of turning into a grey fringe between red and white.
const QList<int> redsBlackAndWhite{0, 1, 9, 15};

const QList<QRgb> blackAndWhite{qRgb(0, 0, 0), qRgb(255, 255, 255)};

} // namespace

ArtworkWriter::ArtworkWriter(QDir folder) : m_folder(std::move(folder))
{}

std::optional<QString> ArtworkWriter::writeAll() const
{
    // Without the intended font Qt would quietly substitute another, and the labels would
    // change size and no longer fit their bars.
    if (!QFontDatabase::families().contains(fontFamily))
        return QStringLiteral("the font \"%1\" is not installed").arg(fontFamily);
    if (!m_folder.exists())
        return QStringLiteral("the folder \"%1\" does not exist").arg(m_folder.path());
    if (auto failure = writeButtons())
        return failure;
    if (auto failure = writeBanner())
        return failure;
    return writeIcons();
}

std::optional<QString> ArtworkWriter::writeButtons() const
{
    const ButtonArt art(boldFont(22));
    for (const ButtonName &button : buttons) {
        const QString label = QString::fromLatin1(button.label);
        const QString file = QString::fromLatin1(button.file);
        for (const int scale : {1, 2}) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("_2x");
            if (auto failure = saveWindowPicture(art.render(label, ButtonLook::Normal, scale),
                                                 file + "_off" + suffix))
                return failure;
            if (auto failure = saveWindowPicture(art.render(label, ButtonLook::Highlighted, scale),
                                                 file + "_on" + suffix))
                return failure;
        }
    }
    return std::nullopt;
}

std::optional<QString> ArtworkWriter::writeBanner() const
{
    const BannerArt art(QStringLiteral("BEXOM"), QStringLiteral("v2.0"), boldFont(34),
                        boldFont(16));
    if (auto failure = saveWindowPicture(art.render(), QStringLiteral("banner")))
        return failure;
    return saveWindowPicture(art.render(2), QStringLiteral("banner_2x"));
}

std::optional<QString> ArtworkWriter::writeIcons() const
{
    const IconArt art(boldFont(32));
    const IconQuantizer monochrome(blackAndWhite, {0, 1});
    const IconQuantizer sixteenColours(windowsColours, redsBlackAndWhite);
    IcoEncoder icon;
    icon.add(monochrome.quantize(art.renderMonochrome(32)));
    icon.add(sixteenColours.quantize(art.renderFlat(32)));
    icon.add(sixteenColours.quantize(art.renderFlat(16)));
    // Explorer's large views and the Alt+Tab list on today's screens.
    icon.addFullColour(art.render(48));
    icon.addFullColour(art.render(256));
    if (auto failure = saveBytes(icon.encode(), QStringLiteral("bexomv2.ico")))
        return failure;
    return savePicture(art.render(64), QStringLiteral("bexomv2_icon.png"));
}

std::optional<QString> ArtworkWriter::savePicture(const QImage &picture, const QString &name) const
{
    const QString path = m_folder.filePath(name);
    if (!picture.save(path, "PNG"))
        return QStringLiteral("could not write \"%1\"").arg(path);
    return std::nullopt;
}

std::optional<QString> ArtworkWriter::saveWindowPicture(const QImage &picture,
                                                        const QString &baseName) const
{
    if (auto failure = savePicture(picture, baseName + ".png"))
        return failure;
    // Qt writes 24 bits a pixel for an image without alpha.
    const QString path = m_folder.filePath(baseName + ".bmp");
    if (!picture.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        return QStringLiteral("could not write \"%1\"").arg(path);
    return saveBytes(PixelRunEncoder::encode(picture), baseName + ".rle");
}

std::optional<QString> ArtworkWriter::saveBytes(const QByteArray &bytes, const QString &name) const
{
    QSaveFile file(m_folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("could not write \"%1\": %2")
            .arg(file.fileName(), file.errorString());
    return std::nullopt;
}
