#include "geometry/bahnpunkte.h"

#include "geometry/bahn.h"

namespace bogenkette {

Bahnpunkte bahnpunkteBilden(const Kontur& kontur)
{
    Bahnpunkte p;
    const auto n = static_cast<std::size_t>(kontur.anzahl);
    p.x.reserve(n);
    p.y.reserve(n);
    p.punkt.reserve(n);
    Bahnpunkt alt{};
    for (Index i = 1; i <= kontur.anzahl; ++i) {
        const Bahnpunkt neu = bahnpunkt(kontur.xWert[i], kontur.yWert[i]);
        if (i > 1 && neu == alt) {
            p.punkt.back() = i;
            continue;
        }
        p.x.push_back(mm(neu.x));
        p.y.push_back(mm(neu.y));
        p.punkt.push_back(i);
        alt = neu;
    }
    return p;
}

}  // namespace bogenkette
