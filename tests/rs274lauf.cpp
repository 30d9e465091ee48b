#include "rs274lauf.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/wait.h>
#include <unistd.h>

namespace bogenkette::test {

std::string rs274Suchen()
{
    const char* pfade = std::getenv("PATH");
    std::string_view rest = pfade ? pfade : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto ende = std::min(rest.find(':'), rest.size());
        const std::string kandidat = std::string(rest.substr(0, ende)) + "/rs274";
        if (::access(kandidat.c_str(), X_OK) == 0)
            return kandidat;
        rest.remove_prefix(std::min(ende + 1, rest.size()));
    }
    return {};
}

Rs274Lauf rs274Laufen(const std::string& programm, const fs::path& ordner,
                      const std::map<int, double>& werkzeugradien)
{
    const fs::path datei = ordner / "programm.ngc";
    schreiben(datei, programm);
    std::string tabelle;
    if (!werkzeugradien.empty()) {
        std::string zeilen;
        for (const auto& [nummer, radius] : werkzeugradien) {
            char zeile[96];
            std::snprintf(zeile, sizeof zeile, "T%d P%d D%.10f\n", nummer, nummer,
                          2 * radius / 25.4);
            zeilen += zeile;
        }
        schreiben(ordner / "werkzeuge.tbl", zeilen);
        tabelle = " -t " + q(ordner / "werkzeuge.tbl");
    }
    const std::string befehl = "HOME=" + q(ordner) + " " + rs274Suchen() + tabelle + " -g "
                               + q(datei) + " > " + q(ordner / "aus") + " 2> "
                               + q(ordner / "fehler");
    Rs274Lauf lauf;
    const int status = std::system(befehl.c_str());
    lauf.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    lauf.ausgabe = lesen(ordner / "aus");
    lauf.fehler = lesen(ordner / "fehler");
    return lauf;
}

}  // namespace bogenkette::test
