#include "bench/eingaben.h"

#include "common/fehler.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <random>

namespace bogenkette::bench {

namespace {

// Writes "x,y" lines with four decimals and CR LF.
class Punktschreiber {
public:
    explicit Punktschreiber(const std::string& pfad)
        : pfad_(pfad), datei_(std::fopen(pfad.c_str(), "wb"))
    {
        if (!datei_)
            throw Fehler("Eingabe " + pfad + " kann nicht angelegt werden");
    }
    ~Punktschreiber()
    {
        if (datei_)
            std::fclose(datei_);
    }
    void punkt(double x, double y)
    {
        char zeile[128];
        char* z = std::to_chars(zeile, zeile + 60, x, std::chars_format::fixed, 4).ptr;
        *z++ = ',';
        z = std::to_chars(z, zeile + 124, y, std::chars_format::fixed, 4).ptr;
        *z++ = '\r';
        *z++ = '\n';
        std::fwrite(zeile, 1, static_cast<std::size_t>(z - zeile), datei_);
        ++anzahl_;
    }
    Index anzahl() const { return anzahl_; }
    void schliessen()
    {
        const bool gut = std::fclose(datei_) == 0;
        datei_ = nullptr;
        if (!gut)
            throw Fehler("Eingabe " + pfad_ + " kann nicht geschrieben werden");
    }

private:
    std::string pfad_;
    std::FILE* datei_;
    Index anzahl_ = 0;
};

// Uniform numbers from a generator whose sequence the standard fixes.
class Zufall {
public:
    explicit Zufall(std::uint64_t saat) : gen_(saat) {}
    double gleich(double von, double bis)
    {
        return von + (bis - von) * (static_cast<double>(gen_() >> 11) * 0x1.0p-53);
    }
    Index ganz(Index von, Index bis)
    {
        return von + static_cast<Index>(gen_() % static_cast<std::uint64_t>(bis - von + 1));
    }

private:
    std::mt19937_64 gen_;
};

// A path of arcs and straight runs that turns back towards (1000, 1000) whenever
// it strays more than 600 from it. Each written point is moved across the path by
// up to a third of fehl.
class Konturweg {
public:
    Konturweg(Punktschreiber& aus, Index ziel) : aus_(aus), ziel_(ziel) {}

    void laufen()
    {
        while (aus_.anzahl() < ziel_) {
            if (weitWeg() || zufall_.gleich(0, 1) < 0.8)
                bogen();
            else
                gerade();
        }
    }

private:
    bool weitWeg() const { return std::hypot(x_ - 1000, y_ - 1000) > 600; }

    // +1 turns left, -1 right: towards the centre when far away, else at random.
    double drehsinn()
    {
        if (!weitWeg())
            return zufall_.gleich(0, 1) < 0.5 ? 1.0 : -1.0;
        const double kreuz = std::cos(richtung_) * (1000 - y_) - std::sin(richtung_) * (1000 - x_);
        return kreuz >= 0 ? 1.0 : -1.0;
    }

    void bogen()
    {
        const Index m =
            static_cast<Index>(std::exp(zufall_.gleich(std::log(20.0), std::log(2000.0))));
        const double laenge = static_cast<double>(m) * 0.65;
        double R = laenge / zufall_.gleich(0.3, 3.0);
        if (R > 600)
            R = 600;
        const double sinn = drehsinn();
        for (Index k = 0; k < m && aus_.anzahl() < ziel_; ++k) {
            const double schritt = zufall_.gleich(0.3, 1.0);
            richtung_ += sinn * schritt / R;
            vor(schritt);
        }
    }

    void gerade()
    {
        const Index m = zufall_.ganz(20, 400);
        for (Index k = 0; k < m && aus_.anzahl() < ziel_; ++k)
            vor(zufall_.gleich(0.3, 1.0));
    }

    void vor(double schritt)
    {
        x_ += schritt * std::cos(richtung_);
        y_ += schritt * std::sin(richtung_);
        const double quer = zufall_.gleich(-benchFehl / 3, benchFehl / 3);
        aus_.punkt(x_ - quer * std::sin(richtung_), y_ + quer * std::cos(richtung_));
    }

    Punktschreiber& aus_;
    Index ziel_;
    Zufall zufall_{20240601};
    double x_ = 1000, y_ = 1000, richtung_ = 0.3;
};

// n points on a circle from angle phi0 on, `abstand` apart, `rauschen` the largest
// radial noise.
void kreis(Punktschreiber& aus, Index n, double a, double b, double R, double phi0, double abstand,
           double rauschen, std::uint64_t saat)
{
    Zufall zufall(saat);
    double phi = phi0;
    for (Index k = 0; k < n; ++k) {
        const double r = R + (rauschen > 0 ? zufall.gleich(-rauschen, rauschen) : 0.0);
        aus.punkt(a + r * std::cos(phi), b + r * std::sin(phi));
        phi += abstand / R;
    }
}

}  // namespace

void eingabeSchreiben(char name, const std::string& pfad)
{
    Punktschreiber aus(pfad);
    switch (name) {
    case 'A': Konturweg(aus, 1'000'000).laufen(); break;
    case 'B':
        // 0.5 apart, 300 degrees of a circle of radius 19,099. The arc starts at
        // the origin: its first trials span a few points only, and with small
        // coordinates the three-point formula does not cancel their tiny
        // triangles away (starting elsewhere breaks off two-point pieces first).
        kreis(aus, 200'000, -19'099 * std::cos(0.3), -19'099 * std::sin(0.3), 19'099, 0.3, 0.5, 0.0,
              2);
        break;
    case 'C':
        // Halves and quarters: the determinant of any three points is exactly 0.
        for (Index k = 0; k < 100'000; ++k)
            aus.punkt(1000 + 0.5 * static_cast<double>(k), 1000 + 0.25 * static_cast<double>(k));
        break;
    case 'D': kreis(aus, 10'000, 1000, 1000, 2000, 0.0, 0.65, benchFehl * 0.96, 4); break;
    case 'E':
        // 60 degrees of a circle of radius 1,000 as a million points, written
        // with four decimals: 0.001 apart, the rounding all the noise there is.
        kreis(aus, 1'000'000, 0, 0, 1000, 0.0, 1000 * (std::numbers::pi / 3) / 999'999, 0.0, 5);
        break;
    default: throw Fehler(std::string("unbekannte Eingabe ") + name);
    }
    aus.schliessen();
}

}  // namespace bogenkette::bench
