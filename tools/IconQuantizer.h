#pragma once

#include "IconImage.h"

#include <QList>
#include <QRgb>

// Reduces a full-colour picture to a paletted icon image. Only the palette entries named as
// usable are chosen, so that a red picture does not pick up stray greens or blues at edges where
// anti-aliasing mixed colours that lie nearer to them.
class IconQuantizer final
{
public:
    IconQuantizer(QList<QRgb> palette, QList<int> usable);

    IconImage quantize(const QImage &picture) const;

private:
    int nearest(QRgb colour) const;

    QList<QRgb> m_palette;
    QList<int> m_usable;
};
