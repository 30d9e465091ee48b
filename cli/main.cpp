// bogenkette-cli: converts point files into arc chain reports without the window,
// for batch use.
//
//   bogenkette-cli [--fehl WERT] [--locale NAME] [-o BERICHT] [--nc klartext|din]
//                  [--nc-datei PFAD] [--vorschub F] [--bild PFAD.svg] [--dxf PFAD.dxf]
//                  [--bahn kurz|kette] [--kontur N] [BEARBEITUNG] [--einstellungen-speichern]
//                  PUNKTDATEI...
//
// Each point file gets its own report (and NC program, picture, drawing); a rejected file is named
// on stderr and the others are converted all the same. Exit status 0 when every file was converted,
// 1 when one was rejected or a file could not be read or written (no report is
// left behind for it), or its program was refused because the tool cannot cut
// the contour (its report is written), 2 for a wrong command line (nothing is
// converted then). The machining options (--werkzeug and the others of
// nc/bearbeitung.h) give the program its frame; --einstellungen-speichern stores
// them with the feed for the window.

#include "cad/dxfzeichnung.h"
#include "cli/fortschritt.h"
#include "common/fehler.h"
#include "input/dxfdatei.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "output/ausgabe.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"
#include "run/berichtspfad.h"
#include "run/einstellungen.h"
#include "sketch/bahnbild.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

using namespace bogenkette;

namespace {

const char* const benutzung =
    "Aufruf: bogenkette-cli [--fehl WERT] [--locale NAME] [-o BERICHT] [--nc klartext|din]\n"
    "                       [--nc-datei PFAD] [--vorschub F] [--bild PFAD.svg]\n"
    "                       [--dxf PFAD.dxf] [--bahn kurz|kette] [--kontur N]\n"
    "                       [--werkzeug T] [--drehzahl S] [--tiefe Z] [--sicher Z]\n"
    "                       [--zustellung F] [--korrektur links|rechts|aus]\n"
    "                       [--werkzeugradius R] [--einstellungen-speichern] PUNKTDATEI...\n"
    "\n"
    "Ersetzt die Punkte jeder Punktdatei (eine Zeile x,y je Punkt, oder eine DXF-Zeichnung\n"
    "mit der Endung .dxf) durch eine Kette von Kreisbögen und schreibt je Punktdatei einen\n"
    "Bericht (Windows-1252, CR LF).\n"
    "\n"
    "  --fehl WERT     zulässiger Konturfehler, eine positive Zahl (Vorgabe %s)\n"
    "  --locale NAME   regionale Zahlenformate, z. B. de_DE (Vorgabe: die des Systems,\n"
    "                  deutsche, wenn keine eingestellt sind)\n"
    "  -o BERICHT      Name des Berichts, nur bei einer Punktdatei (Vorgabe: PUNKTDATEI\n"
    "                  mit der Endung TXT)\n"
    "  --nc DIALEKT    schreibt auch ein NC-Programm der Kette: klartext (Heidenhain,\n"
    "                  Endung H) oder din (DIN 66025 / ISO, Endung NC)\n"
    "  --nc-datei PFAD Name des NC-Programms, nur bei einer Punktdatei (Vorgabe:\n"
    "                  PUNKTDATEI mit der Endung H oder NC)\n"
    "  --vorschub F    Vorschub im NC-Programm in mm/min (Vorgabe %s)\n"
    "  --bild PFAD     zeichnet Punkte und Bahn als SVG-Bild, nur bei einer Punktdatei\n"
    "  --dxf PFAD      schreibt Bahn (LINE, ARC) und Punkte (LWPOLYLINE) als DXF-Zeichnung,\n"
    "                  nur bei einer Punktdatei\n"
    "  --kontur N      nimmt aus DXF-Zeichnungen die N-te Kontur (Polylinie oder Kette\n"
    "                  von Linien, in Zeichnungsreihenfolge; Vorgabe 1)\n"
    "  --bahn VERFAHREN die Bahn von NC-Programm, Bild und DXF: kurz (Vorgabe; die wenigsten\n"
    "                  Elemente, jeder Punkt höchstens fehl von der Bahn, die Bahn höchstens\n"
    "                  fehl vom Linienzug der Punkte) oder kette (entlang der Bögen des\n"
    "                  Berichts; so immer mit --korrektur links oder rechts)\n"
    "\n"
    "Bearbeitung: jede dieser Optionen gibt dem NC-Programm Werkzeugaufruf, Spindel,\n"
    "Eintauchen, An- und Abfahren (ohne sie enthält es nur die Kontur):\n"
    "  --werkzeug T    Werkzeugnummer (Vorgabe 1)\n"
    "  --drehzahl S    Spindeldrehzahl in 1/min (Vorgabe 3000)\n"
    "  --tiefe Z       Frästiefe unter der Oberkante Z 0 in mm (Vorgabe 1)\n"
    "  --sicher Z      sichere Höhe über der Oberkante in mm (Vorgabe 5)\n"
    "  --zustellung F  Vorschub beim Eintauchen in mm/min (Vorgabe ein Drittel des\n"
    "                  Vorschubs)\n"
    "  --korrektur SEITE  Werkzeugradiuskorrektur links oder rechts der Bahn in\n"
    "                  Fahrtrichtung, oder aus (Vorgabe aus)\n"
    "  --werkzeugradius R  Radius des Werkzeugs in mm, nötig mit Korrektur\n"
    "  --einstellungen-speichern  speichert Vorschub und Bearbeitung dieses Aufrufs\n"
    "                  für das Fenster (ohne Punktdatei: nur das)\n"
    "\n"
    "  --version       zeigt die Version\n"
    "  --help          zeigt diese Hilfe\n"
    "\n"
    "Je Punktdatei eine Zeile auf der Standardausgabe (Punkte, Bögen, Zeit); Meldungen\n"
    "auf der Fehlerausgabe.\n"
    "Rückgabewert: 0 Erfolg, 1 eine Eingabe abgelehnt, eine Datei nicht\n"
    "les-/schreibbar oder ein NC-Programm, dessen Werkzeug die Kontur nicht schneiden\n"
    "kann (der Bericht ist dann geschrieben), 2 falscher Aufruf.\n";

void benutzungZeigen(std::FILE* ziel)
{
    std::fprintf(ziel, benutzung, QLocale::c().toString(standardFehl).toUtf8().constData(),
                 QLocale::c().toString(standardVorschub).toUtf8().constData());
}

[[noreturn]] void falscherAufruf(const std::string& grund)
{
    std::fprintf(stderr, "bogenkette-cli: %s\n\n", grund.c_str());
    benutzungZeigen(stderr);
    std::exit(2);
}

// One point file and the files it goes to (empty: not asked for).
struct Umsetzung {
    std::string punktdatei;
    std::string bericht;
    std::string ncProgramm;
    std::string bild;
    std::string dxf;
};

struct Aufruf {
    std::optional<double> fehl;  // standardFehl when not given
    std::optional<std::string> locale;
    std::optional<Dialekt> nc;
    double vorschub = standardVorschub;
    Bahnverfahren bahn = Bahnverfahren::kurz;
    Index kontur = 1;                        // of a DXF drawing
    std::optional<Bearbeitung> bearbeitung;  // when any machining option is given
    // What --einstellungen-speichern stores: the options given, by name, as given.
    std::optional<std::vector<std::pair<std::string, std::string>>> speichern;
    std::vector<Umsetzung> umsetzungen;
};

double fehlLesen(const QString& wert)
{
    const std::string text = wert.toStdString();
    double fehl = 0.0;
    if (!zahlLesen(text, fehl) || !(fehl > 0.0) || !std::isfinite(fehl))
        falscherAufruf("--fehl \"" + text + "\" ist keine positive Zahl (z. B. 0.05).");
    return fehl;
}

double vorschubLesen(const QString& wert)
{
    const std::string text = wert.toStdString();
    double vorschub = 0.0;
    if (!zahlLesen(text, vorschub) || !(vorschub >= kleinsterVorschub)
        || !(vorschub <= groessterVorschub))
        falscherAufruf("--vorschub \"" + text + "\" ist kein Vorschub von "
                       + QLocale::c().toString(kleinsterVorschub).toStdString() + " bis "
                       + QLocale::c().toString(groessterVorschub, 'f', 4).toStdString()
                       + " mm/min.");
    return vorschub;
}

Bahnverfahren bahnLesen(const QString& wert)
{
    if (wert == QLatin1String("kurz"))
        return Bahnverfahren::kurz;
    if (wert == QLatin1String("kette"))
        return Bahnverfahren::kette;
    falscherAufruf("--bahn \"" + wert.toStdString()
                   + "\" ist kein Verfahren der Bahn (kurz oder kette).");
}

Index konturLesen(const QString& wert)
{
    bool gelesen = false;
    const qlonglong nummer = wert.toLongLong(&gelesen);
    if (!gelesen || nummer < 1 || wert.startsWith(QLatin1Char('+')))
        falscherAufruf("--kontur \"" + wert.toStdString()
                       + "\" ist keine Konturnummer (1, 2, 3 ...).");
    return nummer;
}

// The machining options given, each checked as it is read; `werte` gets them by
// name, as given.
std::optional<Bearbeitung> bearbeitungLesen(const QCommandLineParser& parser,
                                            std::vector<std::pair<std::string, std::string>>& werte)
{
    Bearbeitung bearbeitung;
    bool gegeben = false;
    for (const std::string_view name : bearbeitungsnamen) {
        const QString option =
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        if (!parser.isSet(option))
            continue;
        const std::string text = parser.value(option).toStdString();
        if (const auto fehler = bearbeitungSetzen(bearbeitung, name, text))
            falscherAufruf("--" + std::string(name) + " \"" + text + "\" " + *fehler + ".");
        werte.emplace_back(name, text);
        gegeben = true;
    }
    if (radiusFehlt(bearbeitung))
        falscherAufruf(std::string("--korrektur ") + korrekturText(bearbeitung.korrektur)
                       + " braucht --werkzeugradius.");
    return gegeben ? std::optional(bearbeitung) : std::nullopt;
}

Dialekt dialektLesen(const QString& wert)
{
    if (wert == QLatin1String("klartext"))
        return Dialekt::klartext;
    if (wert == QLatin1String("din"))
        return Dialekt::din;
    falscherAufruf("--nc \"" + wert.toStdString() + "\" ist kein NC-Dialekt (klartext oder din).");
}

// Each point file once, and no two of them writing the same report.
void doppelteAblehnen(const std::vector<Umsetzung>& umsetzungen)
{
    for (std::size_t i = 0; i < umsetzungen.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const Umsetzung &a = umsetzungen[j], &b = umsetzungen[i];
            if (a.punktdatei == b.punktdatei || gleicheDatei(a.punktdatei, b.punktdatei))
                falscherAufruf("die Punktdatei " + dateiname(b.punktdatei)
                               + " ist zweimal angegeben.");
            if (gleicherPfad(a.bericht, b.bericht))
                falscherAufruf("die Punktdateien " + dateiname(a.punktdatei) + " und "
                               + dateiname(b.punktdatei) + " ergäben beide den Bericht "
                               + dateiname(a.bericht) + ".");
        }
}

Aufruf aufrufLesen(const QStringList& argumente)
{
    // Options take their value as the next word only ("--fehl 0.1"), as they always have.
    for (const QString& arg : argumente.mid(1)) {
        if (arg == QLatin1String("--"))
            break;
        if (arg.startsWith(QLatin1String("-")) && arg.contains(QLatin1Char('=')))
            falscherAufruf("unbekannte Option " + arg.toStdString() + ".");
    }
    QCommandLineParser parser;
    const QCommandLineOption fehl(QStringLiteral("fehl"), {}, QStringLiteral("WERT"));
    const QCommandLineOption locale(QStringLiteral("locale"), {}, QStringLiteral("NAME"));
    const QCommandLineOption bericht(QStringLiteral("o"), {}, QStringLiteral("BERICHT"));
    const QCommandLineOption nc(QStringLiteral("nc"), {}, QStringLiteral("DIALEKT"));
    const QCommandLineOption ncDatei(QStringLiteral("nc-datei"), {}, QStringLiteral("PFAD"));
    const QCommandLineOption vorschub(QStringLiteral("vorschub"), {}, QStringLiteral("F"));
    const QCommandLineOption bild(QStringLiteral("bild"), {}, QStringLiteral("PFAD"));
    const QCommandLineOption bahn(QStringLiteral("bahn"), {}, QStringLiteral("VERFAHREN"));
    const QCommandLineOption dxf(QStringLiteral("dxf"), {}, QStringLiteral("PFAD"));
    const QCommandLineOption kontur(QStringLiteral("kontur"), {}, QStringLiteral("N"));
    const QCommandLineOption hilfe(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption speichern(QStringLiteral("einstellungen-speichern"));
    parser.addOptions({fehl, locale, bericht, nc, ncDatei, vorschub, bild, dxf, bahn, kontur, hilfe,
                       version, speichern});
    for (const std::string_view name : bearbeitungsnamen)
        parser.addOption(QCommandLineOption(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), {},
            QStringLiteral("WERT")));
    if (!parser.parse(argumente))
        falscherAufruf(parser.errorText().toStdString());
    if (parser.isSet(hilfe)) {
        benutzungZeigen(stdout);
        std::exit(0);
    }
    if (parser.isSet(version)) {
        std::printf("bogenkette-cli %s\n", BOGENKETTE_VERSION);
        std::exit(0);
    }

    Aufruf aufruf;
    if (parser.isSet(fehl))
        aufruf.fehl = fehlLesen(parser.value(fehl));
    if (parser.isSet(locale))
        aufruf.locale = parser.value(locale).toStdString();
    if (parser.isSet(nc))
        aufruf.nc = dialektLesen(parser.value(nc));
    std::vector<std::pair<std::string, std::string>> werte;
    if (parser.isSet(vorschub)) {
        aufruf.vorschub = vorschubLesen(parser.value(vorschub));
        werte.emplace_back("vorschub", parser.value(vorschub).toStdString());
    }
    aufruf.bearbeitung = bearbeitungLesen(parser, werte);
    if (parser.isSet(speichern))
        aufruf.speichern = werte;
    if (parser.isSet(ncDatei) && !aufruf.nc)
        falscherAufruf("--nc-datei geht nur mit --nc.");
    if (!werte.empty() && !aufruf.nc && !aufruf.speichern)
        falscherAufruf("--vorschub und die Bearbeitungsoptionen gehen nur mit --nc oder "
                       "--einstellungen-speichern.");
    // With compensation the path runs along the chain (see Laufauftrag::korrektur).
    const bool korrektur = aufruf.bearbeitung && aufruf.bearbeitung->korrektur != Korrektur::aus;
    if (korrektur)
        aufruf.bahn = Bahnverfahren::kette;
    if (parser.isSet(bahn)) {
        aufruf.bahn = bahnLesen(parser.value(bahn));
        if (!aufruf.nc && !parser.isSet(bild) && !parser.isSet(dxf))
            falscherAufruf("--bahn geht nur mit --nc, --bild oder --dxf.");
        if (korrektur && aufruf.bahn == Bahnverfahren::kurz)
            falscherAufruf("--bahn kurz geht nicht mit --korrektur links oder rechts: mit "
                           "Werkzeugradiuskorrektur folgt die Bahn der Kette.");
    }
    const QStringList dateien = parser.positionalArguments();
    if (dateien.contains(QString()) || (dateien.isEmpty() && !aufruf.speichern))
        falscherAufruf("keine Punktdatei angegeben.");
    if (parser.isSet(kontur)) {
        aufruf.kontur = konturLesen(parser.value(kontur));
        if (std::none_of(dateien.begin(), dateien.end(),
                         [](const QString& d) { return istDxfName(d.toStdString()); }))
            falscherAufruf("--kontur geht nur mit einer DXF-Zeichnung (PUNKTDATEI.dxf).");
    }
    // Options that name one file go with one point file only.
    for (const auto& [option, name] : {std::pair{&bericht, "-o"}, std::pair{&ncDatei, "--nc-datei"},
                                       std::pair{&bild, "--bild"}, std::pair{&dxf, "--dxf"}}) {
        if (parser.isSet(*option) && dateien.size() > 1)
            falscherAufruf(std::string(name)
                           + " nennt eine Datei und geht nur mit einer Punktdatei.");
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            falscherAufruf(std::string(name) + " braucht einen Dateinamen.");
    }
    for (const QString& datei : dateien) {
        const std::string punktdatei = datei.toStdString();
        Umsetzung u{punktdatei,
                    berichtspfadAbleiten(punktdatei),
                    {},
                    parser.value(bild).toStdString(),
                    parser.value(dxf).toStdString()};
        if (parser.isSet(bericht))
            u.bericht = parser.value(bericht).toStdString();
        if (aufruf.nc)
            u.ncProgramm = parser.isSet(ncDatei) ? parser.value(ncDatei).toStdString()
                                                 : ncPfadAbleiten(punktdatei, *aufruf.nc);
        aufruf.umsetzungen.push_back(u);
    }
    doppelteAblehnen(aufruf.umsetzungen);
    return aufruf;
}

Zahlenformat formatWaehlen(const std::optional<std::string>& name)
{
    if (!name)
        return Zahlenformat::system();
    const QLocale locale(QString::fromStdString(*name));
    if (locale.language() == QLocale::C && *name != "C" && *name != "POSIX")
        falscherAufruf("--locale \"" + *name
                       + "\" ist keine bekannte Regionaleinstellung (z. B. de_DE).");
    return Zahlenformat(locale);
}

// The files of a run besides its report (all of them show the path), checked
// against the point file, the report and each other, then made (each creates
// its temporary file at once).
std::vector<std::unique_ptr<Bahnausgabe>> ausgabenAnlegen(const Umsetzung& u, const Aufruf& aufruf)
{
    std::vector<Ausgabedatei> dateien;
    if (!u.ncProgramm.empty())
        dateien.push_back({"NC-Programm", u.ncProgramm});
    if (!u.bild.empty())
        dateien.push_back({"Bild", u.bild});
    if (!u.dxf.empty())
        dateien.push_back({"DXF-Zeichnung", u.dxf});
    ausgabenPruefen(u.punktdatei, u.bericht, dateien);
    std::vector<std::unique_ptr<Bahnausgabe>> ausgaben;
    if (!u.ncProgramm.empty())
        ausgaben.push_back(std::make_unique<NcProgramm>(*aufruf.nc, u.ncProgramm, u.punktdatei,
                                                        aufruf.vorschub, aufruf.bearbeitung));
    if (!u.bild.empty())
        ausgaben.push_back(std::make_unique<Bahnbild>(u.bild));
    if (!u.dxf.empty())
        ausgaben.push_back(std::make_unique<DxfZeichnung>(u.dxf));
    return ausgaben;
}

// The line on stdout for a converted point file.
void zusammenfassen(const Umsetzung& u, const Aufruf& aufruf, const Laufergebnis& ergebnis,
                    double sekunden)
{
    std::string dazu;
    // Only the NC program refuses a path.
    if (!u.ncProgramm.empty() && ergebnis.ablehnungen.empty())
        dazu += ", NC-Programm " + u.ncProgramm + " (" + std::to_string(ergebnis.bahnelemente)
                + (ergebnis.bahnelemente == 1 ? " Bahnsatz)" : " Bahnsätze)");
    if (!u.bild.empty())
        dazu += ", Bild " + u.bild;
    if (!u.dxf.empty())
        dazu += ", DXF-Zeichnung " + u.dxf;
    // Which contour of a drawing, and how many it has.
    const std::string kontur = ergebnis.konturen == 0
                                   ? std::string()
                                   : "Kontur " + std::to_string(aufruf.kontur) + " von "
                                         + std::to_string(ergebnis.konturen) + ", ";
    std::printf("Bericht geschrieben: %s (%s%lld Punkte, %lld %s, %s s)%s\n", u.bericht.c_str(),
                kontur.c_str(), static_cast<long long>(ergebnis.punkte),
                static_cast<long long>(ergebnis.boegen), ergebnis.boegen == 1 ? "Bogen" : "Bögen",
                QLocale(QLocale::German).toString(sekunden, 'f', 2).toUtf8().constData(),
                dazu.c_str());
    std::fflush(stdout);
}

// Converts one point file; false when it was rejected (the message is on stderr).
bool umsetzen(const Umsetzung& u, const Aufruf& aufruf, const Zahlenformat& format)
{
    const auto start = std::chrono::steady_clock::now();
    try {
        Berichtsdatei bericht(u.bericht);
        const auto ausgaben = ausgabenAnlegen(u, aufruf);
        Fortschritt fortschritt(u.punktdatei, STDERR_FILENO, std::chrono::seconds(1));
        Kettenausgabe* const weitere[] = {&fortschritt};
        std::vector<Bahnausgabe*> bahnausgaben;
        for (const auto& ausgabe : ausgaben)
            bahnausgaben.push_back(ausgabe.get());
        const Korrektur korrektur =
            aufruf.bearbeitung ? aufruf.bearbeitung->korrektur : Korrektur::aus;
        const Laufauftrag auftrag{u.punktdatei, aufruf.fehl,   format,   Kettenverfahren::schnell,
                                  aufruf.bahn,  aufruf.kontur, korrektur};
        const Laufergebnis ergebnis =
            berechnungDurchfuehren(auftrag, bericht, weitere, bahnausgaben);
        const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
        zusammenfassen(u, aufruf, ergebnis, dauer.count());
        for (const std::string& ablehnung : ergebnis.ablehnungen)
            std::fprintf(stderr, "bogenkette-cli: %s\n", ablehnung.c_str());
        return ergebnis.ablehnungen.empty();
    } catch (const Fehler& fehler) {
        std::fprintf(stderr, "bogenkette-cli: %s\n", fehler.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "bogenkette-cli: nicht genug Arbeitsspeicher für %s.\n",
                     dateiname(u.punktdatei).c_str());
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // A file size limit must end in a failed write with a message, not in a signal.
    std::signal(SIGXFSZ, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bogenkette-cli"));
    // The converter speaks German; so do Qt's own messages on the command line.
    QTranslator qtTexte;
    if (qtTexte.load(QStringLiteral("qtbase_de"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexte);

    const Aufruf aufruf = aufrufLesen(QCoreApplication::arguments());
    const Zahlenformat format = formatWaehlen(aufruf.locale);
    int status = 0;
    if (aufruf.speichern) {
        const Einstellungen einstellungen;
        try {
            einstellungen.programmSpeichern(*aufruf.speichern);
            std::printf("Einstellungen gespeichert: %s\n",
                        einstellungen.datei().toUtf8().constData());
        } catch (const Fehler& fehler) {
            std::fprintf(stderr, "bogenkette-cli: %s\n", fehler.what());
            status = 1;
        }
    }
    for (const Umsetzung& u : aufruf.umsetzungen)
        if (!umsetzen(u, aufruf, format))
            status = 1;
    return status;
}
