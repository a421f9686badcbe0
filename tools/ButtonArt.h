#pragma once

#include <QFont>
#include <QImage>
#include <QString>

class QPainter;
class QPainterPath;

enum class ButtonLook { Normal, Highlighted };

// The picture of one main-window button: a red bar with the jewel at its left end and the
// button's label. The normal and highlighted looks differ only in the colours of bar and label,
// so the button does not seem to move when the mouse passes over it.
class ButtonArt final
{
public:
    static constexpr int width = 257;
    static constexpr int height = 61;

    explicit ButtonArt(QFont labelFont);

    // At scale 2 every length doubles, for screens of 200 percent.
    QImage render(const QString &label, ButtonLook look, int scale = 1) const;

private:
    void paintBar(QPainter &painter, ButtonLook look) const;
    void paintLabel(QPainter &painter, const QString &label, ButtonLook look) const;
    QPainterPath lettering(const QString &label) const;

    QFont m_labelFont;
};
