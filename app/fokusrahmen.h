// The focus frame of the controls whose style shows no focus of its own: the
// picture area and the scroll bar. A frame two pixels wide in the highlight colour,
// drawn on the screen while the control has the focus and the focus has been moved
// by keyboard (as the style shows it on buttons).
#pragma once

#include <QScrollBar>

class QPainter;

namespace bogenkette {

// Draws the frame along the inside of `rahmen` when `steuerelement` has the focus.
void fokusrahmenZeichnen(QPainter& maler, const QWidget& steuerelement, const QRect& rahmen);

// HScroll1: a horizontal scroll bar framed while it has the focus.
class Schieber : public QScrollBar {
public:
    explicit Schieber(QWidget* eltern) : QScrollBar(Qt::Horizontal, eltern) {}

protected:
    void paintEvent(QPaintEvent* ereignis) override;
};

}  // namespace bogenkette
