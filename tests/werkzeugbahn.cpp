#include "werkzeugbahn.h"

#include "kettenpruefung.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <optional>

namespace bogenkette {

namespace {

constexpr double pi = std::numbers::pi;

std::vector<std::string_view> zeilen(std::string_view text, std::string_view ende)
{
    std::vector<std::string_view> liste;
    while (!text.empty()) {
        const auto pos = text.find(ende);
        liste.push_back(text.substr(0, pos));
        text.remove_prefix(pos == std::string_view::npos ? text.size() : pos + ende.size());
    }
    return liste;
}

// A length as the frame writes it: four decimals, with a sign for klartext.
std::string laenge(double wert, bool plus)
{
    char puffer[64];
    std::snprintf(puffer, sizeof puffer, plus ? "%+.4f" : "%.4f", wert);
    return puffer;
}

// A feed or a speed: whole values without decimals, others with up to four.
std::string zahl(double wert)
{
    std::string text = laenge(wert, false);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// The value after `buchstabe` in the word that starts with it.
std::optional<double> wert(std::string_view zeile, std::string_view buchstabe)
{
    const auto pos = zeile.find(" " + std::string(buchstabe));
    if (pos == std::string_view::npos)
        return std::nullopt;
    const char* anfang = zeile.data() + pos + 1 + buchstabe.size();
    const char* ende = zeile.data() + zeile.size();
    if (anfang < ende && *anfang == '+')
        ++anfang;
    double v = 0;
    if (std::from_chars(anfang, ende, v).ec != std::errc())
        return std::nullopt;
    return v;
}

// ---- Plane geometry of the tests' own offset --------------------------------

struct P {
    double x = 0, y = 0;
};
P operator+(P a, P b) { return {a.x + b.x, a.y + b.y}; }
P operator-(P a, P b) { return {a.x - b.x, a.y - b.y}; }
P operator*(double k, P a) { return {k * a.x, k * a.y}; }
double laengeVon(P a) { return std::hypot(a.x, a.y); }
P einheit(P a) { return (1 / laengeVon(a)) * a; }
P linksVon(P a) { return {-a.y, a.x}; }
double kreuz(P a, P b) { return a.x * b.y - a.y * b.x; }
double skalar(P a, P b) { return a.x * b.x + a.y * b.y; }

// A programmed element: a segment, or an arc about c in sense sinn (+1
// counter-clockwise).
struct Element {
    P a, b, c;
    double sinn = 0;  // 0: a segment
    bool bogen() const { return sinn != 0; }
    double radius() const { return laengeVon(a - c); }
    double winkel() const
    {
        double w = sinn * (std::atan2(b.y - c.y, b.x - c.x) - std::atan2(a.y - c.y, a.x - c.x));
        while (w <= 0)
            w += 2 * pi;
        while (w > 2 * pi)
            w -= 2 * pi;
        return w;
    }
    // The point at share t of the element and its direction there.
    P ort(double t) const
    {
        if (!bogen())
            return a + t * (b - a);
        const double w = std::atan2(a.y - c.y, a.x - c.x) + sinn * t * winkel();
        return c + radius() * P{std::cos(w), std::sin(w)};
    }
    P richtung(double t) const
    {
        return bogen() ? sinn * einheit(linksVon(ort(t) - c)) : einheit(b - a);
    }
    double abstand(P q) const
    {
        Fahrt f{bogen() ? (sinn > 0 ? Fahrt::Art::links : Fahrt::Art::rechts) : Fahrt::Art::gerade,
                b.x, b.y, c.x, c.y};
        return fahrtAbstand(a.x, a.y, f, q.x, q.y);
    }
    double lang() const { return bogen() ? radius() * winkel() : laengeVon(b - a); }
};

constexpr double schritt = 0.05;

int schritte(double lang) { return std::max(1, static_cast<int>(std::ceil(lang / schritt))); }

// The point where a line from q touches the circle (c, r) so that the circle,
// travelled in sense sinn from there, leaves in the line's direction (hin), or
// arrives along it (zurueck: travelling from the touching point to q).
P beruehrpunkt(P q, P c, double r, double sinn, bool hin)
{
    const double d = laengeVon(q - c);
    const double alpha = std::acos(std::clamp(r / d, -1.0, 1.0));
    const double basis = std::atan2(q.y - c.y, q.x - c.x);
    P bester;
    double besser = -2;
    for (const double w : {basis + alpha, basis - alpha}) {
        const P t = c + r * P{std::cos(w), std::sin(w)};
        const P kreisrichtung = sinn * einheit(linksVon(t - c));
        const P gerade = hin ? einheit(t - q) : einheit(q - t);
        if (skalar(kreisrichtung, gerade) > besser) {
            besser = skalar(kreisrichtung, gerade);
            bester = t;
        }
    }
    return bester;
}

// The grid of segments that finds those near a place quickly.
class Streckenraster {
public:
    Streckenraster(const std::vector<P>& punkte, double zelle) : punkte_(punkte), zelle_(zelle)
    {
        for (std::size_t i = 0; i + 1 < punkte.size(); ++i) {
            const P a = punkte[i], b = punkte[i + 1];
            for (long x = feld(std::min(a.x, b.x)); x <= feld(std::max(a.x, b.x)); ++x)
                for (long y = feld(std::min(a.y, b.y)); y <= feld(std::max(a.y, b.y)); ++y)
                    felder_[{x, y}].push_back(i);
        }
    }
    // The segments that may lie within `weite` (at most a cell) of the segment a-b.
    template <class F>
    void nahe(P a, P b, F f) const
    {
        std::vector<std::size_t> gesehen;
        for (long x = feld(std::min(a.x, b.x)) - 1; x <= feld(std::max(a.x, b.x)) + 1; ++x)
            for (long y = feld(std::min(a.y, b.y)) - 1; y <= feld(std::max(a.y, b.y)) + 1; ++y) {
                const auto it = felder_.find({x, y});
                if (it == felder_.end())
                    continue;
                for (const std::size_t i : it->second)
                    if (std::find(gesehen.begin(), gesehen.end(), i) == gesehen.end()) {
                        gesehen.push_back(i);
                        f(i);
                    }
            }
    }

private:
    long feld(double v) const { return static_cast<long>(std::floor(v / zelle_)); }
    const std::vector<P>& punkte_;
    double zelle_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> felder_;
};

double punktStrecke(P q, P a, P b)
{
    const P d = b - a;
    const double l = skalar(d, d);
    const double t = l > 0 ? std::clamp(skalar(q - a, d) / l, 0.0, 1.0) : 0.0;
    return laengeVon(q - a - t * d);
}

double streckeStrecke(P a, P b, P c, P d)
{
    const double d1 = kreuz(b - a, c - a), d2 = kreuz(b - a, d - a);
    const double d3 = kreuz(d - c, a - c), d4 = kreuz(d - c, b - c);
    if (d1 * d2 < 0 && d3 * d4 < 0)
        return 0;
    return std::min({punktStrecke(a, c, d), punktStrecke(b, c, d), punktStrecke(c, a, b),
                     punktStrecke(d, a, b)});
}

std::string ortText(P p)
{
    char puffer[80];
    std::snprintf(puffer, sizeof puffer, "(%.4f, %.4f)", p.x, p.y);
    return puffer;
}

}  // namespace

Rahmenangaben rahmenLesen(Dialekt dialekt, std::string_view text, const Rahmenerwartung& erwartung,
                          std::vector<std::string>& liste)
{
    Meldungen fehler(liste);
    Rahmenangaben rahmen;
    const Bearbeitung& b = erwartung.bearbeitung;
    const bool korrektur = b.korrektur != Korrektur::aus;
    const bool links = b.korrektur == Korrektur::links;
    const std::string vorschub = " F" + zahl(erwartung.vorschub);
    const std::string zustellung = " F" + zahl(b.zustellungBei(erwartung.vorschub));
    const bool klartext = dialekt == Dialekt::klartext;
    const auto z = zeilen(text, klartext ? "\r\n" : "\n");
    const std::size_t kopf = klartext ? 4 : 3;  // lines before the frame
    const std::size_t rahmenKopf = korrektur ? (klartext ? 5 : 7) : (klartext ? 4 : 5);
    const std::size_t rahmenSchluss = korrektur ? (klartext ? 3 : 6) : (klartext ? 2 : 5);
    if (z.size() < kopf + rahmenKopf + rahmenSchluss + 1) {
        fehler("zu wenige Zeilen für einen Rahmen");
        return rahmen;
    }
    const auto erwarten = [&](std::size_t n, const std::string& soll) {
        if (z[n] != soll)
            fehler("Zeile " + std::to_string(n + 1) + " \"" + std::string(z[n]) + "\" statt \""
                   + soll + "\"");
    };
    // A klartext block's number, taken off.
    const auto inhalt = [&](std::size_t n) {
        if (!klartext)
            return z[n];
        const std::string nummer = std::to_string(n) + " ";
        if (z[n].substr(0, nummer.size()) != nummer)
            fehler("Satz " + std::to_string(n) + " ohne seine Nummer");
        return z[n].substr(std::min(nummer.size(), z[n].size()));
    };
    const auto ort = [&](std::size_t n, double& x, double& y) {
        const auto wx = wert(z[n], "X"), wy = wert(z[n], "Y");
        if (!wx || !wy)
            fehler("Zeile " + std::to_string(n + 1) + " ohne X und Y");
        x = wx.value_or(0);
        y = wy.value_or(0);
    };
    const std::size_t ersteKontur = kopf + rahmenKopf, letzteKontur = z.size() - rahmenSchluss - 1;
    double anfangX = 0, anfangY = 0;  // point 1
    if (klartext) {
        erwarten(4, "4 TOOL CALL " + std::to_string(b.werkzeug) + " Z S" + zahl(b.drehzahl));
        erwarten(5, "5 L Z" + laenge(b.sicher, true) + " R0 FMAX M3");
        ort(6, rahmen.startX, rahmen.startY);
        erwarten(6, "6 L X" + laenge(rahmen.startX, true) + " Y" + laenge(rahmen.startY, true)
                        + " R0 FMAX");
        erwarten(7, "7 L Z" + laenge(-b.tiefe, true) + " R0" + zustellung);
        anfangX = rahmen.startX;
        anfangY = rahmen.startY;
        const std::size_t schluss = letzteKontur + 1;
        if (korrektur) {
            ort(8, anfangX, anfangY);
            rahmen.anRadius = wert(z[8], "R").value_or(0);
            erwarten(8, "8 APPR LCT X" + laenge(anfangX, true) + " Y" + laenge(anfangY, true) + " R"
                            + laenge(rahmen.anRadius, false) + (links ? " RL" : " RR") + vorschub);
            ort(schluss, rahmen.zielX, rahmen.zielY);
            rahmen.abRadius = wert(z[schluss], "R").value_or(0);
            erwarten(schluss, std::to_string(schluss) + " DEP LCT X" + laenge(rahmen.zielX, true)
                                  + " Y" + laenge(rahmen.zielY, true) + " R"
                                  + laenge(rahmen.abRadius, false) + vorschub);
        }
        const std::size_t hoch = z.size() - 2;
        erwarten(hoch, std::to_string(hoch) + " L Z" + laenge(b.sicher, true) + " R0 FMAX M2");
    } else {
        erwarten(3, "T" + std::to_string(b.werkzeug) + " M6");
        erwarten(4, "S" + zahl(b.drehzahl) + " M3");
        erwarten(5, "G0 Z" + laenge(b.sicher, false));
        ort(6, rahmen.startX, rahmen.startY);
        erwarten(6, "G0 X" + laenge(rahmen.startX, false) + " Y" + laenge(rahmen.startY, false));
        erwarten(7, "G1 Z" + laenge(-b.tiefe, false) + zustellung);
        anfangX = rahmen.startX;
        anfangY = rahmen.startY;
        const std::string bogen = links ? "G3" : "G2";
        if (korrektur) {
            double hx = 0, hy = 0;
            ort(8, hx, hy);
            erwarten(8, std::string("G1 ") + (links ? "G41" : "G42") + " D"
                            + std::to_string(b.werkzeug) + " X" + laenge(hx, false) + " Y"
                            + laenge(hy, false) + vorschub);
            ort(9, anfangX, anfangY);
            rahmen.anRadius = std::hypot(wert(z[9], "I").value_or(0), wert(z[9], "J").value_or(0));
            if (z[9].substr(0, 3) != bogen + " ")
                fehler("Zeile 10 \"" + std::string(z[9]) + "\": kein Einlaufbogen " + bogen);
            const std::size_t aus = letzteKontur + 1;
            if (z[aus].substr(0, 3) != bogen + " ")
                fehler("Zeile " + std::to_string(aus + 1) + ": kein Auslaufbogen " + bogen);
            rahmen.abRadius =
                std::hypot(wert(z[aus], "I").value_or(0), wert(z[aus], "J").value_or(0));
            ort(aus + 1, rahmen.zielX, rahmen.zielY);
            erwarten(aus + 1,
                     "G40 G1 X" + laenge(rahmen.zielX, false) + " Y" + laenge(rahmen.zielY, false));
        }
        erwarten(z.size() - 4, "G0 Z" + laenge(b.sicher, false));
        erwarten(z.size() - 3, "M5");
    }
    if (!korrektur) {
        // The tool leaves at the last point of the path.
        double x = anfangX, y = anfangY;
        if (letzteKontur >= ersteKontur)
            ort(letzteKontur, x, y);
        rahmen.zielX = x;
        rahmen.zielY = y;
    }

    // The program without its frame.
    const std::string ende = klartext ? "\r\n" : "\n";
    std::string& ohne = rahmen.ohneRahmen;
    for (std::size_t n = 0; n < kopf; ++n)
        ohne += std::string(z[n]) + ende;
    ohne += klartext ? "4 L X" + laenge(anfangX, true) + " Y" + laenge(anfangY, true) + " R0 FMAX"
                     : "G0 X" + laenge(anfangX, false) + " Y" + laenge(anfangY, false);
    ohne += ende;
    std::size_t nummer = 5;
    bool vorschubFehlt = korrektur;  // the approach carried the feed
    for (std::size_t n = ersteKontur; n <= letzteKontur; ++n) {
        std::string satz(inhalt(n));
        if (vorschubFehlt && satz.substr(0, 3) != "CC ") {
            satz += vorschub;
            vorschubFehlt = false;
        }
        ohne += (klartext ? std::to_string(nummer++) + " " : "") + satz + ende;
    }
    if (klartext)
        ohne += std::to_string(nummer) + " " + std::string(inhalt(z.size() - 1)) + ende;
    else
        ohne += "M30\n%\n";
    if (klartext && z.back().substr(z.back().find(' ') + 1, 7) != "END PGM")
        fehler("letzter Satz kein END PGM");
    if (!klartext && (z[z.size() - 2] != "M30" || z.back() != "%"))
        fehler("kein M30 und % am Ende");
    return rahmen;
}

std::vector<Werkzeugweg> rs274Werkzeugwege(std::string_view ausgabe, const Bearbeitung& b,
                                           std::vector<std::string>& liste)
{
    Meldungen fehler(liste);
    std::vector<Werkzeugweg> wege;
    // Where the tool is; what the program has done so far.
    P da;
    double z = 0;
    enum class Stand { vorher, oben, unten, fertig } stand = Stand::vorher;
    const double tief = -b.tiefe, sicher = b.sicher;
    const auto gleich = [](double a, double c) { return std::fabs(a - c) < 1e-6; };
    for (const std::string_view zeile : zeilen(ausgabe, "\n")) {
        const std::string wo = "rs274 \"" + std::string(zeile) + "\"";
        if (zeile.find("CHANGE_TOOL(") != std::string_view::npos) {
            if (stand != Stand::vorher && stand != Stand::fertig)
                fehler(wo + ": Werkzeugwechsel, bevor das Werkzeug oben ist");
            wege.emplace_back();
            stand = Stand::vorher;
            continue;
        }
        const bool eilgang = zeile.find("STRAIGHT_TRAVERSE(") != std::string_view::npos;
        const bool gerade = zeile.find("STRAIGHT_FEED(") != std::string_view::npos;
        const bool bogen = zeile.find("ARC_FEED(") != std::string_view::npos;
        if (!eilgang && !gerade && !bogen)
            continue;
        if (wege.empty()) {
            fehler(wo + ": Bewegung vor dem Werkzeugwechsel");
            wege.emplace_back();
        }
        const auto w = aufrufwerte(zeile, eilgang  ? "STRAIGHT_TRAVERSE("
                                          : gerade ? "STRAIGHT_FEED("
                                                   : "ARC_FEED(");
        if (w.size() < 6) {
            fehler(wo + ": unlesbar");
            continue;
        }
        const P nach = bogen ? P{w[0], w[1]} : P{w[0], w[1]};
        const double zNach = bogen ? w[5] : w[2];
        const bool eben = gleich(nach.x, da.x) && gleich(nach.y, da.y);
        switch (stand) {
        case Stand::vorher:
        case Stand::fertig:
            if (!eilgang || (!gleich(zNach, sicher) && !(eben && zNach > z)))
                fehler(wo + ": vor dem Eintauchen anders als im Eilgang auf sicherer Höhe");
            if (gleich(zNach, sicher))
                stand = Stand::oben;
            break;
        case Stand::oben:
            if (eilgang && gleich(zNach, sicher))
                break;
            if (!gerade || !eben || !gleich(zNach, tief))
                fehler(wo + ": statt senkrecht auf die Tiefe " + std::to_string(tief));
            stand = Stand::unten;
            wege.back().push_back({nach.x, nach.y});
            break;
        case Stand::unten:
            if (eilgang) {
                if (!eben || !gleich(zNach, sicher))
                    fehler(wo + ": statt senkrecht auf die sichere Höhe");
                stand = Stand::fertig;
                break;
            }
            if (!gleich(zNach, tief))
                fehler(wo + ": verlässt die Tiefe");
            if (gerade) {
                const int n = schritte(laengeVon(nach - da));
                for (int i = 1; i <= n; ++i) {
                    const P q = da + (static_cast<double>(i) / n) * (nach - da);
                    wege.back().push_back({q.x, q.y});
                }
            } else {
                const Element e{da, nach, {w[2], w[3]}, w[4] > 0 ? 1.0 : -1.0};
                if (std::fabs(w[4]) != 1)
                    fehler(wo + ": mehr als eine Umdrehung");
                const int n = schritte(e.lang());
                for (int i = 1; i <= n; ++i) {
                    const P q = e.ort(static_cast<double>(i) / n);
                    wege.back().push_back({q.x, q.y});
                }
            }
            break;
        }
        da = nach;
        z = zNach;
    }
    for (const Werkzeugweg& weg : wege)
        if (weg.empty())
            fehler("ein Programm taucht nie ein");
    if (stand != Stand::fertig)
        fehler("das Werkzeug kommt am Ende nicht auf die sichere Höhe");
    return wege;
}

Werkzeugweg klartextWerkzeugweg(const Rahmenangaben& rahmen, const Fahrweg& weg, Korrektur seite,
                                double R)
{
    const double s = seite == Korrektur::links ? 1 : -1;
    // The programmed elements: the path, and around it what APPR LCT and DEP LCT
    // make of their words, as a control computes them.
    std::vector<Element> elemente;
    P von{weg.startX, weg.startY};
    for (const Fahrt& f : weg.fahrten) {
        const double sinn = f.art == Fahrt::Art::gerade ? 0 : (f.art == Fahrt::Art::links ? 1 : -1);
        elemente.push_back({von, {f.x, f.y}, {f.i, f.j}, sinn});
        von = {f.x, f.y};
    }
    if (elemente.empty())
        return {};
    const P p1 = elemente.front().a, pe = elemente.back().b;
    const P t1 = elemente.front().richtung(0), te = elemente.back().richtung(1);
    const P ca = p1 + rahmen.anRadius * (s * linksVon(t1));
    const P cd = pe + rahmen.abRadius * (s * linksVon(te));
    const P start{rahmen.startX, rahmen.startY}, ziel{rahmen.zielX, rahmen.zielY};
    const P anHilfe = beruehrpunkt(start, ca, rahmen.anRadius, s, true);
    const P abHilfe = beruehrpunkt(ziel, cd, rahmen.abRadius, s, false);
    elemente.insert(elemente.begin(), Element{anHilfe, p1, ca, s});
    elemente.push_back({pe, abHilfe, cd, s});

    // Each element sampled and moved to the tool's side; outer corners rounded.
    const auto versetzt = [&](const Element& e, double t) {
        return e.ort(t) + R * (s * linksVon(e.richtung(t)));
    };
    Werkzeugweg bahn{{start.x, start.y}};
    const P einstieg = versetzt(elemente.front(), 0);
    for (int i = 1, n = schritte(laengeVon(einstieg - start)); i <= n; ++i) {
        const P q = start + (static_cast<double>(i) / n) * (einstieg - start);
        bahn.push_back({q.x, q.y});
    }
    for (std::size_t k = 0; k < elemente.size(); ++k) {
        const Element& e = elemente[k];
        // Where the control cuts the offsets at an inner corner: nearer a
        // neighbouring element than R.
        const auto bleibt = [&](double t) {
            const P q = versetzt(e, t);
            return !(k > 0 && elemente[k - 1].abstand(q) < R - 1e-7)
                   && !(k + 1 < elemente.size() && elemente[k + 1].abstand(q) < R - 1e-7);
        };
        const int n = schritte(e.lang());
        double davor = 0;
        bool davorBleibt = bleibt(0);
        for (int i = 0; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const bool jetzt = bleibt(t);
            if (i > 0 && jetzt != davorBleibt) {
                // The place where the cut lies, between the two samples.
                double innen = jetzt ? t : davor, aussen = jetzt ? davor : t;
                for (int j = 0; j < 40; ++j)
                    (bleibt((innen + aussen) / 2) ? innen : aussen) = (innen + aussen) / 2;
                const P q = versetzt(e, innen);
                bahn.push_back({q.x, q.y});
            }
            if (jetzt && (i > 0 || k > 0)) {
                const P q = versetzt(e, t);
                bahn.push_back({q.x, q.y});
            }
            davor = t;
            davorBleibt = jetzt;
        }
        if (k + 1 == elemente.size())
            break;
        const P ta = e.richtung(1), tb = elemente[k + 1].richtung(0);
        const double drehung = std::atan2(kreuz(ta, tb), skalar(ta, tb));
        if (s * drehung < 0) {
            const int m = schritte(R * std::fabs(drehung));
            const double anfang = std::atan2(s * linksVon(ta).y, s * linksVon(ta).x);
            for (int i = 1; i < m; ++i) {
                const double w = anfang + drehung * i / m;
                const P q = e.b + R * P{std::cos(w), std::sin(w)};
                bahn.push_back({q.x, q.y});
            }
        }
    }
    const P ausstieg{bahn.back().first, bahn.back().second};
    for (int i = 1, n = schritte(laengeVon(ziel - ausstieg)); i <= n; ++i) {
        const P q = ausstieg + (static_cast<double>(i) / n) * (ziel - ausstieg);
        bahn.push_back({q.x, q.y});
    }
    return bahn;
}

void werkzeugwegPruefen(const Kontur& k, double fehl, double R, const Werkzeugweg& weg,
                        std::vector<std::string>& liste)
{
    Meldungen fehler(liste);
    if (weg.size() < 2) {
        fehler("kein Werkzeugweg");
        return;
    }
    std::vector<P> punkte, werkzeug;
    for (Index p = 1; p <= k.anzahl; ++p)
        punkte.push_back({k.xWert[p], k.yWert[p]});
    for (const auto& [x, y] : weg)
        werkzeug.push_back({x, y});
    const double zelle = R + fehl + 0.02;
    const Streckenraster konturraster(punkte, zelle), werkzeugraster(werkzeug, zelle);
    // No gouge.
    double naechster = 1e300;
    std::string wo;
    for (std::size_t i = 0; i + 1 < werkzeug.size(); ++i)
        konturraster.nahe(werkzeug[i], werkzeug[i + 1], [&](std::size_t j) {
            const double d = streckeStrecke(werkzeug[i], werkzeug[i + 1], punkte[j], punkte[j + 1]);
            if (d < naechster) {
                naechster = d;
                wo = "das Werkzeug bei " + ortText(werkzeug[i]) + " kommt der Strecke von Punkt "
                     + std::to_string(j + 1) + " " + ortText(punkte[j]) + " auf "
                     + std::to_string(d) + " nahe";
            }
        });
    if (naechster < R - 0.01)
        fehler(wo + ", weniger als R - 0,01");
    // It follows the contour.
    for (std::size_t j = 0; j < punkte.size(); ++j) {
        double d = 1e300;
        werkzeugraster.nahe(punkte[j], punkte[j], [&](std::size_t i) {
            d = std::min(d, punktStrecke(punkte[j], werkzeug[i], werkzeug[i + 1]));
        });
        if (d > R + fehl + 0.01)
            fehler("Punkt " + std::to_string(j + 1) + " " + ortText(punkte[j])
                   + " bleibt dem Werkzeug " + std::to_string(d)
                   + " fern, mehr als R + fehl + 0,01");
    }
}

void bandPruefen(const Kontur& k, const Fahrweg& weg, double links, double rechts,
                 std::vector<std::string>& liste)
{
    Meldungen fehler(liste);
    for (Index p = 1; p <= k.anzahl; ++p) {
        const P q{k.xWert[p], k.yWert[p]};
        double bester = 1e300;
        bool linksDavon = false;
        P von{weg.startX, weg.startY};
        for (const Fahrt& f : weg.fahrten) {
            const double d = fahrtAbstand(von.x, von.y, f, q.x, q.y);
            if (d < bester) {
                bester = d;
                if (f.art == Fahrt::Art::gerade) {
                    linksDavon = kreuz(P{f.x, f.y} - von, q - von) > 0;
                } else {
                    // Inside the circle lies left of an arc counter-clockwise.
                    const double r = laengeVon(von - P{f.i, f.j});
                    linksDavon = (laengeVon(q - P{f.i, f.j}) < r) == (f.art == Fahrt::Art::links);
                }
            }
            von = {f.x, f.y};
        }
        const double grenze = (linksDavon ? links : rechts) + 0.0002;
        if (bester > grenze)
            fehler("Punkt " + std::to_string(p) + " " + ortText(q) + " liegt "
                   + std::to_string(bester) + (linksDavon ? " links" : " rechts")
                   + " der Bahn, mehr als " + std::to_string(grenze));
    }
}

}  // namespace bogenkette
