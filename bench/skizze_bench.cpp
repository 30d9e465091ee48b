// Benchmark of the sketch: how long the window takes to draw a contour of 1,000,000
// points (skizzeZeichnen, the pixel mapping and the drawing into the picture's
// backing image) on a drawing surface of 389 x 317 pixels, the window's at 96 dpi.
//
//   build/skizze-bench
//
// Three contours from a fixed seed: a smooth closed curve, the same curve with
// noise of a few pixels, and points scattered at random (the worst case: nearly
// every segment is a long line of its own). Prints the best of three runs each.

#include "sketch/skizze.h"

#include <chrono>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

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

int main()
{
    constexpr int breite = 389, hoehe = 317;
    std::vector<std::uint32_t> bild(static_cast<std::size_t>(breite) * hoehe);
    const char* namen[] = {"glatt", "verrauscht", "verstreut"};
    for (int art = 0; art < 3; ++art) {
        const Kontur k = erzeugen(art);
        double bestes = -1;
        for (int lauf = 0; lauf < 3; ++lauf) {
            std::fill(bild.begin(), bild.end(), 0xFFFFFFFFu);
            const auto start = std::chrono::steady_clock::now();
            Rasterflaeche flaeche(reinterpret_cast<unsigned char*>(bild.data()), breite, hoehe,
                                  breite * 4, 0xFF000000u, 1);
            skizzeZeichnen(k, flaeche);
            const std::chrono::duration<double, std::milli> ms =
                std::chrono::steady_clock::now() - start;
            if (bestes < 0 || ms.count() < bestes)
                bestes = ms.count();
        }
        std::printf("%-11s %lld Punkte: %.0f ms\n", namen[art], static_cast<long long>(anzahl),
                    bestes);
    }
    return 0;
}
