// Picture1: the picture area that shows the sketch, and over it the path the
// machine will cut, in a colour of its own.
//
// A sunken border around an inner drawing surface. What is drawn is kept in an
// image of the surface's size, which paintEvent copies to the screen, so the
// sketch survives being covered by another window. The sketch's 5800 x 4800 units
// are stretched onto the surface, each axis on its own. While the area has the
// keyboard focus, a frame lines the edge of the surface on the screen.
#pragma once

#include "geometry/kette.h"
#include "input/kontur.h"
#include "sketch/skizze.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace bogenkette {

class Bildfeld : public QWidget {
public:
    // `rand`: width of the border in pixels on each side.
    Bildfeld(int rand, QWidget* eltern);

    // Empties the drawing surface.
    void leeren();
    // Draws the sketch of the points onto the surface (over what it shows) and puts
    // it on the screen at once, before the computation goes on.
    void skizzeZeichnen(const Kontur& kontur);
    // Draws the path along the chain `boegen` of the points last sketched, within
    // `band`, on the sketch's scale. Nothing where no path can be made (points
    // beyond its range).
    void bahnZeichnen(const Kontur& kontur, const Toleranzband& band,
                      const std::vector<Bogen>& boegen);

    // What the surface shows, without the border.
    const QImage& bild() const { return bild_; }
    // The colour of the path (0xAARRGGBB).
    static const std::uint32_t bahnfarbe;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;

private:
    QSize flaechengroesse() const;
    QColor grundfarbe() const;

    int rand_;
    QImage bild_;
    Skizzenmass mass_;  // of the last sketch
};

}  // namespace bogenkette
