#pragma once

#include <QFont>
#include <QImage>

class QPainter;

// The program's icon: the buttons' red jewel with a white "B" on it. It comes in three kinds:
// glossy for full-colour desktops; flat, in a few solid colours, for sixteen-colour displays,
// where a gloss would break up into blotches; and black and white for two-colour displays.
class IconArt final
{
public:
    explicit IconArt(QFont letterFont);

    QImage render(int size) const;
    QImage renderFlat(int size) const;
    QImage renderMonochrome(int size) const;

private:
    void paintFlatRing(QPainter &painter, int size) const;
    void paintFlatBody(QPainter &painter, int size) const;
    void paintLetter(QPainter &painter, int size, QColor colour, QPointF offset = {}) const;

    QFont m_letterFont;
};
