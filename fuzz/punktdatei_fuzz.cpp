// Fuzz target: the point file reader on any bytes. An accepted file has at least
// three points, one for each line that holds more than blanks and tabs, each value
// finite, equal to what the C library reads from its field, and short enough for
// its report column; a refused file is refused with a message naming it.
#include "fuzzhilfe.h"

#include "common/fehler.h"
#include "input/punktdatei.h"
#include "report/bericht.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

using namespace bogenkette;

namespace {

std::string_view getrimmt(std::string_view text)
{
    const auto anfang = text.find_first_not_of(" \t");
    if (anfang == std::string_view::npos)
        return {};
    return text.substr(anfang, text.find_last_not_of(" \t") - anfang + 1);
}

// The lines of the text as the format defines them (ends CR LF, LF or CR; a
// UTF-8 byte-order mark at the start is none of the first line).
std::vector<std::string_view> zeilen(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> liste;
    while (!text.empty()) {
        const auto ende = text.find_first_of("\r\n");
        liste.push_back(text.substr(0, ende));
        if (ende == std::string_view::npos)
            break;
        const bool crlf = text.substr(ende, 2) == "\r\n";
        text.remove_prefix(ende + (crlf ? 2 : 1));
    }
    return liste;
}

// The value the C library reads from a whole field; `gelesen` is false when it
// stops before the field's end.
double cWert(std::string_view feld, bool& gelesen)
{
    const std::string text(feld);
    char* ende = nullptr;
    const double wert = std::strtod(text.c_str(), &ende);
    gelesen = ende == text.c_str() + text.size();
    return wert;
}

void wertPruefen(std::string_view feld, double wert, std::size_t spalte, const Zahlenformat& format,
                 const std::string& wo)
{
    bool gelesen = false;
    const double erwartet = cWert(feld, gelesen);
    verlangen(gelesen, wo + ": die C-Bibliothek liest \"" + std::string(feld) + "\" nicht ganz");
    // A value below the smallest normal double may be read as 0.
    const bool gleich = wert == erwartet || (std::fabs(erwartet) < 2.3e-308 && wert == 0.0);
    verlangen(gleich && std::isfinite(wert),
              wo + ": \"" + std::string(feld) + "\" gelesen als " + std::to_string(wert));
    verlangen(format.dreiStellen(wert).size() <= spalte, wo + ": Text zu lang für seine Spalte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider eingabe(daten, groesse);
    const Zahlenformat& format = fuzzFormat(eingabe);
    const std::string text = eingabe.ConsumeRemainingBytesAsString();
    Kontur k;
    try {
        k = punkteAusText(text, "fuzz.spl", wertebereich(format));
    } catch (const Fehler& f) {
        verlangen(std::string_view(f.what()).find("\"fuzz.spl\"") != std::string_view::npos,
                  std::string("Meldung ohne Dateinamen: ") + f.what());
        return 0;
    }
    verlangen(k.anzahl >= 3, "weniger als 3 Punkte angenommen");
    const auto n = static_cast<std::size_t>(k.anzahl) + 1;
    verlangen(k.xWert.size() == n && k.yWert.size() == n, "Felder nicht für 0 bis anzahl angelegt");
    verlangen(k.xWert[0] == 0.0 && k.yWert[0] == 0.0, "Element 0 beschrieben");

    Index punkt = 0;
    for (const std::string_view zeile : zeilen(text)) {
        const std::string_view inhalt = getrimmt(zeile);
        if (inhalt.empty())
            continue;
        ++punkt;
        const std::string wo = "Punkt " + std::to_string(punkt);
        verlangen(punkt <= k.anzahl, wo + ": mehr Zeilen mit Inhalt als Punkte");
        const auto komma = inhalt.find(',');
        verlangen(komma != std::string_view::npos, wo + ": Zeile ohne Komma angenommen");
        const auto i = static_cast<std::size_t>(punkt);
        wertPruefen(getrimmt(inhalt.substr(0, komma)), k.xWert[i], 14, format, wo + " x");
        wertPruefen(getrimmt(inhalt.substr(komma + 1)), k.yWert[i], 29, format, wo + " y");
    }
    verlangen(punkt == k.anzahl, "weniger Zeilen mit Inhalt als Punkte");
    return 0;
}
