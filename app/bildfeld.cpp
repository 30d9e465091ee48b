#include "app/bildfeld.h"

#include "app/fokusrahmen.h"
#include "geometry/bahn.h"
#include "sketch/bahnskizze.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace bogenkette {

Bildfeld::Bildfeld(int rand, QWidget* eltern) : QWidget(eltern), rand_(rand)
{
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Bildfeld::flaechengroesse() const
{
    return size().shrunkBy(QMargins(rand_, rand_, rand_, rand_)).expandedTo(QSize(1, 1));
}

// A strong red, as in the picture of the path.
const std::uint32_t Bildfeld::bahnfarbe = 0xFFD00000;

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
        Rasterflaeche maler(bild_.bits(), bild_.width(), bild_.height(), bild_.bytesPerLine(),
                            0xFF000000, 1);  // solid black
        mass_ = bogenkette::skizzeZeichnen(kontur, maler);
    }
    repaint();
}

void Bildfeld::bahnZeichnen(const Kontur& kontur, const Toleranzband& band,
                            const std::vector<Bogen>& boegen)
{
    if (bild_.size() != flaechengroesse() || kontur.anzahl < 1
        || bahnrahmen(kontur).ausserhalb != 0)
        return;
    {
        // Three pixels wide, so that it shows beside the points' line, which is
        // drawn again over it.
        Rasterflaeche maler(bild_.bits(), bild_.width(), bild_.height(), bild_.bytesPerLine(),
                            bahnfarbe, 3);
        Bahnskizze skizze(mass_, maler);
        Bahnbau bahn(kontur, band, skizze);
        for (const Bogen& bogen : boegen)
            bahn.bogenAufnehmen(bogen);
    }
    skizzeZeichnen(kontur);
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

}  // namespace bogenkette
