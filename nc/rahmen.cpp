#include "nc/rahmen.h"

#include <charconv>

namespace bogenkette {

namespace {

std::string wort(std::string_view buchstabe, std::int64_t zehntausendstel, bool plus)
{
    return koordinatenwort(buchstabe, zehntausendstel, plus);
}

std::string ort(Bahnpunkt p, bool plus) { return wort(" X", p.x, plus) + wort(" Y", p.y, plus); }

std::string hoehe(double z, bool plus) { return wort(" Z", zehntausendstel(z), plus); }

// The centre of an arc from `von` relative to its start, as din writes it.
std::string mitteRelativ(Bahnpunkt von, Bahnpunkt mitte)
{
    return wort(" I", mitte.x - von.x, false) + wort(" J", mitte.y - von.y, false);
}

const char* dinBogen(Bahnelement::Art sinn)
{
    return sinn == Bahnelement::Art::links ? "G3" : "G2";
}

}  // namespace

std::string koordinatenwort(std::string_view buchstabe, std::int64_t zehntausendstel, bool plus)
{
    char puffer[maxBahnzahltext];
    return std::string(buchstabe)
           + std::string(puffer, bahnzahlSchreiben(zehntausendstel, puffer, plus));
}

std::string zahlwort(double wert)
{
    char puffer[64];
    char* ende =
        std::to_chars(puffer, puffer + sizeof puffer, wert, std::chars_format::fixed, 4).ptr;
    while (ende[-1] == '0')
        --ende;
    if (ende[-1] == '.')
        --ende;
    return std::string(puffer, ende);
}

Rahmen::Rahmen(const Bearbeitung& bearbeitung, double vorschub)
    : bearbeitung_(bearbeitung), vorschub_(" F" + zahlwort(vorschub)),
      zustellung_(" F" + zahlwort(bearbeitung.zustellungBei(vorschub)))
{
}

std::vector<std::string> Rahmen::klartextKopf(const Rahmenlage& lage, Bahnpunkt anfang) const
{
    const Bearbeitung& b = bearbeitung_;
    std::vector<std::string> saetze{
        std::string("TOOL CALL ") + std::to_string(b.werkzeug) + " Z S" + zahlwort(b.drehzahl),
        std::string("L") + hoehe(b.sicher, true) + " R0 FMAX M3",
        std::string("L") + ort(lage.start, true) + " R0 FMAX",
        std::string("L") + hoehe(-b.tiefe, true) + " R0" + zustellung_,
    };
    if (mitKorrektur())
        saetze.push_back(std::string("APPR LCT") + ort(anfang, true)
                         + wort(" R", lage.anRadius, false)
                         + (b.korrektur == Korrektur::links ? " RL" : " RR") + vorschub_);
    return saetze;
}

std::vector<std::string> Rahmen::klartextSchluss(const Rahmenlage& lage) const
{
    std::vector<std::string> saetze;
    if (mitKorrektur())
        saetze.push_back(std::string("DEP LCT") + ort(lage.ziel, true)
                         + wort(" R", lage.abRadius, false) + vorschub_);
    saetze.push_back(std::string("L") + hoehe(bearbeitung_.sicher, true) + " R0 FMAX M2");
    return saetze;
}

std::vector<std::string> Rahmen::dinKopf(const Rahmenlage& lage, Bahnpunkt anfang) const
{
    const Bearbeitung& b = bearbeitung_;
    std::vector<std::string> saetze{
        std::string("T") + std::to_string(b.werkzeug) + " M6",
        std::string("S") + zahlwort(b.drehzahl) + " M3",
        std::string("G0") + hoehe(b.sicher, false),
        std::string("G0") + ort(lage.start, false),
        std::string("G1") + hoehe(-b.tiefe, false) + zustellung_,
    };
    if (mitKorrektur()) {
        saetze.push_back(std::string("G1 ") + (b.korrektur == Korrektur::links ? "G41" : "G42")
                         + " D" + std::to_string(b.werkzeug) + ort(lage.anHilfe, false)
                         + vorschub_);
        saetze.push_back(std::string(dinBogen(lage.sinn)) + ort(anfang, false)
                         + mitteRelativ(lage.anHilfe, lage.anMitte));
    }
    return saetze;
}

std::vector<std::string> Rahmen::dinSchluss(const Rahmenlage& lage, Bahnpunkt ende) const
{
    std::vector<std::string> saetze;
    if (mitKorrektur()) {
        saetze.push_back(std::string(dinBogen(lage.sinn)) + ort(lage.abHilfe, false)
                         + mitteRelativ(ende, lage.abMitte));
        saetze.push_back(std::string("G40 G1") + ort(lage.ziel, false));
    }
    saetze.push_back(std::string("G0") + hoehe(bearbeitung_.sicher, false));
    saetze.push_back("M5");
    return saetze;
}

}  // namespace bogenkette
