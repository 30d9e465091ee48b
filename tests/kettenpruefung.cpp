#include "kettenpruefung.h"

#include "report/zahlenformat.h"

#include <cmath>
#include <cstring>

namespace bogenkette {

namespace {

double punktX(const Kontur& k, Index p) { return k.xWert[static_cast<std::size_t>(p)]; }
double punktY(const Kontur& k, Index p) { return k.yWert[static_cast<std::size_t>(p)]; }

bool gleich(const Kreis& a, const Kreis& b)
{
    return a.a == b.a && a.b == b.b && a.R == b.R && a.entartet == b.entartet;
}

// The arc's circle passes through its first point, one of its points and its last.
bool kreisDurchBogenpunkte(const Kontur& k, const Bogen& b)
{
    for (Index m = b.von; m <= b.bis; ++m) {
        const Kreis kreis = kreisDurch3Punkte(punktX(k, b.von), punktX(k, m), punktX(k, b.bis),
                                              punktY(k, b.von), punktY(k, m), punktY(k, b.bis));
        if (gleich(kreis, b.kreis))
            return true;
    }
    return false;
}

std::string bogenName(std::size_t i, const Bogen& b)
{
    return "Bogen " + std::to_string(i + 1) + " (Punkte " + std::to_string(b.von) + " bis "
           + std::to_string(b.bis) + ")";
}

// The kind piece i must have by where it stands, and whether it joins the one
// before as it must.
void artPruefen(const Kontur& k, const std::vector<Bogen>& boegen, std::size_t i, Meldungen& fehler)
{
    const Bogen& b = boegen[i];
    const bool letzter = i + 1 == boegen.size();
    const Index n = k.anzahl;
    Bogen::Art art = Bogen::Art::kreisbogen;
    if (b.von < 1 || b.bis > n || b.bis <= b.von)
        fehler(bogenName(i, b) + ": Punkte außerhalb 1 bis anzahl oder weniger als zwei");
    if (i == 0 && b.von != 1)
        fehler(bogenName(i, b) + ": die Kette beginnt nicht mit Punkt 1");
    if (i > 0 && letzter && b.von == n - 2 && boegen[i - 1].bis == n - 1)
        art = Bogen::Art::schluss;
    else if (i > 0 && b.von != boegen[i - 1].bis)
        fehler(bogenName(i, b) + ": beginnt nicht am letzten Punkt des Bogens davor");
    if (art != Bogen::Art::schluss && b.bis - b.von == 1)
        art = Bogen::Art::gerade;
    if (b.art != art)
        fehler(bogenName(i, b) + ": falsche Art " + std::to_string(static_cast<int>(b.art)));
    if (art == Bogen::Art::gerade && !gleich(b.kreis, entarteterKreis))
        fehler(bogenName(i, b) + ": Stück aus zwei Punkten nicht gegen den Kreis 1e9");
    if (b.kreis.entartet && !gleich(b.kreis, entarteterKreis))
        fehler(bogenName(i, b) + ": als entartet bezeichneter Kreis ist nicht der Kreis 1e9");
}

void bogenPruefen(const Kontur& k, double fehl, const Bogen& b, std::size_t i, Meldungen& fehler)
{
    const Index n = k.anzahl;
    if (!(b.kreis.R >= 0.0))
        fehler(bogenName(i, b) + ": Radius negativ oder keine Zahl");
    if (b.art == Bogen::Art::schluss) {
        if (!gleich(b.kreis, kreisDurch3Punkte(punktX(k, n - 2), punktX(k, n - 1), punktX(k, n),
                                               punktY(k, n - 2), punktY(k, n - 1), punktY(k, n))))
            fehler(bogenName(i, b) + ": letzter Kreis nicht durch die letzten drei Punkte");
        return;
    }
    if (b.art != Bogen::Art::kreisbogen)
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
            fehler("Zeile " + std::to_string(zeilen.size() + 1)
                   + " enthält ein einzelnes CR oder LF");
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
    const std::size_t laengen[17] = {64, 63, 0, zeile4.size(), 61, 57, 45, 0, 24, 55, 55, 76, 74, 0,
                                     0,  66, 0};
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

void kettePruefen(const Kontur& k, double fehl, const std::vector<Bogen>& boegen,
                  std::vector<std::string>& fehlerliste)
{
    Meldungen fehler(fehlerliste);
    if (boegen.empty()) {
        fehler("keine Bögen");
        return;
    }
    for (std::size_t i = 0; i < boegen.size(); ++i) {
        artPruefen(k, boegen, i, fehler);
        if (fehlerliste.empty())
            bogenPruefen(k, fehl, boegen[i], i, fehler);
    }
    const Bogen& letzter = boegen.back();
    if (letzter.bis != k.anzahl)
        fehler("der letzte Bogen endet nicht am letzten Punkt");
    if (letzter.art == Bogen::Art::gerade)
        fehler("die Kette endet mit einem Stück aus zwei Punkten");
    for (std::size_t i = 0; i + 1 < boegen.size(); ++i)
        if (boegen[i].bis == k.anzahl)
            fehler(bogenName(i, boegen[i])
                   + ": erreicht den letzten Punkt, doch es folgt ein Bogen");
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
                                                const std::vector<Bogen>& boegen,
                                                std::string_view bericht)
{
    std::vector<std::string> fehlerliste;
    kettePruefen(k, fehl, boegen, fehlerliste);
    if (!fehlerliste.empty())
        return fehlerliste;
    Meldungen fehler(fehlerliste);
    const std::vector<std::string_view> zeilen = zeilenTeilen(bericht, fehler);
    kopfPruefen(zeilen, fehl, format, fehler);

    std::size_t z = 17;
    for (const Bogen& b : boegen) {
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
