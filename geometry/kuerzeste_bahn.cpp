#include "geometry/kuerzeste_bahn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>

namespace bogenkette {
namespace {

// Places kept of each layer as the starts of the next: those nearest the
// layer's far end. A contour of up to this many places keeps every place.
constexpr std::size_t breite = 300;
// Candidates checked in full below one start's bound, or in a row in vain
// above its best place where nothing bounds it: beyond them its farthest
// element is not searched further.
constexpr int vollePruefungen = 400;
// The points all full checks of one search below a bound or upwards may take:
// as many as 120 checks of 300 points. Long elements without bounds (points
// within the band of one circle) would cost too much without it.
constexpr Index suchpunkte = Index{120} * 300;
// Starts in a row that the three points bounding the layer's farthest element
// bound too and that reach no farther, after which its starts farther back are
// not searched: they lie farther from where the next elements begin.
constexpr int gebundeneInFolge = 32;
// The points that full checks from a layer's starts after its first may take
// together, after which its starts farther back are not searched: as many as
// two checks of 300 points for each of `breite` starts.
constexpr Index schichtPunkte = 2 * 300 * static_cast<Index>(breite);
// The stretch below a start's bound left to the downward search, after halving.
constexpr Index halbierenBis = 8;

// Pairs of points whose constraints excluded each other lately; tried on the
// next candidates before their full check.
class Zeugen {
public:
    void merken(Index a, Index b)
    {
        if (a < 0)
            return;
        // The newest first; the oldest drops out.
        anzahl_ = std::min(anzahl_ + 1, liste_.size());
        std::rotate(liste_.begin(), liste_.begin() + static_cast<std::ptrdiff_t>(anzahl_) - 1,
                    liste_.begin() + static_cast<std::ptrdiff_t>(anzahl_));
        liste_[0] = {a, b};
    }
    // A remembered pair that refutes the pair (i, j), or {-1, -1}.
    std::pair<Index, Index> widerlegung(const Paarpruefung& pruefung, Index i, Index j)
    {
        for (std::size_t k = 0; k < anzahl_; ++k) {
            const auto [a, b] = liste_[k];
            if (pruefung.widerlegt(i, j, a, b)) {
                // The pair that refutes goes first for the next candidate.
                std::rotate(liste_.begin(), liste_.begin() + static_cast<std::ptrdiff_t>(k),
                            liste_.begin() + static_cast<std::ptrdiff_t>(k) + 1);
                return liste_[0];
            }
        }
        return {-1, -1};
    }

private:
    std::array<std::pair<Index, Index>, 8> liste_{};
    std::size_t anzahl_ = 0;
};

class Suche {
public:
    Suche(const Bahnpunkte& punkte, Toleranzband band)
        : pruefung_(punkte, band), letzte_(punkte.anzahl() - 1),
          erreicht_(static_cast<std::size_t>(punkte.anzahl()), false)
    {
    }

    std::vector<Bahnschritt> suchen();

private:
    // A place shown reached: from the place of proof `vor` (-1: the first place)
    // by `stueck`.
    struct Nachweis {
        Index punkt;
        std::int64_t vor;
        Stueck stueck;
    };
    // A place of a layer. It is shown reached from the layer before only once
    // it turns out to reach beyond the places before it.
    struct Knoten {
        enum class Stand : unsigned char { offen, erreicht, unerreicht };
        Index punkt = 0;
        Index reichweite = 0;        // no element from it reaches beyond this
        std::int64_t nachweis = -1;  // once reached
        Stand stand = Stand::offen;
    };
    using Schicht = std::vector<Knoten>;
    // Layers kept back for showing a place reached through places of layers
    // before, which themselves need showing.
    static constexpr std::size_t gedaechtnis = 8;

    Bahnschritt weitestes(Index i, Index ab, Index probe);
    Bahnschritt aufwaerts(Index i, Bahnschritt bestes);
    bool nachweisen(std::size_t d, Knoten& k);
    std::int64_t nachweisAnlegen(Index punkt, std::int64_t vor, const Stueck& stueck);
    Schicht naechsteSchicht(const std::vector<std::pair<Index, std::int64_t>>& neue,
                            Index nah) const;
    std::vector<Bahnschritt> pfad(std::int64_t nachweis) const;
    Schicht& schicht(std::size_t d) { return schichten_[d - ersteSchicht_]; }

    // The full check of the pair, its points counted against the layer's
    // starts after the first.
    Stueck pruefen(Index i, Index j)
    {
        if (!ersterStart_)
            schichtRest_ -= j - i;
        return pruefung_.pruefen(i, j);
    }

    // The element from i to j, or none: a remembered refutation first.
    Stueck versuchen(Index i, Index j, std::pair<Index, Index>& zeuge)
    {
        zeuge = zeugen_.widerlegung(pruefung_, i, j);
        if (zeuge.first >= 0)
            return {};
        const Stueck s = pruefen(i, j);
        zeuge = {s.zeugeA, s.zeugeB};
        zeugen_.merken(s.zeugeA, s.zeugeB);
        return s;
    }

    Paarpruefung pruefung_;
    Index letzte_;
    std::vector<Nachweis> nachweise_;
    std::deque<Schicht> schichten_;
    std::size_t ersteSchicht_ = 0;  // the number of the first layer kept
    std::vector<bool> erreicht_;    // places shown reached so far
    Zeugen zeugen_;
    bool ersterStart_ = true;            // the layer's first start is searched
    Index schichtRest_ = schichtPunkte;  // what the layer's other starts may spend
    // Whether the last start searched was bounded by the remembered triple.
    bool erinnertBegrenzt_ = false;
    // The last three points found to admit no circle through a start.
    struct {
        Index a = -1, b = -1, c = -1;
    } gewiss_;
};

// The farthest place beyond `ab` that an element from i reaches; `bis` = ab
// where none does. First a bound: the first place from which on none is
// reached, shown by three points that admit no circle through i (a remembered
// such triple, or one found by probing ahead in growing steps from `probe`, then
// narrowed by halving). Below the bound the places down to ab are tried, most
// refuted by two remembered points.
Bahnschritt Suche::weitestes(Index i, Index ab, Index probe)
{
    // The next place is always reached, by a segment.
    Bahnschritt bestes =
        ab == i ? Bahnschritt{i + 1, pruefung_.pruefen(i, i + 1)} : Bahnschritt{ab, {}};
    if (bestes.bis == letzte_)
        return bestes;
    Index grenze = letzte_ + 1;  // nothing from here on is reached
    erinnertBegrenzt_ = gewiss_.c > ab && gewiss_.a > i && gewiss_.b > i
                        && pruefung_.kreisUnmoeglich(i, gewiss_.a, gewiss_.b, gewiss_.c);
    if (erinnertBegrenzt_)
        grenze = gewiss_.c;
    // Whether place j lies beyond reach, shown by its refutation and j itself;
    // where it is reached, bestes may take it.
    const auto jenseits = [&](Index j) {
        std::pair<Index, Index> zeuge;
        const Stueck s = versuchen(i, j, zeuge);
        if (s.moeglich()) {
            if (j > bestes.bis)
                bestes = {j, s};
            return false;
        }
        if (zeuge.first < 0)
            return false;
        if (pruefung_.kreisUnmoeglich(i, zeuge.first, zeuge.second, j)) {
            gewiss_ = {zeuge.first, zeuge.second, j};
            return true;
        }
        // Where three points leave room (points strewn within the band), more
        // of them spread over the stretch may not; for the layer's first start,
        // whose bound the others take up.
        const Index d = j - i;
        const Index mehr[] = {zeuge.first, zeuge.second,  j,    i + d / 4,
                              i + d / 2,   i + 3 * d / 4, j - 1};
        return ersterStart_ && d >= 8 && pruefung_.kreisUnmoeglich(i, mehr);
    };
    Index schritt = std::max<Index>(1, probe - ab);
    bool begrenzt = grenze <= letzte_;
    for (probe = std::min(grenze - 1, std::max(probe, ab + 1)); probe > bestes.bis;) {
        if (jenseits(probe)) {
            grenze = probe;
            begrenzt = true;
            break;
        }
        if (bestes.bis == letzte_)
            return bestes;
        if (probe == grenze - 1) {
            begrenzt = grenze <= letzte_;
            break;
        }
        schritt *= 2;
        probe = std::min(grenze - 1, probe + schritt);
    }
    if (!begrenzt)
        return aufwaerts(i, bestes);
    // Closer bounds by halving the stretch above the best place so far.
    for (Index unten = bestes.bis; grenze - unten > halbierenBis;) {
        const Index mitte = unten + (grenze - unten) / 2;
        if (jenseits(mitte))
            grenze = mitte;
        else
            unten = mitte;
    }
    int pruefungen = 0;
    Index punkte = 0;  // the points those checks took
    for (Index j = grenze - 1;
         j > bestes.bis && pruefungen < vollePruefungen && punkte < suchpunkte; --j) {
        if (zeugen_.widerlegung(pruefung_, i, j).first >= 0)
            continue;
        ++pruefungen;
        punkte += j - i;
        const Stueck s = pruefen(i, j);
        zeugen_.merken(s.zeugeA, s.zeugeB);
        if (s.moeglich())
            return {j, s};
    }
    return bestes;
}

// Where nothing bounds the elements from i (points within the band of one
// circle, strewn points), the places above the best so far are tried upwards
// until `vollePruefungen` of them in a row have been checked in full in vain,
// or the checks have taken `suchpunkte` points.
Bahnschritt Suche::aufwaerts(Index i, Bahnschritt bestes)
{
    int vergeblich = 0;
    Index punkte = 0;  // the points those checks took
    for (Index j = bestes.bis + 1;
         j <= letzte_ && vergeblich < vollePruefungen && punkte < suchpunkte; ++j) {
        if (zeugen_.widerlegung(pruefung_, i, j).first >= 0)
            continue;
        punkte += j - i;
        const Stueck s = pruefen(i, j);
        zeugen_.merken(s.zeugeA, s.zeugeB);
        if (s.moeglich()) {
            bestes = {j, s};
            vergeblich = 0;
        } else {
            ++vergeblich;
        }
    }
    return bestes;
}

// Whether place k of layer d is reached from a start of layer d - 1 (itself
// reached, which is shown first where it is not known yet).
bool Suche::nachweisen(std::size_t d, Knoten& k)
{
    using Stand = Knoten::Stand;
    if (k.stand != Stand::offen)
        return k.stand == Stand::erreicht;
    k.stand = Stand::unerreicht;
    if (d <= ersteSchicht_)
        return false;  // its starts are no longer kept
    Schicht& starts = schicht(d - 1);
    for (Knoten& start : starts) {
        if (start.stand == Stand::unerreicht || start.reichweite < k.punkt
            || start.punkt >= k.punkt)
            continue;
        std::pair<Index, Index> zeuge;
        const Stueck st = versuchen(start.punkt, k.punkt, zeuge);
        if (st.moeglich() && nachweisen(d - 1, start)) {
            k.stand = Stand::erreicht;
            k.nachweis = nachweisAnlegen(k.punkt, start.nachweis, st);
            return true;
        }
    }
    return false;
}

std::int64_t Suche::nachweisAnlegen(Index punkt, std::int64_t vor, const Stueck& stueck)
{
    nachweise_.push_back({punkt, vor, stueck});
    erreicht_[punkt] = true;
    return static_cast<std::int64_t>(nachweise_.size()) - 1;
}

// The places of the next layer: those newly reached by the farthest elements
// of the starts (`neue`, ascending, with their proofs), and below the farthest
// of them down to `nah` the places not shown reached before, the first `breite`
// of them in all; the latter are shown reached only where needed.
Suche::Schicht Suche::naechsteSchicht(const std::vector<std::pair<Index, std::int64_t>>& neue,
                                      Index nah) const
{
    Schicht schicht;
    auto naechsteNeue = neue.rbegin();
    for (Index t = neue.back().first; t > nah && schicht.size() < breite; --t) {
        Knoten k;
        k.punkt = t;
        if (naechsteNeue != neue.rend() && naechsteNeue->first == t) {
            k.stand = Knoten::Stand::erreicht;
            k.nachweis = naechsteNeue->second;
            ++naechsteNeue;
        } else if (erreicht_[t]) {
            continue;
        }
        schicht.push_back(k);
    }
    return schicht;
}

std::vector<Bahnschritt> Suche::pfad(std::int64_t nachweis) const
{
    std::vector<Bahnschritt> schritte;
    for (; nachweis >= 0; nachweis = nachweise_[static_cast<std::size_t>(nachweis)].vor) {
        const Nachweis& n = nachweise_[static_cast<std::size_t>(nachweis)];
        schritte.push_back({n.punkt, n.stueck});
    }
    std::reverse(schritte.begin(), schritte.end());
    return schritte;
}

std::vector<Bahnschritt> Suche::suchen()
{
    if (letzte_ < 1)
        return {};
    schichten_.assign(1, Schicht(1));
    schichten_[0][0].stand = Knoten::Stand::erreicht;
    erreicht_[0] = true;
    Index laenge = 8;  // of the elements lately: where the first probe goes
    for (std::size_t d = 0;; ++d) {
        // The starts are in descending order, the first shown reached. Each is
        // searched only beyond the farthest place reached from those before it.
        Schicht& starts = schicht(d);
        Index fern = starts.front().punkt;
        std::vector<std::pair<Index, std::int64_t>> neue;
        schichtRest_ = schichtPunkte;
        int gebunden = 0;  // starts in a row bounded as the farthest is, reaching no farther
        for (std::size_t s = 0;
             s < starts.size() && schichtRest_ > 0 && gebunden < gebundeneInFolge; ++s) {
            ersterStart_ = s == 0;
            Knoten& k = starts[s];
            const Index ab = std::max(fern, k.punkt);
            const Bahnschritt w = weitestes(k.punkt, ab, s == 0 ? k.punkt + laenge : ab + 1);
            k.reichweite = w.bis;
            if (!w.stueck.moeglich() || !nachweisen(d, k)) {
                gebunden = erinnertBegrenzt_ ? gebunden + 1 : 0;
                continue;
            }
            gebunden = 0;
            fern = w.bis;
            neue.emplace_back(fern, nachweisAnlegen(fern, k.nachweis, w.stueck));
            if (fern == letzte_)
                return pfad(neue.back().second);
        }
        laenge = std::max<Index>(1, fern - starts.front().punkt);
        Schicht naechste = naechsteSchicht(neue, starts.back().punkt);
        schichten_.push_back(std::move(naechste));
        if (schichten_.size() > gedaechtnis) {
            schichten_.pop_front();
            ++ersteSchicht_;
        }
    }
}

Bahnpunkt ortVon(const Kontur& kontur, Index punkt)
{
    return bahnpunkt(kontur.xWert[punkt], kontur.yWert[punkt]);
}

// Whether the points of the list from `von` to `bis` lie within the band of the
// element, widened by `zugabe`.
bool punkteImBand(const Kontur& kontur, Index von, Index bis, Bahnpunkt start,
                  const Bahnelement& element, Toleranzband band, double zugabe)
{
    const Elementlage lage(start, element);
    for (Index p = von; p <= bis; ++p)
        if (!lage.imBand(kontur.xWert[p], kontur.yWert[p], band.links + zugabe,
                         band.rechts + zugabe))
            return false;
    return true;
}

}  // namespace

std::vector<Bahnschritt> kuerzesteSchritte(const Bahnpunkte& punkte, Toleranzband band)
{
    return Suche(punkte, band).suchen();
}

void bahnSchreiben(const Kontur& kontur, const Bahnpunkte& punkte, Toleranzband band,
                   const std::vector<Bahnschritt>& schritte, Bahnempfaenger& ziel)
{
    // The points within 0.00015 of what is written, the arc within 0.0001 of the
    // polyline of the places (which lie within 0.00007 of the points).
    constexpr double zugabePunkte = 0.00015, zugabeLinie = 0.0001;
    const Paarpruefung pruefung(punkte, band);
    Bahnpunkt lage = ortVon(kontur, 1);
    ziel.bahnBeginnen(lage);
    Index i = 0;
    const auto setzen = [&](const Bahnelement& e) {
        ziel.elementAufnehmen(lage, e);
        lage = e.ende;
    };
    for (const Bahnschritt& schritt : schritte) {
        const Index j = schritt.bis;
        const Bahnpunkt ende = ortVon(kontur, punkte.punkt[j]);
        const Bahnelement gerade{Bahnelement::Art::gerade, ende, {}, punkte.punkt[j]};
        bool gesetzt = false;
        if (schritt.stueck.art == Stueck::Art::gerade) {
            setzen(gerade);
            gesetzt = true;
        } else {
            const Stueckkreis k =
                pruefung.kreis(i, j, pruefung.mittigerWinkel(i, j, schritt.stueck.winkel));
            Bahnelement bogen{k.linksherum ? Bahnelement::Art::links : Bahnelement::Art::rechts,
                              ende,
                              {},
                              punkte.punkt[j]};
            const Index von = punkte.punkt[i];
            if (bogenmitteWaehlen(lage, ende, k.a, k.b, bogen.mitte)) {
                const Bahnelement& wahl = bogenOhneSchwung(lage, bogen) ? gerade : bogen;
                // A controller may take either radius: the points are checked
                // against the one from the start, less their difference.
                const double r = bogenradius(lage, bogen);
                const double unterschied = std::fabs(
                    r - std::hypot(mm(ende.x - bogen.mitte.x), mm(ende.y - bogen.mitte.y)));
                const Stueckkreis geschrieben{mm(bogen.mitte.x), mm(bogen.mitte.y), r,
                                              k.linksherum};
                if (punkteImBand(kontur, von, punkte.punkt[j], lage, wahl, band,
                                 zugabePunkte - unterschied)
                    && (&wahl == &gerade
                        || pruefung.zwischenpunkteImBand(i, j, geschrieben,
                                                         zugabeLinie - unterschied))) {
                    setzen(wahl);
                    gesetzt = true;
                }
            }
        }
        if (!gesetzt)
            for (Index m = i + 1; m <= j; ++m)
                setzen({Bahnelement::Art::gerade,
                        ortVon(kontur, punkte.punkt[m]),
                        {},
                        punkte.punkt[m]});
        i = j;
    }
}

void kuerzesteBahn(const Kontur& kontur, Toleranzband band, Bahnempfaenger& ziel)
{
    const Bahnpunkte punkte = bahnpunkteBilden(kontur);
    bahnSchreiben(kontur, punkte, band, kuerzesteSchritte(punkte, band), ziel);
}

}  // namespace bogenkette
