#include "app/bildfeld.h"

#include "app/fokusrahmen.h"
#include "sketch/skizze.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <cstdlib>

namespace bogenkette
{

namespace
{

// Draws the sketch's pixel lines into an image: solid black, one pixel wide, both
// end pixels included. Written straight into the image's rows, since a contour of
// scattered points can hand on a million long lines.
class Bildmaler : public Pixelflaeche
{
  public:
    explicit Bildmaler(QImage& bild)
        : Pixelflaeche(bild.width(), bild.height()), breite_(bild.width()), hoehe_(bild.height()),
          zeilenlaenge_(bild.bytesPerLine()), bits_(bild.bits())
    {
    }

  protected:
    void pixellinieZiehen(int x1, int y1, int x2, int y2) override
    {
        // Bresenham's line: every step moves one pixel along the longer axis.
        const int dx = std::abs(x2 - x1);
        const int dy = -std::abs(y2 - y1);
        const int sx = x1 < x2 ? 1 : -1;
        const int sy = y1 < y2 ? 1 : -1;
        int fehler = dx + dy;
        for (;;) {
            punktSetzen(x1, y1);
            if (x1 == x2 && y1 == y2)
                return;
            const int doppelt = 2 * fehler;
            if (doppelt >= dy) {
                fehler += dy;
                x1 += sx;
            }
            if (doppelt <= dx) {
                fehler += dx;
                y1 += sy;
            }
        }
    }

  private:
    void punktSetzen(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < breite_ && y < hoehe_)
            reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * zeilenlaenge_)[x] = schwarz;
    }

    static constexpr QRgb schwarz = 0xFF000000;
    const int breite_, hoehe_;
    const qsizetype zeilenlaenge_;
    uchar* const bits_; // the image's pixels, 32 bits each
};

} // namespace

Bildfeld::Bildfeld(int rand, QWidget* eltern) : QWidget(eltern), rand_(rand)
{
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Bildfeld::flaechengroesse() const
{
    return size().shrunkBy(QMargins(rand_, rand_, rand_, rand_)).expandedTo(QSize(1, 1));
}

QColor Bildfeld::grundfarbe() const
{
    return palette().color(QPalette::Base);
}

void Bildfeld::leeren()
{
    if (bild_.size() != flaechengroesse())
        bild_ = QImage(flaechengroesse(), QImage::Format_RGB32);
    bild_.fill(grundfarbe());
    update();
}

void Bildfeld::skizzeZeichnen(const Kontur& kontur)
{
    if (bild_.size() != flaechengroesse())
        leeren();
    {
        Bildmaler maler(bild_);
        bogenkette::skizzeZeichnen(kontur, maler);
    }
    repaint();
}

void Bildfeld::resizeEvent(QResizeEvent*)
{
    // The window has a fixed size: this happens once, when the area is laid out.
    if (bild_.size() != flaechengroesse())
        leeren();
}

void Bildfeld::paintEvent(QPaintEvent* ereignis)
{
    QPainter maler(this);
    qDrawShadePanel(&maler, rect(), palette(), true, rand_);
    const QRect flaeche = rect().marginsRemoved(QMargins(rand_, rand_, rand_, rand_));
    const QRect innen = ereignis->rect().intersected(flaeche);
    maler.drawImage(innen, bild_, innen.translated(-rand_, -rand_));
    // On the screen only: the sketch itself stays as it is.
    fokusrahmenZeichnen(maler, *this, flaeche);
}

} // namespace bogenkette
