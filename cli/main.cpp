// bogenkette-cli: converts a point file into the arc chain report without the
// window, for batch use.
//
//   bogenkette-cli [--fehl WERT] [--locale NAME] [-o BERICHT] PUNKTDATEI
//
// Exit status 0 on success, 1 when the input is rejected or a file cannot be read
// or written (no report is left behind), 2 for a wrong command line.

#include "run/berechnungslauf.h"
#include "run/berichtspfad.h"
#include "common/fehler.h"
#include "input/punktdatei.h"
#include "report/ausgabe.h"
#include "report/zahlenformat.h"

#include <QLocale>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <new>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

using namespace bogenkette;

namespace {

const char* const benutzung =
    "Aufruf: bogenkette-cli [--fehl WERT] [--locale NAME] [-o BERICHT] PUNKTDATEI\n"
    "\n"
    "Ersetzt die Punkte der Punktdatei (eine Zeile x,y je Punkt) durch eine Kette von\n"
    "Kreisbögen und schreibt den Bericht (Windows-1252, CR LF).\n"
    "\n"
    "  --fehl WERT     zulässiger Konturfehler, eine positive Zahl (Vorgabe 0.05)\n"
    "  --locale NAME   regionale Zahlenformate, z. B. de_DE (Vorgabe: die des Systems,\n"
    "                  deutsche, wenn keine eingestellt sind)\n"
    "  -o BERICHT      Name des Berichts (Vorgabe: PUNKTDATEI mit der Endung TXT)\n"
    "  --help          zeigt diese Hilfe\n"
    "\n"
    "Rückgabewert: 0 Erfolg, 1 Eingabe abgelehnt oder Datei nicht les-/schreibbar,\n"
    "2 falscher Aufruf.\n";

struct Aufruf {
    std::optional<double> fehl;  // standardFehl when not given
    std::optional<std::string> locale;
    std::string bericht;
    std::string punktdatei;
};

[[noreturn]] void falscherAufruf(const std::string& grund)
{
    std::fprintf(stderr, "bogenkette-cli: %s\n\n%s", grund.c_str(), benutzung);
    std::exit(2);
}

Aufruf aufrufLesen(int argc, char** argv)
{
    Aufruf aufruf;
    bool nurDateien = false;
    bool dateiGesehen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto wertNach = [&](std::string_view option) -> std::string {
            if (i + 1 >= argc)
                falscherAufruf(std::string(option) + " braucht einen Wert.");
            return argv[++i];
        };
        if (!nurDateien && (arg == "--help" || arg == "-h")) {
            std::fputs(benutzung, stdout);
            std::exit(0);
        } else if (!nurDateien && arg == "--") {
            nurDateien = true;
        } else if (!nurDateien && arg == "--fehl") {
            const std::string text = wertNach(arg);
            double fehl = 0.0;
            if (!zahlLesen(text, fehl) || !(fehl > 0.0) || !std::isfinite(fehl))
                falscherAufruf("--fehl \"" + text + "\" ist keine positive Zahl (z. B. 0.05).");
            aufruf.fehl = fehl;
        } else if (!nurDateien && arg == "--locale") {
            aufruf.locale = wertNach(arg);
        } else if (!nurDateien && arg == "-o") {
            aufruf.bericht = wertNach(arg);
            if (aufruf.bericht.empty())
                falscherAufruf("-o braucht einen Dateinamen.");
        } else if (!nurDateien && arg.size() > 1 && arg[0] == '-') {
            falscherAufruf("unbekannte Option " + std::string(arg) + ".");
        } else if (dateiGesehen) {
            falscherAufruf("nur eine Punktdatei je Aufruf.");
        } else {
            aufruf.punktdatei = std::string(arg);
            dateiGesehen = true;
        }
    }
    if (!dateiGesehen || aufruf.punktdatei.empty())
        falscherAufruf("keine Punktdatei angegeben.");
    if (aufruf.bericht.empty())
        aufruf.bericht = berichtspfadAbleiten(aufruf.punktdatei);
    return aufruf;
}

Zahlenformat formatWaehlen(const std::optional<std::string>& name)
{
    if (!name)
        return Zahlenformat::system();
    const QLocale locale(QString::fromStdString(*name));
    if (locale.language() == QLocale::C && *name != "C" && *name != "POSIX")
        falscherAufruf("--locale \"" + *name + "\" ist keine bekannte Regionaleinstellung (z. B. de_DE).");
    return Zahlenformat(locale);
}

}  // namespace

int main(int argc, char** argv)
{
    // A file size limit must end in a failed write with a message, not in a signal.
    std::signal(SIGXFSZ, SIG_IGN);

    const Aufruf aufruf = aufrufLesen(argc, argv);
    const Zahlenformat format = formatWaehlen(aufruf.locale);
    try {
        Berichtsdatei bericht(aufruf.bericht);
        const Laufauftrag auftrag{aufruf.punktdatei, aufruf.fehl, format, Kettenverfahren::schnell};
        const Laufergebnis ergebnis = berechnungDurchfuehren(auftrag, bericht, {});
        std::printf("Bericht geschrieben: %s (%lld Punkte, %lld %s)\n", aufruf.bericht.c_str(),
                    static_cast<long long>(ergebnis.punkte), static_cast<long long>(ergebnis.boegen),
                    ergebnis.boegen == 1 ? "Bogen" : "Bögen");
        return 0;
    } catch (const Fehler& fehler) {
        std::fprintf(stderr, "bogenkette-cli: %s\n", fehler.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "bogenkette-cli: nicht genug Arbeitsspeicher für %s.\n",
                     dateiname(aufruf.punktdatei).c_str());
        return 1;
    }
}
