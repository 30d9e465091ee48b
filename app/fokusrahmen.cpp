#include "app/fokusrahmen.h"

#include <QPainter>

namespace bogenkette
{

void fokusrahmenZeichnen(QPainter& maler, const QWidget& steuerelement, const QRect& rahmen)
{
    if (!steuerelement.hasFocus())
        return;
    constexpr int breite = 2;
    const QColor farbe = steuerelement.palette().color(QPalette::Highlight);
    maler.fillRect(rahmen.x(), rahmen.y(), rahmen.width(), breite, farbe);
    maler.fillRect(rahmen.x(), rahmen.bottom() - breite + 1, rahmen.width(), breite, farbe);
    maler.fillRect(rahmen.x(), rahmen.y(), breite, rahmen.height(), farbe);
    maler.fillRect(rahmen.right() - breite + 1, rahmen.y(), breite, rahmen.height(), farbe);
}

void Schieber::paintEvent(QPaintEvent* ereignis)
{
    QScrollBar::paintEvent(ereignis);
    QPainter maler(this);
    fokusrahmenZeichnen(maler, *this, rect());
}

} // namespace bogenkette
