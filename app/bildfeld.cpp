#include "app/bildfeld.h"

#include "sketch/skizze.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace bogenkette {

namespace {

// Draws the sketch's pixel lines into an image: solid black, one pixel wide.
class Bildmaler : public Pixelflaeche {
public:
    explicit Bildmaler(QImage& bild) : Pixelflaeche(bild.width(), bild.height()), maler_(&bild)
    {
        maler_.setRenderHint(QPainter::Antialiasing, false);
        maler_.setPen(QPen(Qt::black, 1));
    }

protected:
    void pixellinieZiehen(int x1, int y1, int x2, int y2) override
    {
        maler_.drawLine(x1, y1, x2, y2);
    }

private:
    QPainter maler_;
};

}  // namespace

Bildfeld::Bildfeld(int rand, QWidget* eltern) : QWidget(eltern), rand_(rand)
{
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Bildfeld::flaechengroesse() const
{
    return size().shrunkBy(QMargins(rand_, rand_, rand_, rand_)).expandedTo(QSize(1, 1));
}

QColor Bildfeld::grundfarbe() const { return palette().color(QPalette::Base); }

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
    const QRect innen = ereignis->rect().intersected(rect().marginsRemoved(QMargins(rand_, rand_, rand_, rand_)));
    maler.drawImage(innen, bild_, innen.translated(-rand_, -rand_));
}

}  // namespace bogenkette
