#include "ncpruefung.h"

#include "kettenpruefung.h"

#include "common/fehler.h"
#include "run/bahnlauf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace bogenkette {

namespace {

std::vector<std::string_view> zeilenTeilen(std::string_view text, std::string_view ende,
                                           Meldungen& fehler)
{
    std::vector<std::string_view> zeilen;
    while (!text.empty()) {
        const auto pos = text.find(ende);
        if (pos == std::string_view::npos) {
            fehler("letzte Zeile ohne Zeilenende");
            break;
        }
        const std::string_view zeile = text.substr(0, pos);
        if (zeile.find_first_of("\r\n") != std::string_view::npos)
            fehler("Zeile " + std::to_string(zeilen.size() + 1) + " mit falschem Zeilenende");
        zeilen.push_back(zeile);
        text.remove_prefix(pos + ende.size());
    }
    return zeilen;
}

std::vector<std::string_view> woerter(std::string_view zeile)
{
    std::vector<std::string_view> liste;
    std::size_t pos = 0;
    while (pos <= zeile.size()) {
        const auto ende = std::min(zeile.find(' ', pos), zeile.size());
        liste.push_back(zeile.substr(pos, ende - pos));
        pos = ende + 1;
    }
    return liste;
}

// A coordinate as the dialects write it: klartext with a sign always, din with
// a minus only; digits, a period and four decimals; zero never negative.
std::optional<double> koordinateLesen(std::string_view text, bool klartext)
{
    if (text.empty())
        return std::nullopt;
    const bool minus = text[0] == '-';
    if (klartext && text[0] != '+' && !minus)
        return std::nullopt;
    if (text[0] == '+' || minus)
        text.remove_prefix(1);
    const auto punkt = text.find('.');
    if (punkt == 0 || punkt == std::string_view::npos || text.size() - punkt != 5)
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != punkt && (text[i] < '0' || text[i] > '9'))
            return std::nullopt;
    double wert = 0;
    std::from_chars(text.data(), text.data() + text.size(), wert);
    if (minus && wert == 0)
        return std::nullopt;
    return minus ? -wert : wert;
}

std::optional<double> zahlLesen(std::string_view text)
{
    double wert = 0;
    const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), wert);
    if (fehler != std::errc() || ende != text.data() + text.size())
        return std::nullopt;
    return wert;
}

// A word of a letter and a coordinate ("X+1.0000", "I-0.5000").
std::optional<double> wortLesen(std::string_view wort, std::string_view buchstabe, bool klartext)
{
    if (wort.substr(0, buchstabe.size()) != buchstabe)
        return std::nullopt;
    return koordinateLesen(wort.substr(buchstabe.size()), klartext);
}

// The words from `ab` on are the coordinates `buchstaben`, then nothing or
// the feed, whose value goes to `vorschub`; false when they are not.
bool satzLesen(const std::vector<std::string_view>& w, std::size_t ab, std::string_view buchstaben,
               bool klartext, std::vector<double>& werte, std::optional<double>& vorschub,
               std::size_t nachsatz = 0)
{
    if (w.size() < ab + buchstaben.size())
        return false;
    werte.clear();
    for (std::size_t i = 0; i < buchstaben.size(); ++i) {
        const auto wert = wortLesen(w[ab + i], buchstaben.substr(i, 1), klartext);
        if (!wert)
            return false;
        werte.push_back(*wert);
    }
    const std::size_t rest = ab + buchstaben.size() + nachsatz;
    vorschub.reset();
    if (w.size() == rest)
        return true;
    if (w.size() != rest + 1 || w[rest].substr(0, 1) != "F")
        return false;
    vorschub = zahlLesen(w[rest].substr(1));
    return vorschub.has_value() && *vorschub > 0;
}

struct Kopfangaben {
    std::string programmname;
    std::string kommentar;
    std::optional<double> vorschub;
    double blkMin[2] = {0, 0}, blkMax[2] = {0, 0};
};

// Notes the feed of a cutting block: it belongs to the first one only.
void vorschubNehmen(const std::optional<double>& vorschub, bool erster, Kopfangaben& kopf,
                    const std::string& wo, Meldungen& fehler)
{
    if (erster && !vorschub)
        fehler(wo + ": der erste Schneidsatz hat keinen Vorschub");
    if (!erster && vorschub)
        fehler(wo + ": Vorschub nach dem ersten Schneidsatz");
    if (erster)
        kopf.vorschub = vorschub;
}

bool latin1Druckbar(std::string_view zeile)
{
    return std::all_of(zeile.begin(), zeile.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x20 && b < 0x7F) || b >= 0xA0;
    });
}

bool asciiDruckbar(std::string_view zeile)
{
    return std::all_of(zeile.begin(), zeile.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x20 && b < 0x7F;
    });
}

Fahrweg klartextLesen(std::string_view text, Kopfangaben& kopf, Meldungen& fehler)
{
    Fahrweg weg;
    const auto zeilen = zeilenTeilen(text, "\r\n", fehler);
    if (zeilen.size() < 6) {
        fehler("weniger als 6 Sätze");
        return weg;
    }
    std::vector<double> werte;
    std::optional<double> vorschub;
    std::optional<Fahrt> mitte;  // a CC waiting for its C
    for (std::size_t n = 0; n < zeilen.size(); ++n) {
        const std::string_view zeile = zeilen[n];
        const std::string wo = "Satz " + std::to_string(n) + " \"" + std::string(zeile) + "\"";
        if (!latin1Druckbar(zeile))
            fehler(wo + ": Zeichen außerhalb ISO 8859-1 oder Steuerzeichen");
        const std::string nummer = std::to_string(n) + " ";
        if (zeile.substr(0, nummer.size()) != nummer) {
            fehler(wo + ": falsche Satznummer");
            continue;
        }
        const std::string_view inhalt = zeile.substr(nummer.size());
        const auto w = woerter(inhalt);
        const bool letzter = n + 1 == zeilen.size();
        if (n == 0) {
            if (w.size() != 4 || w[0] != "BEGIN" || w[1] != "PGM" || w[3] != "MM")
                fehler(wo + ": kein BEGIN PGM NAME MM");
            else
                kopf.programmname = std::string(w[2]);
        } else if (n == 1) {
            if (inhalt.substr(0, 2) != "; ")
                fehler(wo + ": kein Kommentarsatz");
            else
                kopf.kommentar = std::string(inhalt.substr(2));
        } else if (n == 2 || n == 3) {
            const bool min = n == 2;
            const std::size_t ab = min ? 4 : 3;
            const bool form = w.size() == ab + 3 && w[0] == "BLK" && w[1] == "FORM"
                              && w[2] == (min ? "0.1" : "0.2") && (!min || w[3] == "Z")
                              && w[ab + 2] == (min ? "Z-1" : "Z+0");
            if (!form || !satzLesen(w, ab, "XY", true, werte, vorschub, 1))
                fehler(wo + ": kein BLK FORM " + (min ? "0.1 Z X.. Y.. Z-1" : "0.2 X.. Y.. Z+0"));
            else
                std::copy(werte.begin(), werte.end(), min ? kopf.blkMin : kopf.blkMax);
        } else if (n == 4) {
            if (w.size() != 5 || w[0] != "L" || w[3] != "R0" || w[4] != "FMAX"
                || !satzLesen(w, 1, "XY", true, werte, vorschub, 2))
                fehler(wo + ": kein L X.. Y.. R0 FMAX");
            weg.startX = werte.size() == 2 ? werte[0] : 0;
            weg.startY = werte.size() == 2 ? werte[1] : 0;
        } else if (letzter) {
            if (w.size() != 4 || w[0] != "END" || w[1] != "PGM" || w[2] != kopf.programmname
                || w[3] != "MM")
                fehler(wo + ": kein END PGM " + kopf.programmname + " MM");
            if (mitte)
                fehler(wo + ": CC ohne C davor");
        } else if (!w.empty() && w[0] == "CC") {
            if (mitte || w.size() != 3 || !satzLesen(w, 1, "XY", true, werte, vorschub))
                fehler(wo + ": kein CC X.. Y.. (oder zwei CC nacheinander)");
            else
                mitte = Fahrt{Fahrt::Art::links, 0, 0, werte[0], werte[1]};
        } else if (!w.empty() && (w[0] == "L" || w[0] == "C")) {
            const bool bogen = w[0] == "C";
            const bool gelesen = satzLesen(w, 1, "XY", true, werte, vorschub, bogen ? 1 : 0);
            if (!gelesen || (bogen && !mitte) || (!bogen && mitte)
                || (bogen && w[3] != "DR+" && w[3] != "DR-")) {
                fehler(wo + ": kein L X.. Y.. oder C X.. Y.. DR+/DR- nach CC");
                continue;
            }
            Fahrt f = bogen ? *mitte : Fahrt{};
            if (bogen)
                f.art = w[3] == "DR+" ? Fahrt::Art::links : Fahrt::Art::rechts;
            f.x = werte[0];
            f.y = werte[1];
            vorschubNehmen(vorschub, weg.fahrten.empty(), kopf, wo, fehler);
            weg.fahrten.push_back(f);
            mitte.reset();
        } else {
            fehler(wo + ": unbekannter Satz");
        }
    }
    return weg;
}

Fahrweg dinLesen(std::string_view text, Kopfangaben& kopf, Meldungen& fehler)
{
    Fahrweg weg;
    const auto zeilen = zeilenTeilen(text, "\n", fehler);
    if (zeilen.size() < 6) {
        fehler("weniger als 6 Zeilen");
        return weg;
    }
    std::vector<double> werte;
    std::optional<double> vorschub;
    const std::size_t letzte = zeilen.size() - 1;
    for (std::size_t n = 0; n <= letzte; ++n) {
        const std::string_view zeile = zeilen[n];
        const std::string wo = "Zeile " + std::to_string(n + 1) + " \"" + std::string(zeile) + "\"";
        if (!asciiDruckbar(zeile))
            fehler(wo + ": Zeichen außerhalb ASCII oder Steuerzeichen");
        const auto w = woerter(zeile);
        if (n == 0 || n == letzte) {
            if (zeile != "%")
                fehler(wo + ": statt %");
        } else if (n == 1) {
            const bool klammern =
                zeile.size() >= 2 && zeile.front() == '(' && zeile.back() == ')'
                && zeile.substr(1, zeile.size() - 2).find_first_of("()") == std::string_view::npos;
            if (!klammern)
                fehler(wo + ": kein Kommentar (...)");
            else
                kopf.kommentar = std::string(zeile.substr(1, zeile.size() - 2));
        } else if (n == 2) {
            if (zeile != "G21 G17 G90")
                fehler(wo + ": statt G21 G17 G90");
        } else if (n == 3) {
            if (w.size() != 3 || w[0] != "G0" || !satzLesen(w, 1, "XY", false, werte, vorschub)
                || vorschub)
                fehler(wo + ": kein G0 X.. Y..");
            weg.startX = werte.size() == 2 ? werte[0] : 0;
            weg.startY = werte.size() == 2 ? werte[1] : 0;
        } else if (n == letzte - 1) {
            if (zeile != "M30")
                fehler(wo + ": statt M30");
        } else if (!w.empty() && (w[0] == "G1" || w[0] == "G2" || w[0] == "G3")) {
            const bool bogen = w[0] != "G1";
            if (!satzLesen(w, 1, bogen ? "XYIJ" : "XY", false, werte, vorschub)) {
                fehler(wo + ": kein G1 X.. Y.. oder G2/G3 X.. Y.. I.. J..");
                continue;
            }
            Fahrt f;
            f.art = !bogen ? Fahrt::Art::gerade
                           : (w[0] == "G3" ? Fahrt::Art::links : Fahrt::Art::rechts);
            f.x = werte[0];
            f.y = werte[1];
            if (bogen) {
                // I and J are relative to the start of the arc.
                const double vonX = weg.fahrten.empty() ? weg.startX : weg.fahrten.back().x;
                const double vonY = weg.fahrten.empty() ? weg.startY : weg.fahrten.back().y;
                f.i = vonX + werte[2];
                f.j = vonY + werte[3];
            }
            vorschubNehmen(vorschub, weg.fahrten.empty(), kopf, wo, fehler);
            weg.fahrten.push_back(f);
        } else {
            fehler(wo + ": unbekannter Satz");
        }
    }
    return weg;
}

constexpr double vollkreis = 2 * std::numbers::pi;

// An angle moved into [0, 2 pi).
double normiert(double w)
{
    w = std::fmod(w, vollkreis);
    return w < 0 ? w + vollkreis : w;
}

double strecke(double ax, double ay, double bx, double by, double px, double py)
{
    const double dx = bx - ax, dy = by - ay;
    const double l = dx * dx + dy * dy;
    const double t = l > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / l, 0.0, 1.0) : 0.0;
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Half the last digit, and room for the double nearest to a written value.
double halbeStelle(double v) { return 0.00005 + 1e-15 * std::fabs(v) + 1e-12; }

bool aufPunkt(const Kontur& k, Index p, double x, double y)
{
    return std::fabs(x - k.xWert[p]) <= halbeStelle(x)
           && std::fabs(y - k.yWert[p]) <= halbeStelle(y);
}

std::string punktText(const Kontur& k, Index p)
{
    return "Punkt " + std::to_string(p) + " (" + std::to_string(k.xWert[p]) + ", "
           + std::to_string(k.yWert[p]) + ")";
}

void bogenPruefen(double sx, double sy, const Fahrt& f, const std::string& wo, Meldungen& fehler)
{
    const double r1 = std::hypot(sx - f.i, sy - f.j), r2 = std::hypot(f.x - f.i, f.y - f.j);
    if (std::fabs(r1 - r2) > 0.0001 + 1e-9)
        fehler(wo + ": Radien " + std::to_string(r1) + " und " + std::to_string(r2)
               + " weichen um mehr als die letzte Stelle ab");
    const double lo = std::min(r1, r2), hi = std::max(r1, r2);
    if (lo < 0.01 - 1e-9 || hi > 99999.9999 + 1e-9)
        fehler(wo + ": Radius " + std::to_string(lo) + " bis " + std::to_string(hi)
               + " außerhalb 0,01 bis 99.999,9999");
}

}  // namespace

// The numbers between the brackets of a canonical call.
std::vector<double> aufrufwerte(std::string_view zeile, std::string_view name)
{
    std::vector<double> werte;
    auto pos = zeile.find(name) + name.size();
    const auto ende = zeile.find(')', pos);
    while (pos < ende) {
        while (zeile[pos] == ' ')
            ++pos;
        double wert = 0;
        const auto r = std::from_chars(zeile.data() + pos, zeile.data() + ende, wert);
        if (r.ec != std::errc())
            break;
        werte.push_back(wert);
        pos = static_cast<std::size_t>(r.ptr - zeile.data()) + 1;
    }
    return werte;
}

// Distance of a point from a move starting at (sx, sy). An arc whose radii to
// start and end differ counts as far as the farther of the two circles.
double fahrtAbstand(double sx, double sy, const Fahrt& f, double px, double py)
{
    if (f.art == Fahrt::Art::gerade)
        return strecke(sx, sy, f.x, f.y, px, py);
    const double sinn = f.art == Fahrt::Art::links ? 1 : -1;
    const double anfang = std::atan2(sy - f.j, sx - f.i);
    double bogen = normiert(sinn * (std::atan2(f.y - f.j, f.x - f.i) - anfang));
    if (bogen == 0)
        bogen = vollkreis;  // start and end in one place: a full circle
    const double lage = normiert(sinn * (std::atan2(py - f.j, px - f.i) - anfang));
    if (lage <= bogen) {
        const double rho = std::hypot(px - f.i, py - f.j);
        return std::max(std::fabs(rho - std::hypot(sx - f.i, sy - f.j)),
                        std::fabs(rho - std::hypot(f.x - f.i, f.y - f.j)));
    }
    return std::min(std::hypot(px - sx, py - sy), std::hypot(px - f.x, py - f.y));
}

Fahrweg programmLesen(Dialekt dialekt, std::string_view text, std::vector<std::string>& fehler)
{
    Meldungen m(fehler);
    Kopfangaben kopf;
    return dialekt == Dialekt::klartext ? klartextLesen(text, kopf, m) : dinLesen(text, kopf, m);
}

std::vector<Fahrweg> rs274Lesen(std::string_view ausgabe, std::vector<std::string>& fehler)
{
    Meldungen m(fehler);
    std::vector<Fahrweg> wege;
    while (!ausgabe.empty()) {
        const auto ende = std::min(ausgabe.find('\n'), ausgabe.size());
        const std::string_view zeile = ausgabe.substr(0, ende);
        ausgabe.remove_prefix(std::min(ende + 1, ausgabe.size()));
        const bool fahrt = zeile.find("STRAIGHT_FEED(") != std::string_view::npos
                           || zeile.find("ARC_FEED(") != std::string_view::npos;
        if (zeile.find("STRAIGHT_TRAVERSE(") != std::string_view::npos) {
            const auto w = aufrufwerte(zeile, "STRAIGHT_TRAVERSE(");
            wege.push_back({w.size() >= 2 ? w[0] : 0, w.size() >= 2 ? w[1] : 0, {}});
        } else if (fahrt && wege.empty()) {
            m("Bewegung vor dem ersten Eilgang: " + std::string(zeile));
        } else if (zeile.find("STRAIGHT_FEED(") != std::string_view::npos) {
            const auto w = aufrufwerte(zeile, "STRAIGHT_FEED(");
            if (w.size() < 2)
                m("unlesbar: " + std::string(zeile));
            else
                wege.back().fahrten.push_back({Fahrt::Art::gerade, w[0], w[1], 0, 0});
        } else if (zeile.find("ARC_FEED(") != std::string_view::npos) {
            const auto w = aufrufwerte(zeile, "ARC_FEED(");
            if (w.size() < 5 || (w[4] != 1 && w[4] != -1))
                m("unlesbar oder mehr als eine Umdrehung: " + std::string(zeile));
            else
                wege.back().fahrten.push_back(
                    {w[4] > 0 ? Fahrt::Art::links : Fahrt::Art::rechts, w[0], w[1], w[2], w[3]});
        }
    }
    return wege;
}

// Whether every place of move m (from (sx, sy)) lies within `grenze` of the
// polyline through points von to bis. The distance from the polyline changes
// no faster than the place moves, so a piece of the move whose middle lies
// within grenze less half its length passes whole; other pieces are halved.
bool naheDerLinie(const Kontur& k, Index von, Index bis, double sx, double sy, const Fahrt& f,
                  double grenze, double& schlimmster)
{
    const double r1 = f.art == Fahrt::Art::gerade ? 0 : std::hypot(sx - f.i, sy - f.j);
    const double r2 = f.art == Fahrt::Art::gerade ? 0 : std::hypot(f.x - f.i, f.y - f.j);
    const double anfang = f.art == Fahrt::Art::gerade ? 0 : std::atan2(sy - f.j, sx - f.i);
    const double sinn = f.art == Fahrt::Art::links ? 1 : -1;
    double bogen = 0;
    if (f.art != Fahrt::Art::gerade) {
        bogen = normiert(sinn * (std::atan2(f.y - f.j, f.x - f.i) - anfang));
        if (bogen == 0)
            bogen = vollkreis;
    }
    const double laenge =
        f.art == Fahrt::Art::gerade ? std::hypot(f.x - sx, f.y - sy) : bogen * std::max(r1, r2);
    // The place at t in [0, 1]; an arc whose radii differ turns into a spiral.
    const auto ort = [&](double t, double& x, double& y) {
        if (f.art == Fahrt::Art::gerade) {
            x = sx + t * (f.x - sx);
            y = sy + t * (f.y - sy);
            return;
        }
        const double w = anfang + sinn * bogen * t, r = r1 + t * (r2 - r1);
        x = f.i + r * std::cos(w);
        y = f.j + r * std::sin(w);
    };
    // The distance from the polyline's edge from point e, squared.
    const auto kante = [&](Index e, double x, double y) {
        const double ax = k.xWert[e], ay = k.yWert[e];
        const double dx = k.xWert[e + 1] - ax, dy = k.yWert[e + 1] - ay;
        const double l = dx * dx + dy * dy;
        const double t = l > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / l, 0.0, 1.0) : 0.0;
        const double ex = x - ax - t * dx, ey = y - ay - t * dy;
        return ex * ex + ey * ey;
    };
    // The edges in blocks of 16 with their bounding boxes: a block farther than
    // the nearest edge found so far is passed over.
    constexpr Index block = 16;
    struct Kasten {
        double x0, y0, x1, y1;
    };
    std::vector<Kasten> kaesten;
    for (Index e = von; e < bis; e += block) {
        Kasten kasten{k.xWert[e], k.yWert[e], k.xWert[e], k.yWert[e]};
        for (Index p = e + 1; p <= std::min(bis, e + block); ++p) {
            kasten.x0 = std::min(kasten.x0, k.xWert[p]);
            kasten.y0 = std::min(kasten.y0, k.yWert[p]);
            kasten.x1 = std::max(kasten.x1, k.xWert[p]);
            kasten.y1 = std::max(kasten.y1, k.yWert[p]);
        }
        kaesten.push_back(kasten);
    }
    const auto linienabstand = [&](double x, double y) {
        const double vx = x - k.xWert[von], vy = y - k.yWert[von];
        double d2 = vx * vx + vy * vy;
        for (std::size_t b = 0; b < kaesten.size(); ++b) {
            const Kasten& q = kaesten[b];
            const double dx = std::max({q.x0 - x, 0.0, x - q.x1});
            const double dy = std::max({q.y0 - y, 0.0, y - q.y1});
            if (dx * dx + dy * dy >= d2)
                continue;
            const Index e0 = von + static_cast<Index>(b) * block;
            for (Index e = e0; e < std::min(bis, e0 + block); ++e)
                d2 = std::min(d2, kante(e, x, y));
        }
        return std::sqrt(d2);
    };
    // A straight move between two consecutive points is their edge.
    if (f.art == Fahrt::Art::gerade && bis == von + 1)
        return true;
    // Pieces looked at, at most: moves longer than some 10^5 times the band are
    // only checked that far.
    constexpr int hoechstens = 200'000;
    int gesehen = 0;
    std::vector<std::pair<double, double>> stuecke{{0.0, 1.0}};
    while (!stuecke.empty() && ++gesehen <= hoechstens) {
        const auto [t0, t1] = stuecke.back();
        stuecke.pop_back();
        double x, y;
        ort((t0 + t1) / 2, x, y);
        const double halb = (t1 - t0) * laenge / 2, d = linienabstand(x, y);
        schlimmster = std::max(schlimmster, d);
        if (d > grenze)
            return false;
        if (d + halb <= grenze || halb < 1e-7)
            continue;
        stuecke.emplace_back(t0, (t0 + t1) / 2);
        stuecke.emplace_back((t0 + t1) / 2, t1);
    }
    return true;
}

void fahrwegPruefen(const Kontur& k, double fehl, const Fahrweg& weg, Bahnverfahren verfahren,
                    std::vector<std::string>& liste)
{
    Meldungen fehler(liste);
    const Index n = k.anzahl;
    if (!aufPunkt(k, 1, weg.startX, weg.startY))
        fehler("die Bahn beginnt nicht auf " + punktText(k, 1));
    // Where each move ends: the earliest later point that fits (if any order of
    // points fits the moves, this one does).
    std::vector<Index> endpunkt;
    Index j = 1;
    double sx = weg.startX, sy = weg.startY;
    for (std::size_t m = 0; m < weg.fahrten.size(); ++m) {
        const Fahrt& f = weg.fahrten[m];
        const std::string wo = "Fahrt " + std::to_string(m + 1);
        if (f.x == sx && f.y == sy)
            fehler(wo + ": Länge 0");
        if (f.art != Fahrt::Art::gerade)
            bogenPruefen(sx, sy, f, wo, fehler);
        Index p = j + 1;
        while (p <= n && !aufPunkt(k, p, f.x, f.y))
            ++p;
        if (p > n) {
            fehler(wo + " nach (" + std::to_string(f.x) + ", " + std::to_string(f.y)
                   + ") endet auf keinem Punkt nach Punkt " + std::to_string(j));
            return;
        }
        j = p;
        endpunkt.push_back(j);
        sx = f.x;
        sy = f.y;
    }
    if (!aufPunkt(k, n, sx, sy))
        fehler("die Bahn endet nicht auf dem letzten " + punktText(k, n));

    const double grenze = fehl + 0.0002;
    const auto abstand = [&](std::size_t m, Index p) {
        const double vx = m == 0 ? weg.startX : weg.fahrten[m - 1].x;
        const double vy = m == 0 ? weg.startY : weg.fahrten[m - 1].y;
        return fahrtAbstand(vx, vy, weg.fahrten[m], k.xWert[p], k.yWert[p]);
    };
    std::size_t m = 0;  // the move that reaches the point
    for (Index p = 1; p <= n; ++p) {
        while (m < endpunkt.size() && endpunkt[m] < p)
            ++m;
        const bool amStart = std::hypot(k.xWert[p] - weg.startX, k.yWert[p] - weg.startY) <= grenze;
        if (amStart || (m < endpunkt.size() && abstand(m, p) <= grenze))
            continue;
        double naechster = std::hypot(k.xWert[p] - weg.startX, k.yWert[p] - weg.startY);
        for (std::size_t a = 0; a < weg.fahrten.size() && naechster > grenze; ++a)
            naechster = std::min(naechster, abstand(a, p));
        if (naechster > grenze)
            fehler(punktText(k, p) + " liegt " + std::to_string(naechster)
                   + " von der Bahn, mehr als fehl + 0,0002");
    }
    if (verfahren != Bahnverfahren::kurz)
        return;
    for (std::size_t a = 0; a < endpunkt.size(); ++a) {
        const double vx = a == 0 ? weg.startX : weg.fahrten[a - 1].x;
        const double vy = a == 0 ? weg.startY : weg.fahrten[a - 1].y;
        // Where the points come back to a place, the move may end on a later
        // point of that place than the first one found.
        const Fahrt& f = weg.fahrten[a];
        const Index von = a == 0 ? 1 : endpunkt[a - 1];
        double schlimmster = 0;
        bool nah = false;
        for (Index bis = endpunkt[a]; bis <= n && !nah; ++bis)
            if (bis == endpunkt[a] || aufPunkt(k, bis, f.x, f.y))
                nah = naheDerLinie(k, von, bis, vx, vy, f, grenze, schlimmster);
        if (!nah)
            fehler("Fahrt " + std::to_string(a + 1) + " entfernt sich "
                   + std::to_string(schlimmster)
                   + " vom Linienzug ihrer Punkte, mehr als fehl + 0,0002");
    }
}

std::vector<std::string> programmPruefen(Dialekt dialekt, std::string_view text, const Kontur& k,
                                         const Programmerwartung& erwartung)
{
    std::vector<std::string> liste;
    Meldungen fehler(liste);
    Kopfangaben kopf;
    const bool klartext = dialekt == Dialekt::klartext;
    const Fahrweg weg = klartext ? klartextLesen(text, kopf, fehler) : dinLesen(text, kopf, fehler);
    if (!fehler.leer())
        return liste;

    char fehlText[64];
    const std::string fehlWort(
        fehlText, std::to_chars(fehlText, fehlText + sizeof fehlText, erwartung.fehl).ptr);
    const Bahnabschluss& b = erwartung.bahn;
    const std::string zaehlung =
        b.verfahren == Bahnverfahren::kette
            ? std::to_string(b.boegen)
                  + (b.boegen == 1 ? " Bogen" : (klartext ? " B\xF6gen" : " Boegen"))
            : std::to_string(b.elemente) + (b.elemente == 1 ? " Element" : " Elemente")
                  + (klartext ? " (kuerzeste Bahn)" : ", kuerzeste Bahn");
    const std::string kommentar =
        "Punktdatei " + erwartung.punktdatei + ", fehl " + fehlWort + ", " + zaehlung;
    if (kopf.kommentar != kommentar)
        fehler("Kommentar \"" + kopf.kommentar + "\" statt \"" + kommentar + "\"");
    if (klartext && kopf.programmname != erwartung.programmname)
        fehler("Programmname " + kopf.programmname + " statt " + erwartung.programmname);
    if (kopf.vorschub && *kopf.vorschub != erwartung.vorschub)
        fehler("Vorschub " + std::to_string(*kopf.vorschub));
    if (klartext) {
        const double minX = *std::min_element(k.xWert.begin() + 1, k.xWert.end());
        const double minY = *std::min_element(k.yWert.begin() + 1, k.yWert.end());
        const double maxX = *std::max_element(k.xWert.begin() + 1, k.xWert.end());
        const double maxY = *std::max_element(k.yWert.begin() + 1, k.yWert.end());
        const double soll[4] = {minX, minY, maxX, maxY};
        const double ist[4] = {kopf.blkMin[0], kopf.blkMin[1], kopf.blkMax[0], kopf.blkMax[1]};
        for (int i = 0; i < 4; ++i)
            if (std::fabs(ist[i] - soll[i]) > halbeStelle(soll[i]))
                fehler("BLK FORM: " + std::to_string(ist[i]) + " statt " + std::to_string(soll[i]));
    }
    if (b.verfahren == Bahnverfahren::kurz
        && weg.fahrten.size() != static_cast<std::size_t>(b.elemente))
        fehler(std::to_string(weg.fahrten.size()) + " Fahrten statt " + std::to_string(b.elemente)
               + " Elemente");
    fahrwegPruefen(k, erwartung.fehl, weg, b.verfahren, liste);
    return liste;
}

Bahnabschluss bahnAusgeben(const Kontur& k, double fehl, Bahnverfahren verfahren,
                           std::initializer_list<Bahnausgabe*> ausgaben, Korrektur korrektur)
{
    // The outputs learn what they were told through a recorder among them.
    struct Abschluss : Bahnausgabe {
        void beginnen(const Kontur&, double, const Toleranzband&) override {}
        void bahnBeginnen(Bahnpunkt) override {}
        void elementAufnehmen(Bahnpunkt, const Bahnelement&) override {}
        void abschliessen(const Bahnabschluss& a) override { abschluss = a; }
        Bahnabschluss abschluss;
    } abschluss;
    std::vector<Bahnausgabe*> alle(ausgaben);
    alle.push_back(&abschluss);
    Bahnlauf lauf(verfahren, korrektur, alle);
    lauf.beginnen(k, fehl);
    berechneKette(k, fehl, lauf);
    lauf.abschliessen();
    if (!lauf.ablehnungen().empty())
        throw Ablehnung(lauf.ablehnungen().front());
    lauf.freigeben();
    return abschluss.abschluss;
}

}  // namespace bogenkette
