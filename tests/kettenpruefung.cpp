#include "kettenpruefung.h"

#include "report/zahlenformat.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace bogenkette {

namespace {

bool imBereich(const Feld& feld, Index i)
{
    return i >= 0 && static_cast<std::size_t>(i) < feld.size();
}

double punktX(const Kontur& k, Index p) { return k.xWert[static_cast<std::size_t>(p)]; }
double punktY(const Kontur& k, Index p) { return k.yWert[static_cast<std::size_t>(p)]; }

bool gleich(const Kreis& a, const Kreis& b) { return a.a == b.a && a.b == b.b && a.R == b.R; }

// The arc's circle passes through its first point, one of its points and its last.
bool kreisDurchBogenpunkte(const Kontur& k, const Bogenstueck& b)
{
    for (Index m = b.von; m <= b.bis; ++m) {
        const Kreis kreis = kreisDurch3Punkte(punktX(k, b.von), punktX(k, m), punktX(k, b.bis),
                                              punktY(k, b.von), punktY(k, m), punktY(k, b.bis));
        if (gleich(kreis, b.kreis))
            return true;
    }
    return false;
}

class Meldungen {
public:
    explicit Meldungen(std::vector<std::string>& ziel) : ziel_(ziel) {}
    void operator()(const std::string& text)
    {
        if (ziel_.size() < 20)
            ziel_.push_back(text);
    }

private:
    std::vector<std::string>& ziel_;
};

std::string bogenName(std::size_t i, const Bogenstueck& b)
{
    return "Bogen " + std::to_string(i + 1) + " (Punkte " + std::to_string(b.von) + " bis "
           + std::to_string(b.bis) + ", Kreis " + std::to_string(b.c) + ")";
}

// Rows and blocks grouped into arcs; rows must run on point by point.
std::vector<Bogenstueck> gruppieren(const Kontur& k, const std::vector<Kettenschritt>& schritte,
                                    Meldungen& fehler)
{
    std::vector<Bogenstueck> boegen;
    Bogenstueck aktuell;
    bool offen = false;
    for (const Kettenschritt& s : schritte) {
        const std::string wo = "Schritt " + std::to_string(&s - schritte.data());
        if (s.c < 0 || s.c > k.anzahl - 3)
            fehler(wo + ": Kreisindex " + std::to_string(s.c) + " außerhalb 0 bis anzahl - 3");
        if (s.block) {
            if (!offen)
                fehler(wo + ": Bogenblock ohne Zeilen");
            else if (s.c != aktuell.c)
                fehler(wo + ": Bogenblock mit anderem Kreis als seine Zeilen");
            aktuell.kreis = s.kreis;
            if (offen)
                boegen.push_back(aktuell);
            offen = false;
            continue;
        }
        if (s.p < 1 || s.p > k.anzahl)
            fehler(wo + ": Punkt " + std::to_string(s.p) + " außerhalb 1 bis anzahl");
        if (!offen) {
            aktuell = {s.p, s.p, s.c, {}, Bogenstueck::Bogen};
            offen = true;
            continue;
        }
        if (s.p != aktuell.bis + 1)
            fehler(wo + ": Punkt " + std::to_string(s.p) + " folgt nicht auf Punkt "
                   + std::to_string(aktuell.bis));
        if (s.c != aktuell.c)
            fehler(wo + ": Zeilen eines Bogens mit verschiedenen Kreisen");
        aktuell.bis = s.p;
    }
    if (offen)
        fehler("Zeilen nach dem letzten Bogenblock");
    return boegen;
}

// Which kind of piece arc i is, and whether it joins the one before as it must.
void artBestimmen(const Kontur& k, std::vector<Bogenstueck>& boegen, std::size_t i,
                  Meldungen& fehler)
{
    Bogenstueck& b = boegen[i];
    const bool letzter = i + 1 == boegen.size();
    const Index n = k.anzahl;
    if (i == 0) {
        if (b.von != 1)
            fehler(bogenName(i, b) + ": die Kette beginnt nicht mit Punkt 1");
    } else {
        const Bogenstueck& vorher = boegen[i - 1];
        if (letzter && b.von == n - 2 && vorher.bis == n - 1) {
            b.art = Bogenstueck::Schluss;
            if (b.c != vorher.c)
                fehler(bogenName(i, b) + ": letzter Bogen nicht am Kreisindex des Bogens davor");
            return;
        }
        if (b.von != vorher.bis)
            fehler(bogenName(i, b) + ": beginnt nicht am letzten Punkt des Bogens davor");
    }
    const Index laenge = b.bis - b.von + 1;
    if (laenge == 2) {
        b.art = Bogenstueck::Gerade;
        if (b.c != 0 || !gleich(b.kreis, {kollinearWert, kollinearWert, kollinearWert}))
            fehler(bogenName(i, b) + ": Stück aus zwei Punkten nicht gegen den Kreis 1e9 an Index 0");
    } else if (laenge < 2 || b.c != laenge - 3) {
        fehler(bogenName(i, b) + ": Kreisindex passt nicht zur Zahl der Punkte");
    }
}

void bogenPruefen(const Kontur& k, double fehl, const Bogenstueck& b, std::size_t i,
                  Meldungen& fehler)
{
    const Index n = k.anzahl;
    if (!(b.kreis.R >= 0.0))
        fehler(bogenName(i, b) + ": Radius negativ oder keine Zahl");
    if (b.art == Bogenstueck::Schluss) {
        if (!gleich(b.kreis, kreisDurch3Punkte(punktX(k, n - 2), punktX(k, n - 1), punktX(k, n),
                                               punktY(k, n - 2), punktY(k, n - 1), punktY(k, n))))
            fehler(bogenName(i, b) + ": letzter Kreis nicht durch die letzten drei Punkte");
        return;
    }
    if (b.art != Bogenstueck::Bogen)
        return;
    if (!kreisDurchBogenpunkte(k, b))
        fehler(bogenName(i, b) + ": Kreis nicht durch Anfang, einen Punkt und Ende des Bogens");
    for (Index p = b.von; p <= b.bis; ++p) {
        const double dx = punktX(k, p) - b.kreis.a;
        const double dy = punktY(k, p) - b.kreis.b;
        const double abweichung = std::fabs(std::sqrt(dx * dx + dy * dy) - b.kreis.R);
        if (!(abweichung <= fehl))
            fehler(bogenName(i, b) + ": Punkt " + std::to_string(p) + " weicht um "
                   + std::to_string(abweichung) + " ab, mehr als fehl");
    }
}

std::vector<std::string_view> zeilenTeilen(std::string_view text, Meldungen& fehler)
{
    std::vector<std::string_view> zeilen;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t ende = text.find("\r\n", pos);
        if (ende == std::string_view::npos) {
            fehler("letzte Zeile ohne CR LF");
            break;
        }
        const std::string_view zeile = text.substr(pos, ende - pos);
        if (zeile.find_first_of("\r\n") != std::string_view::npos)
            fehler("Zeile " + std::to_string(zeilen.size() + 1) + " enthält ein einzelnes CR oder LF");
        zeilen.push_back(zeile);
        pos = ende + 2;
    }
    return zeilen;
}

// Header: 17 lines of the fixed lengths; line 4 states fehl.
void kopfPruefen(const std::vector<std::string_view>& zeilen, double fehl,
                 const Zahlenformat& format, Meldungen& fehler)
{
    const std::string zeile4 = " Berechnung f\xFCr Fehlergrenze:  " + format.allgemein(fehl) + " ";
    const std::size_t laengen[17] = {64, 63, 0, zeile4.size(), 61, 57, 45, 0, 24,
                                     55, 55, 76, 74, 0, 0, 66, 0};
    if (zeilen.size() < 17) {
        fehler("weniger als 17 Kopfzeilen");
        return;
    }
    for (std::size_t i = 0; i < 17; ++i)
        if (zeilen[i].size() != laengen[i])
            fehler("Kopfzeile " + std::to_string(i + 1) + " hat " + std::to_string(zeilen[i].size())
                   + " statt " + std::to_string(laengen[i]) + " Zeichen");
    if (zeilen[3] != zeile4)
        fehler("Kopfzeile 4 nennt nicht fehl: " + std::string(zeilen[3]));
}

void blockPruefen(const std::vector<std::string_view>& zeilen, std::size_t z, const Kreis& kreis,
                  const Zahlenformat& format, Meldungen& fehler)
{
    const std::string werte[3] = {"a = " + format.dreiStellen(kreis.a),
                                  "b = " + format.dreiStellen(kreis.b),
                                  "R = " + format.dreiStellen(kreis.R)};
    const std::string wo = "Bogenblock ab Zeile " + std::to_string(z + 1);
    if (!zeilen[z].empty() || !zeilen[z + 4].empty())
        fehler(wo + ": erste oder letzte Zeile nicht leer");
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string_view zeile = zeilen[z + 1 + i];
        if (zeile.size() != 36 + werte[i].size() || zeile.substr(36) != werte[i])
            fehler(wo + ": \"" + std::string(zeile) + "\" endet nicht auf \"" + werte[i]
                   + "\" ab Spalte 37");
    }
}

}  // namespace

void Kettenmitschrift::zeileSchreiben(Index p, Index c)
{
    schritte.push_back({false, p, c, {}});
    ziel_.zeileSchreiben(p, c);
}

void Kettenmitschrift::kreisblockSchreiben(Index c)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Kreis kreis{nan, nan, nan};
    if (imBereich(k_.kreisA, c)) {
        const auto i = static_cast<std::size_t>(c);
        kreis = {k_.kreisA[i], k_.kreisB[i], k_.kreisR[i]};
    }
    schritte.push_back({true, 0, c, kreis});
    ziel_.kreisblockSchreiben(c);
}

std::vector<Bogenstueck> kettePruefen(const Kontur& k, double fehl,
                                      const std::vector<Kettenschritt>& schritte,
                                      std::vector<std::string>& fehlerliste)
{
    Meldungen fehler(fehlerliste);
    std::vector<Bogenstueck> boegen = gruppieren(k, schritte, fehler);
    if (!fehlerliste.empty())
        return boegen;
    if (boegen.empty()) {
        fehler("keine Bögen");
        return boegen;
    }
    for (std::size_t i = 0; i < boegen.size(); ++i) {
        artBestimmen(k, boegen, i, fehler);
        bogenPruefen(k, fehl, boegen[i], i, fehler);
    }
    const Bogenstueck& letzter = boegen.back();
    if (letzter.bis != k.anzahl)
        fehler("der letzte Bogen endet nicht am letzten Punkt");
    if (letzter.art == Bogenstueck::Gerade)
        fehler("die Kette endet mit einem Stück aus zwei Punkten");
    for (std::size_t i = 0; i + 1 < boegen.size(); ++i)
        if (boegen[i].bis == k.anzahl)
            fehler(bogenName(i, boegen[i]) + ": erreicht den letzten Punkt, doch es folgt ein Bogen");
    return boegen;
}

std::string erwarteteZeile(const Kontur& k, Index p, const Kreis& kreis, const Zahlenformat& format)
{
    const double x = punktX(k, p), y = punktY(k, p);
    const double radienfehler =
        std::sqrt((y - kreis.b) * (y - kreis.b) + (x - kreis.a) * (x - kreis.a)) - kreis.R;
    const double w = winkel(y - kreis.b, x - kreis.a);
    if (!std::isfinite(radienfehler) || !std::isfinite(w))
        return {};
    std::string zeile(80, ' ');
    const std::pair<double, std::size_t> felder[] = {{x, 14}, {y, 29}, {radienfehler, 44}, {w, 64}};
    for (const auto& [wert, letzteSpalte] : felder) {
        const std::string text = format.dreiStellen(wert);
        if (text.size() > letzteSpalte)
            return {};
        zeile.replace(letzteSpalte - text.size(), text.size(), text);
    }
    return zeile;
}

std::vector<std::string> ketteUndBerichtPruefen(const Kontur& k, double fehl,
                                                const Zahlenformat& format,
                                                const std::vector<Kettenschritt>& schritte,
                                                std::string_view bericht)
{
    std::vector<std::string> fehlerliste;
    const std::vector<Bogenstueck> boegen = kettePruefen(k, fehl, schritte, fehlerliste);
    if (!fehlerliste.empty())
        return fehlerliste;
    Meldungen fehler(fehlerliste);
    const std::vector<std::string_view> zeilen = zeilenTeilen(bericht, fehler);
    kopfPruefen(zeilen, fehl, format, fehler);

    std::size_t z = 17;
    for (const Bogenstueck& b : boegen) {
        if (z + static_cast<std::size_t>(b.bis - b.von + 1) + 5 > zeilen.size()) {
            fehler("der Bericht endet vor dem Bogen ab Punkt " + std::to_string(b.von));
            return fehlerliste;
        }
        for (Index p = b.von; p <= b.bis; ++p, ++z) {
            const std::string erwartet = erwarteteZeile(k, p, b.kreis, format);
            if (zeilen[z] != erwartet)
                fehler("Zeile " + std::to_string(z + 1) + " von Punkt " + std::to_string(p) + ": \""
                       + std::string(zeilen[z]) + "\" statt \"" + erwartet + "\"");
        }
        blockPruefen(zeilen, z, b.kreis, format, fehler);
        z += 5;
    }
    if (z < zeilen.size())
        fehler("nach dem letzten Bogenblock folgen noch " + std::to_string(zeilen.size() - z)
               + " Zeilen");
    return fehlerliste;
}

}  // namespace bogenkette
