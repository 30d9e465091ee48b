#include "nc/bearbeitung.h"

#include "input/punktdatei.h"
#include "nc/ncprogramm.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace bogenkette {

namespace {

// Lengths and speeds a program writes with four decimals.
constexpr double kleinsterWert = 0.0001;
constexpr double groessterWert = 99999.9999;
constexpr int groessteWerkzeugnummer = 32767;
constexpr double kleinsterWerkzeugradius = 0.01;
constexpr double groessterWerkzeugradius = 9999.9999;

std::string zahltext(double wert)
{
    char puffer[64];
    return std::string(puffer, std::to_chars(puffer, puffer + sizeof puffer, wert).ptr);
}

// A number from `von` to `bis`, or the complaint about the text.
std::optional<std::string> wertLesen(const std::string& text, double von, double bis,
                                     const char* was, const char* einheit, double& wert)
{
    double zahl = 0;
    if (zahlLesen(text, zahl) && zahl >= von && zahl <= bis) {
        wert = zahl;
        return std::nullopt;
    }
    return std::string("ist ") + was + " von " + zahltext(von) + " bis " + zahltext(bis) + " "
           + einheit;
}

std::optional<std::string> werkzeugLesen(const std::string& text, int& werkzeug)
{
    int nummer = 0;
    const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), nummer);
    if (fehler == std::errc() && ende == text.data() + text.size() && nummer >= 1
        && nummer <= groessteWerkzeugnummer) {
        werkzeug = nummer;
        return std::nullopt;
    }
    return "ist keine Werkzeugnummer von 1 bis " + std::to_string(groessteWerkzeugnummer);
}

}  // namespace

const char* korrekturText(Korrektur korrektur)
{
    switch (korrektur) {
    case Korrektur::links: return "links";
    case Korrektur::rechts: return "rechts";
    case Korrektur::aus: break;
    }
    return "aus";
}

double Bearbeitung::zustellungBei(double vorschub) const
{
    return zustellung.value_or(std::max(kleinsterVorschub, vorschub / 3));
}

std::optional<std::string> bearbeitungSetzen(Bearbeitung& b, std::string_view name,
                                             const std::string& text)
{
    double wert = 0;
    std::optional<std::string> fehler;
    if (name == "werkzeug")
        return werkzeugLesen(text, b.werkzeug);
    if (name == "drehzahl")
        return wertLesen(text, kleinsterWert, groessterWert, "keine Drehzahl", "1/min", b.drehzahl);
    if (name == "tiefe")
        return wertLesen(text, kleinsterWert, groessterWert, "keine Tiefe", "mm", b.tiefe);
    if (name == "sicher")
        return wertLesen(text, kleinsterWert, groessterWert, "keine sichere Höhe", "mm", b.sicher);
    if (name == "zustellung") {
        fehler =
            wertLesen(text, kleinsterVorschub, groessterVorschub, "kein Vorschub", "mm/min", wert);
        if (!fehler)
            b.zustellung = wert;
        return fehler;
    }
    if (name == "werkzeugradius") {
        fehler = wertLesen(text, kleinsterWerkzeugradius, groessterWerkzeugradius,
                           "kein Werkzeugradius", "mm", wert);
        if (!fehler)
            b.werkzeugradius = wert;
        return fehler;
    }
    for (const Korrektur k : {Korrektur::links, Korrektur::rechts, Korrektur::aus})
        if (text == korrekturText(k)) {
            b.korrektur = k;
            return std::nullopt;
        }
    return std::string("ist keine Seite der Korrektur (links, rechts oder aus)");
}

std::optional<std::string> bearbeitungText(const Bearbeitung& b, std::string_view name)
{
    if (name == "werkzeug")
        return std::to_string(b.werkzeug);
    if (name == "drehzahl")
        return zahltext(b.drehzahl);
    if (name == "tiefe")
        return zahltext(b.tiefe);
    if (name == "sicher")
        return zahltext(b.sicher);
    if (name == "zustellung")
        return b.zustellung ? std::optional(zahltext(*b.zustellung)) : std::nullopt;
    if (name == "werkzeugradius")
        return b.werkzeugradius ? std::optional(zahltext(*b.werkzeugradius)) : std::nullopt;
    return korrekturText(b.korrektur);
}

bool radiusFehlt(const Bearbeitung& b)
{
    return b.korrektur != Korrektur::aus && !b.werkzeugradius;
}

std::string deutscheZahl(double wert)
{
    std::string text = zahltext(wert);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

}  // namespace bogenkette
