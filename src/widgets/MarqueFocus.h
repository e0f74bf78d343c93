#pragma once

// The mark a painted component draws around itself while it has the
// keyboard focus: a 1-pixel outline in the skin's periwinkle.

#include <QColor>
#include <QPainter>
#include <QRect>

inline const QColor CouleurMarqueFocus(0x80, 0x80, 0xFF);

// Outlines the rectangle's inner edge.
inline void PeindreMarqueFocus(QPainter& peintre, const QRect& zone)
{
    peintre.save();
    peintre.setRenderHint(QPainter::Antialiasing, false);
    peintre.setPen(QPen(CouleurMarqueFocus, 1));
    peintre.setBrush(Qt::NoBrush);
    peintre.drawRect(zone.adjusted(0, 0, -1, -1));
    peintre.restore();
}
