#include "geometry/mittelpunktsuche.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bogenkette {

namespace {

// Compares entries with a value by x, either way round (for lower_bound and upper_bound).
struct NachX {
    bool operator()(const SortierteX::Eintrag& e, double wert) const { return e.x < wert; }
    bool operator()(double wert, const SortierteX::Eintrag& e) const { return wert < e.x; }
};

// The first k in [von, bis) for which wahr(k) holds, bis if none; wahr must be
// false up to some index and true from there on. Gallops from the guess in
// doubling steps, then halves the bracket.
template <class Praedikat>
Index erstesWahres(Index von, Index bis, Index schaetzung, Praedikat wahr)
{
    if (von >= bis)
        return bis;
    schaetzung = std::clamp(schaetzung, von, bis - 1);
    Index unten = von, oben = bis;  // the answer lies in [unten, oben]
    if (wahr(schaetzung)) {
        oben = schaetzung;
        for (Index schritt = 1; oben - schritt >= von; schritt *= 2) {
            if (!wahr(oben - schritt)) {
                unten = oben - schritt + 1;
                break;
            }
            oben -= schritt;
        }
    } else {
        unten = schaetzung + 1;
        for (Index schritt = 1; unten + schritt - 1 < bis; schritt *= 2) {
            if (wahr(unten + schritt - 1)) {
                oben = unten + schritt - 1;
                break;
            }
            unten += schritt;
        }
    }
    while (unten < oben) {
        const Index k = unten + (oben - unten) / 2;
        if (wahr(k))
            oben = k;
        else
            unten = k + 1;
    }
    return unten;
}

}  // namespace

void SortierteX::leeren()
{
    bloecke_.clear();
    groesstesX_.clear();
}

void SortierteX::einfuegen(double x, Index k)
{
    if (bloecke_.empty()) {
        bloecke_.emplace_back().reserve(2 * blockgroesse);
        groesstesX_.push_back(x);
    }
    // The first block whose largest x is greater than x takes it; else the last.
    auto b = static_cast<std::size_t>(std::upper_bound(groesstesX_.begin(), groesstesX_.end(), x)
                                      - groesstesX_.begin());
    if (b == bloecke_.size())
        --b;
    std::vector<Eintrag>& block = bloecke_[b];
    block.insert(std::upper_bound(block.begin(), block.end(), x, NachX{}), Eintrag{x, k});
    groesstesX_[b] = block.back().x;
    if (block.size() < 2 * blockgroesse)
        return;
    std::vector<Eintrag> haelfte(block.begin() + blockgroesse, block.end());
    haelfte.reserve(2 * blockgroesse);
    block.resize(blockgroesse);
    groesstesX_[b] = block.back().x;
    groesstesX_.insert(groesstesX_.begin() + static_cast<std::ptrdiff_t>(b) + 1, haelfte.back().x);
    bloecke_.insert(bloecke_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(haelfte));
}

SortierteX::Stelle SortierteX::untereGrenze(double wert) const
{
    const auto b = static_cast<std::size_t>(
        std::lower_bound(groesstesX_.begin(), groesstesX_.end(), wert) - groesstesX_.begin());
    if (b == bloecke_.size())
        return ende();
    const std::vector<Eintrag>& block = bloecke_[b];
    return {b, static_cast<std::size_t>(std::lower_bound(block.begin(), block.end(), wert, NachX{})
                                        - block.begin())};
}

SortierteX::Stelle SortierteX::obereGrenze(double wert) const
{
    const auto b = static_cast<std::size_t>(
        std::upper_bound(groesstesX_.begin(), groesstesX_.end(), wert) - groesstesX_.begin());
    if (b == bloecke_.size())
        return ende();
    const std::vector<Eintrag>& block = bloecke_[b];
    return {b, static_cast<std::size_t>(std::upper_bound(block.begin(), block.end(), wert, NachX{})
                                        - block.begin())};
}

SortierteX::Stelle SortierteX::naechste(Stelle s) const
{
    if (s.pos + 1 < bloecke_[s.block].size())
        return {s.block, s.pos + 1};
    return {s.block + 1, 0};
}

SortierteX::Stelle SortierteX::vorige(Stelle s) const
{
    if (s.pos > 0)
        return {s.block, s.pos - 1};
    return {s.block - 1, bloecke_[s.block - 1].size() - 1};
}

// By binary search while x runs one way, else in the sorted x values.
Index Mittelpunktsuche::schnellSuchen(Index e, double xMitte)
{
    for (; geprueft_ < e; ++geprueft_) {
        const double vorher = x(geprueft_), jetzt = x(geprueft_ + 1);
        steigend_ = steigend_ && vorher <= jetzt;
        fallend_ = fallend_ && vorher >= jetzt;
    }
    if ((steigend_ || fallend_) && std::isfinite(xMitte)) {
        return monotonSuchen(e, xMitte);
    }
    while (eingefuegt_ < e) {
        ++eingefuegt_;
        const double xk = x(eingefuegt_);
        if (!std::isfinite(xk)) {
            sortierbar_ = false;
            return mitteSuchen(k_, anfang_, e);
        }
        sortiert_.einfuegen(xk, eingefuegt_);
    }
    if (!std::isfinite(xMitte))
        return mitteSuchen(k_, anfang_, e);
    return sortiertSuchen(xMitte);
}

// Where the x values of anfang .. e never fall (or never rise), no sorting is
// needed. No x is NaN (comparisons with NaN fail), and with xMitte finite the first
// and last x are finite, so all between them are; the sides
// x >= xMitte and x < xMitte each form one run of indices, meeting at c. By the
// monotony of d shown below, d never rises along the indices up to c - 1 and never
// falls from c on: the indices of the smallest d form one run around c, and the
// scan's result is its last index.
Index Mittelpunktsuche::monotonSuchen(Index e, double xMitte)
{
    auto abstand = [&](Index k) { return std::fabs(x(k) - xMitte); };
    // c: the first index on the far side (x >= xMitte when rising, x < xMitte when
    // falling), e + 1 when there is none. xMitte moves little from trial to trial,
    // so the search gallops out from the last trial's c.
    auto jenseits = [&](Index k) { return steigend_ ? x(k) >= xMitte : x(k) < xMitte; };
    const Index c = erstesWahres(anfang_, e + 1, std::clamp(letztesC_, anfang_, e + 1), jenseits);
    letztesC_ = c;
    const double vorC = c > anfang_ ? abstand(c - 1) : std::numeric_limits<double>::infinity();
    if (c > e || abstand(c) > vorC)
        return c - 1;
    // The last index from c on whose distance is not greater than that of c.
    const double dMin = abstand(c);
    return erstesWahres(c, e + 1, c + 1, [&](Index k) { return abstand(k) > dMin; }) - 1;
}

// Why looking near xMitte gives the scan's result. The computed distance
// d(x) = fabs(x - xMitte) is monotone on either side of xMitte: x - xMitte is
// rounded by a monotone rounding, so for x >= xMitte it is >= 0 and never falls as
// x grows, and for x < xMitte it is <= 0 and never rises. Hence the smallest d is
// that of the smallest x >= xMitte or of the largest x < xMitte, and the x values
// sharing that smallest d (rounding can make several differ and still tie) form
// one unbroken run upwards from the first and one downwards from the second.
// Every x value of those runs is visited, and for each the last entry of its equal
// x values, which holds its highest index. All x and xMitte are finite here, so no
// distance is NaN.
Index Mittelpunktsuche::sortiertSuchen(double xMitte) const
{
    const SortierteX& s = sortiert_;
    const SortierteX::Stelle ende = s.ende(), anfang = s.anfang();
    const SortierteX::Stelle oben = s.untereGrenze(xMitte);
    const bool hatOben = !s.gleich(oben, ende);
    const bool hatUnten = !s.gleich(oben, anfang);
    constexpr double keiner = std::numeric_limits<double>::infinity();
    const double dOben = hatOben ? std::fabs(s.eintrag(oben).x - xMitte) : keiner;
    const SortierteX::Stelle unten = hatUnten ? s.vorige(oben) : oben;
    const double dUnten = hatUnten ? std::fabs(s.eintrag(unten).x - xMitte) : keiner;
    const double dMin = std::min(dOben, dUnten);

    Index beste = 0;
    if (hatOben && dOben == dMin) {
        for (SortierteX::Stelle p = oben;
             !s.gleich(p, ende) && std::fabs(s.eintrag(p).x - xMitte) == dMin;) {
            const double xp = s.eintrag(p).x;
            SortierteX::Stelle danach = s.naechste(p);
            if (!s.gleich(danach, ende) && s.eintrag(danach).x == xp)
                danach = s.obereGrenze(xp);
            beste = std::max(beste, s.eintrag(s.vorige(danach)).k);
            p = danach;
        }
    }
    if (hatUnten && dUnten == dMin) {
        // p is always the last entry of its x value.
        for (SortierteX::Stelle p = unten;;) {
            beste = std::max(beste, s.eintrag(p).k);
            const double xp = s.eintrag(p).x;
            SortierteX::Stelle erste = p;
            if (!s.gleich(p, anfang) && s.eintrag(s.vorige(p)).x == xp)
                erste = s.untereGrenze(xp);
            if (s.gleich(erste, anfang))
                break;
            p = s.vorige(erste);
            if (std::fabs(s.eintrag(p).x - xMitte) != dMin)
                break;
        }
    }
    return beste;
}

}  // namespace bogenkette
