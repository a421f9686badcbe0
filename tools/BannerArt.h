#pragma once

#include <QFont>
#include <QImage>
#include <QString>

class QPainter;

// The title banner at the top of the main window: the product's name on a bright red bar,
// with the version raised after it like an exponent.
class BannerArt final
{
public:
    static constexpr int width = 258;
    static constexpr int height = 61;

    BannerArt(QString name, QString version, QFont nameFont, QFont versionFont);

    // At scale 2 every length doubles, for screens of 200 percent.
    QImage render(int scale = 1) const;

private:
    void paintBar(QPainter &painter) const;
    void paintTitle(QPainter &painter) const;

    QString m_name;
    QString m_version;
    QFont m_nameFont;
    QFont m_versionFont;
};
