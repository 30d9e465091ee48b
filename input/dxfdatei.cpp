#include "input/dxfdatei.h"

#include "common/fehler.h"
#include "input/bytequelle.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <istream>
#include <numbers>
#include <streambuf>
#include <vector>

namespace bogenkette {

namespace {

constexpr double viertelDrehung = std::numbers::pi / 2;

// The bytes of a source as a stream for dxflib, keeping the last few bytes read
// to see whether the drawing ends with its end marker.
class Quellpuffer : public std::streambuf {
public:
    explicit Quellpuffer(Bytequelle& quelle) : quelle_(quelle) {}

    // The first bytes not yet taken from the stream (a piece of it, at least one
    // byte unless it is empty).
    std::string_view vorschau()
    {
        if (gptr() == egptr())
            underflow();
        return {gptr(), static_cast<std::size_t>(egptr() - gptr())};
    }
    // The last bytes of the stream (at most sizeof ende_), once it is read through.
    std::string_view schluss() const { return {ende_.data(), endeLaenge_}; }

protected:
    int_type underflow() override
    {
        const std::size_t n = quelle_.lesen(puffer_.data(), puffer_.size());
        if (n == 0)
            return traits_type::eof();
        merken(n);
        setg(puffer_.data(), puffer_.data(), puffer_.data() + n);
        return traits_type::to_int_type(puffer_[0]);
    }

private:
    void merken(std::size_t n)
    {
        const std::size_t neu = std::min(n, ende_.size());
        const std::size_t alt = std::min(endeLaenge_, ende_.size() - neu);
        std::memmove(ende_.data(), ende_.data() + endeLaenge_ - alt, alt);
        std::memcpy(ende_.data() + alt, puffer_.data() + n - neu, neu);
        endeLaenge_ = alt + neu;
    }

    Bytequelle& quelle_;
    std::vector<char> puffer_ = std::vector<char>(1 << 16);
    std::array<char, 32> ende_{};
    std::size_t endeLaenge_ = 0;
};

// Whether the text ends with the group 0 / EOF (blanks and line ends around both).
bool endetMitEof(std::string_view schluss)
{
    const auto leer = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!schluss.empty() && leer(schluss.back()))
        schluss.remove_suffix(1);
    if (schluss.size() < 3 || schluss.substr(schluss.size() - 3) != "EOF")
        return false;
    schluss.remove_suffix(3);
    while (!schluss.empty() && leer(schluss.back()))
        schluss.remove_suffix(1);
    return !schluss.empty() && schluss.back() == '0';
}

struct Ecke {
    double x, y, bulge;
};

// One contour of the drawing: the number it has among them and, for the chosen
// one, its vertices.
struct Konturangabe {
    Index nummer = 0;
    int handle = -1;
    bool polylinie = false;
    bool geschlossen = false;
    std::vector<Ecke> ecken;
};

// Receives the drawing from dxflib: counts the contours and keeps the vertices
// of the one asked for.
class Konturleser : public DL_CreationAdapter {
public:
    explicit Konturleser(Index gesucht) : gesucht_(gesucht) {}

    Index konturen() const { return konturen_; }
    const Konturangabe& gewaehlt() const { return gewaehlt_; }

    void addBlock(const DL_BlockData&) override { imBlock_ = true; }
    void endBlock() override { imBlock_ = false; }

    void addPolyline(const DL_PolylineData& daten) override
    {
        inPolylinie_ = false;
        // A mesh (polygon or polyface) is a surface, no contour.
        if (!imModell() || (daten.flags & (16 | 64)) != 0)
            return;
        inPolylinie_ = true;
        beginnen(true, (daten.flags & 1) != 0);
    }

    void addVertex(const DL_VertexData& daten) override
    {
        if (inPolylinie_ && konturen_ == gesucht_)
            gewaehlt_.ecken.push_back({daten.x, daten.y, daten.bulge});
    }

    void addLine(const DL_LineData& daten) override
    {
        inPolylinie_ = false;
        if (!imModell())
            return;
        const bool weiter = ketteOffen_ && daten.x1 == ketteX_ && daten.y1 == ketteY_;
        if (!weiter) {
            beginnen(false, false);
            ketteNummer_ = konturen_;
            ketteOffen_ = true;
            if (ketteNummer_ == gesucht_)
                gewaehlt_.ecken.push_back({daten.x1, daten.y1, 0.0});
        }
        if (ketteNummer_ == gesucht_)
            gewaehlt_.ecken.push_back({daten.x2, daten.y2, 0.0});
        ketteX_ = daten.x2;
        ketteY_ = daten.y2;
    }

private:
    bool imModell() { return !imBlock_ && !getAttributes().isInPaperSpace(); }

    void beginnen(bool polylinie, bool geschlossen)
    {
        ++konturen_;
        if (konturen_ == gesucht_)
            gewaehlt_ = {konturen_, getAttributes().getHandle(), polylinie, geschlossen, {}};
    }

    const Index gesucht_;
    Index konturen_ = 0;
    Konturangabe gewaehlt_;
    bool imBlock_ = false;
    bool inPolylinie_ = false;
    bool ketteOffen_ = false;
    Index ketteNummer_ = 0;
    double ketteX_ = 0.0, ketteY_ = 0.0;
};

// Turns the vertices of the chosen contour into the point list, the arc
// segments expanded, every value checked against the report's columns.
class Punktbildung {
    // The arc from a vertex to the next one, where it has a bulge: centre, radius,
    // start direction and sweep, and the steps it is taken in (1: a straight piece).
    struct Bogenlage {
        double mx = 0, my = 0, r = 0, anfang = 0, winkel = 0;
        std::size_t schritte = 1;
    };

public:
    Punktbildung(const std::string& name, const Konturangabe& angabe, const Wertebereich& bereich,
                 double fehl)
        : name_(name), angabe_(angabe), bereich_(bereich), fehl_(fehl)
    {
        ecken_ = angabe.ecken;
        if (angabe.geschlossen && ecken_.size() > 1) {
            const Ecke& erste = ecken_.front();
            const Ecke& letzte = ecken_.back();
            if (erste.x != letzte.x || erste.y != letzte.y || letzte.bulge != 0.0)
                ecken_.push_back({erste.x, erste.y, 0.0});
        }
    }

    // Checks every vertex and sizes every arc first, so that the point list is
    // allocated once at its final size.
    Kontur punkte()
    {
        std::vector<Bogenlage> boegen;
        boegen.reserve(ecken_.size());
        Index anzahl = 0;
        for (std::size_t i = 0; i < ecken_.size(); ++i) {
            pruefen(ecken_[i].x, ecken_[i].y, i);
            boegen.push_back(bogenlage(i));
            anzahl += static_cast<Index>(boegen.back().schritte);
            if (anzahl > groessteDxfPunktzahl)
                zuVielePunkte(i);
        }
        Kontur kontur;
        kontur.anlegen(anzahl);
        Index k = 0;
        for (std::size_t i = 0; i < ecken_.size(); ++i) {
            setzen(kontur, ++k, ecken_[i].x, ecken_[i].y);
            bogenSetzen(kontur, k, boegen[i], i);
        }
        return kontur;
    }

private:
    // Where a message points: the file, the contour and, from 0, vertex `ecke`.
    std::string ort(std::size_t ecke) const
    {
        std::string text = "Punktdatei " + dateiname(name_) + ", Kontur "
                           + std::to_string(angabe_.nummer) + " ("
                           + (angabe_.polylinie ? "Polylinie" : "Linien");
        if (angabe_.handle >= 0) {
            char handle[24];
            std::snprintf(handle, sizeof handle, ", Handle %X", angabe_.handle);
            text += handle;
        }
        return text + "), Eckpunkt " + std::to_string(ecke + 1);
    }

    [[noreturn]] void zuVielePunkte(std::size_t ecke) const
    {
        throw Fehler(ort(ecke) + ": die Bögen der Kontur ergäben mehr als "
                     + std::to_string(groessteDxfPunktzahl) + " Punkte.");
    }

    void pruefen(double x, double y, std::size_t ecke) const
    {
        achsePruefen(x, "x", bereich_.x, ecke);
        achsePruefen(y, "y", bereich_.y, ecke);
    }

    void achsePruefen(double wert, const char* achse, const Achsenbereich& bereich,
                      std::size_t ecke) const
    {
        if (!std::isfinite(wert))
            throw Fehler(ort(ecke) + ": der " + achse + "-Wert ist keine Zahl.");
        if (!(wert >= bereich.min && wert <= bereich.max))
            throw Fehler(ort(ecke) + ": der " + achse
                         + "-Wert ist zu groß für seine Berichtsspalte (höchstens "
                         + std::to_string(bereich.zeichen) + " Zeichen).");
    }

    Bogenlage bogenlage(std::size_t i) const
    {
        Bogenlage b;
        if (i + 1 >= ecken_.size() || ecken_[i].bulge == 0.0)
            return b;
        const Ecke& p = ecken_[i];
        const Ecke& q = ecken_[i + 1];
        if (!std::isfinite(p.bulge))
            throw Fehler(ort(i) + ": die Wölbung (Bulge) ist keine Zahl.");
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double sehne = std::hypot(dx, dy);
        if (sehne == 0.0)
            return b;
        // The included angle is four times the arc tangent of the bulge, counter-
        // clockwise for a positive one; the centre lies on the chord's bisector.
        b.winkel = 4 * std::atan(p.bulge);
        b.r = sehne * (1 + p.bulge * p.bulge) / (4 * std::fabs(p.bulge));
        const double versatz = (1 - p.bulge * p.bulge) / (4 * p.bulge);
        b.mx = (p.x + q.x) / 2 - dy * versatz;
        b.my = (p.y + q.y) / 2 + dx * versatz;
        b.anfang = std::atan2(p.y - b.my, p.x - b.mx);
        // Each step's sagitta r (1 - cos(step / 2)) at most fehl / 4, and at most a
        // quarter turn.
        const double verhaeltnis = fehl_ / 4 / b.r;
        double schritt = viertelDrehung;
        if (verhaeltnis < 1)
            schritt = std::min(schritt, 2 * std::acos(1 - verhaeltnis));
        const double schritte = std::ceil(std::fabs(b.winkel) / schritt);
        if (!(schritte < static_cast<double>(groessteDxfPunktzahl)))
            zuVielePunkte(i);
        b.schritte = std::max<std::size_t>(1, static_cast<std::size_t>(schritte));
        return b;
    }

    // The points inside arc b from vertex i, after point k (vertex i).
    void bogenSetzen(Kontur& kontur, Index& k, const Bogenlage& b, std::size_t i) const
    {
        for (std::size_t s = 1; s < b.schritte; ++s) {
            const double w =
                b.anfang + b.winkel * static_cast<double>(s) / static_cast<double>(b.schritte);
            const double x = b.mx + b.r * std::cos(w), y = b.my + b.r * std::sin(w);
            pruefen(x, y, i);
            setzen(kontur, ++k, x, y);
        }
    }

    static void setzen(Kontur& kontur, Index k, double x, double y)
    {
        kontur.xWert[static_cast<std::size_t>(k)] = x;
        kontur.yWert[static_cast<std::size_t>(k)] = y;
    }

    const std::string& name_;
    const Konturangabe& angabe_;
    const Wertebereich& bereich_;
    const double fehl_;
    std::vector<Ecke> ecken_;
};

Dxfkontur lesen(Bytequelle& quelle, const std::string& name, const Wertebereich& bereich,
                double fehl, Index nummer)
{
    const std::string punktdatei = "Punktdatei " + dateiname(name);
    Quellpuffer puffer(quelle);
    std::istream strom(&puffer);
    Konturleser leser(nummer);
    // A binary DXF starts with this sentinel; dxflib reads text only.
    if (puffer.vorschau().starts_with("AutoCAD Binary DXF"))
        throw Fehler(punktdatei
                     + " ist eine binäre DXF-Datei; gelesen werden DXF-Dateien im Textformat "
                       "(ASCII).");
    DL_Dxf dxf;
    if (!dxf.in(strom, &leser))
        throw Fehler(punktdatei + " kann von dxflib nicht als DXF-Zeichnung gelesen werden.");
    if (!endetMitEof(puffer.schluss()))
        throw Fehler(punktdatei
                     + " endet nicht mit dem Abschluss einer DXF-Zeichnung (0 / EOF); sie ist "
                       "unvollständig oder beschädigt.");
    if (leser.konturen() == 0)
        throw Fehler(punktdatei
                     + " enthält keine Kontur: keine Polylinie (LWPOLYLINE, POLYLINE) und "
                       "keine Linie (LINE).");
    if (nummer < 1 || nummer > leser.konturen())
        throw Fehler(punktdatei + " enthält " + std::to_string(leser.konturen())
                     + (leser.konturen() == 1 ? " Kontur" : " Konturen") + ", keine Kontur "
                     + std::to_string(nummer) + ".");
    Dxfkontur ergebnis{Punktbildung(name, leser.gewaehlt(), bereich, fehl).punkte(),
                       leser.konturen()};
    const Index anzahl = ergebnis.kontur.anzahl;
    if (anzahl < 3)
        throw Fehler(punktdatei + ", Kontur " + std::to_string(nummer) + ": "
                     + std::to_string(anzahl) + (anzahl == 1 ? " Punkt" : " Punkte")
                     + "; für eine Kette von Bögen sind mindestens 3 Punkte nötig.");
    return ergebnis;
}

}  // namespace

bool istDxfName(const std::string& pfad)
{
    if (pfad.size() < 4)
        return false;
    std::string endung = pfad.substr(pfad.size() - 4);
    for (char& c : endung)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return endung == ".dxf";
}

Dxfkontur dxfLesen(const std::string& pfad, const Wertebereich& bereich, double fehl, Index nummer)
{
    Dateiquelle quelle(pfad);
    return lesen(quelle, pfad, bereich, fehl, nummer);
}

Dxfkontur dxfAusText(std::string_view inhalt, const std::string& name, const Wertebereich& bereich,
                     double fehl, Index nummer)
{
    Textquelle quelle(inhalt);
    return lesen(quelle, name, bereich, fehl, nummer);
}

}  // namespace bogenkette
