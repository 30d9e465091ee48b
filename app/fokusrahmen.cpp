#include "app/fokusrahmen.h"

#include <QPainter>

namespace bogenkette {

void fokusrahmenZeichnen(QPainter& maler, const QWidget& steuerelement, const QRect& rahmen)
{
    // As the style does for the buttons: only once the focus has been moved by keyboard,
    // so that a click or a finished computation does not frame the sketch.
    if (!steuerelement.hasFocus()
        || !steuerelement.window()->testAttribute(Qt::WA_KeyboardFocusChange))
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

}  // namespace bogenkette
