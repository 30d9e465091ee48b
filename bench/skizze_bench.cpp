// Benchmark of the sketch: how long Picture1 takes to draw a contour of 1,000,000
// points (skizzeZeichnen, the pixel mapping and the drawing into the backing
// image) on the window's drawing surface of 389 x 317 pixels.
//
//   build/skizze-bench
//
// Three contours from a fixed seed: a smooth closed curve, the same curve with
// noise of a few pixels, and points scattered at random (the worst case: nearly
// every segment is a long line of its own). Prints the best of three runs each.

#include "app/bildfeld.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

using namespace bogenkette;

namespace {

constexpr bogenkette::Index anzahl = 1000000;

Kontur erzeugen(int art)
{
    std::mt19937 zufall(4711);
    std::uniform_real_distribution<double> eins(-1.0, 1.0);
    Kontur k;
    k.anlegen(anzahl);
    for (bogenkette::Index i = 1; i <= anzahl; ++i) {
        const double t = 2 * std::numbers::pi * static_cast<double>(i) / anzahl;
        if (art == 2) {
            k.xWert[i] = 100 * eins(zufall);
            k.yWert[i] = 100 * eins(zufall);
            continue;
        }
        const double rauschen = art == 1 ? 0.5 * eins(zufall) : 0.0;
        k.xWert[i] = 50 * std::cos(t) + rauschen;
        k.yWert[i] = 25 * std::sin(3 * t) + 25 * std::sin(t) + rauschen;
    }
    return k;
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Bildfeld bild(2, nullptr);
    bild.resize(393, 321);  // Picture1 at 96 dpi

    const char* namen[] = {"glatt", "verrauscht", "verstreut"};
    for (int art = 0; art < 3; ++art) {
        const Kontur k = erzeugen(art);
        qint64 bestes = -1;
        for (int lauf = 0; lauf < 3; ++lauf) {
            bild.leeren();
            QElapsedTimer uhr;
            uhr.start();
            bild.skizzeZeichnen(k);
            const qint64 ms = uhr.elapsed();
            if (bestes < 0 || ms < bestes)
                bestes = ms;
        }
        std::printf("%-11s %lld Punkte: %lld ms\n", namen[art], static_cast<long long>(anzahl),
                    static_cast<long long>(bestes));
    }
    return 0;
}
