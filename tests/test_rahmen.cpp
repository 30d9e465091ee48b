// Programs a machine runs as they stand: the frame in both dialects (golden texts
// of the example), and with cutter radius compensation the tool centre checked on
// random parts, the example and the test data, on both sides: din through rs274
// with a tool table, klartext through the tests' own offset. Where the tool cannot
// cut the contour the program is refused and the report written all the same.
#include "ncpruefung.h"
#include "rs274lauf.h"
#include "testdaten.h"
#include "testhilfen.h"
#include "werkzeugbahn.h"
#include "zufallskonturen.h"

#include "common/fehler.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"
#include "run/einstellungen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

// Both programs of a contour with the machining options, in memory; the reason
// where the tool cannot cut it.
struct Programmpaar {
    std::string klartext, din;
    std::optional<std::string> ablehnung;
    Bahnabschluss bahn;
};

Programmpaar programmeSchreiben(const Kontur& k, double fehl, const Bearbeitung& b,
                                const std::string& punktdatei = "teil.spl")
{
    Speicherausgabe h, nc;
    const std::string name = fs::path(punktdatei).stem().string();
    NcProgramm klartext(Dialekt::klartext, h, name, punktdatei, standardVorschub, b);
    NcProgramm din(Dialekt::din, nc, name, punktdatei, standardVorschub, b);
    Programmpaar paar;
    try {
        paar.bahn = bahnAusgeben(k, fehl, Bahnverfahren::kette, {&klartext, &din}, b.korrektur);
        paar.klartext = h.inhalt();
        paar.din = nc.inhalt();
    } catch (const Ablehnung& ablehnung) {
        paar.ablehnung = ablehnung.what();
    }
    return paar;
}

// Everything but what rs274 checks: the frame, the path's guarantee and its band,
// and for klartext the tool centre of the tests' own offset.
std::vector<std::string> paarPruefen(const Programmpaar& paar, const Kontur& k, double fehl,
                                     const Bearbeitung& b, const std::string& punktdatei)
{
    std::vector<std::string> fehler;
    const Programmerwartung erwartung{fs::path(punktdatei).stem().string(), punktdatei, fehl,
                                      paar.bahn};
    const Toleranzband band = bahnband(fehl, b.korrektur);
    for (const Dialekt dialekt : {Dialekt::klartext, Dialekt::din}) {
        const std::string& text = dialekt == Dialekt::klartext ? paar.klartext : paar.din;
        std::vector<std::string> hier;
        const Rahmenangaben rahmen = rahmenLesen(dialekt, text, {b}, hier);
        for (const std::string& f : programmPruefen(dialekt, rahmen.ohneRahmen, k, erwartung))
            hier.push_back(f);
        const Fahrweg weg = programmLesen(dialekt, rahmen.ohneRahmen, hier);
        bandPruefen(k, weg, band.links, band.rechts, hier);
        if (dialekt == Dialekt::klartext && b.korrektur != Korrektur::aus)
            werkzeugwegPruefen(k, fehl, *b.werkzeugradius,
                               klartextWerkzeugweg(rahmen, weg, b.korrektur, *b.werkzeugradius),
                               hier);
        for (const std::string& f : hier)
            fehler.push_back((dialekt == Dialekt::klartext ? "klartext: " : "din: ") + f);
    }
    return fehler;
}

// The lines of a din program from its tool change to M5, to be run with others
// in one interpreter.
std::string dinAbschnitt(const std::string& din)
{
    const auto anfang = din.find("\nT") + 1;
    const auto ende = din.rfind("M5\n") + 3;
    return din.substr(anfang, ende - anfang);
}

// A din program waiting for rs274, with what its tool centre must do.
struct Dinlauf {
    Kontur kontur;
    double fehl, R;
    std::string abschnitt, fall;
};

// Runs the programs through rs274, some dozens to one interpreter, each tool with
// its radius in the table, and checks every tool centre path.
void rs274Pruefen(const std::vector<Dinlauf>& laeufe, const Bearbeitung& b,
                  const std::map<int, double>& werkzeuge, const fs::path& ordner)
{
    constexpr std::size_t jeLauf = 60;
    for (std::size_t anfang = 0; anfang < laeufe.size(); anfang += jeLauf) {
        const std::size_t ende = std::min(laeufe.size(), anfang + jeLauf);
        std::string programm = "%\nG21 G17 G90\n";
        for (std::size_t i = anfang; i < ende; ++i)
            programm += laeufe[i].abschnitt;
        const Rs274Lauf lauf = rs274Laufen(programm + "M30\n%\n", ordner, werkzeuge);
        if (!fehlerfrei(lauf)) {
            // Which one: each alone.
            for (std::size_t i = anfang; i < ende; ++i) {
                const Rs274Lauf allein = rs274Laufen(
                    "%\nG21 G17 G90\n" + laeufe[i].abschnitt + "M30\n%\n", ordner, werkzeuge);
                if (!fehlerfrei(allein)) {
                    ADD_FAILURE() << "rs274 lehnt ab: " << laeufe[i].fall << "\n"
                                  << allein.fehler << laeufe[i].abschnitt;
                    return;
                }
            }
            FAIL() << "rs274 lehnt den Stapel ab: " << lauf.fehler;
        }
        std::vector<std::string> fehler;
        const auto wege = rs274Werkzeugwege(lauf.ausgabe, b, fehler);
        ASSERT_EQ(wege.size(), ende - anfang);
        for (std::size_t i = anfang; i < ende && fehler.empty(); ++i) {
            werkzeugwegPruefen(laeufe[i].kontur, laeufe[i].fehl, laeufe[i].R, wege[i - anfang],
                               fehler);
            for (const std::string& f : fehler)
                ADD_FAILURE() << "rs274, " << laeufe[i].fall << ": " << f;
        }
        ASSERT_TRUE(fehler.empty()) << fehler.front();
    }
}

// What the message of an inner radius too small for the tool says.
struct Innenradiusmeldung {
    Index punkt = 0;
    double innenradius = 0, werkzeugradius = 0;
};

// A number of a message: digits with a decimal comma.
std::optional<double> kommazahl(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789,") != std::string_view::npos)
        return std::nullopt;
    std::string punkt(text);
    std::replace(punkt.begin(), punkt.end(), ',', '.');
    return std::stod(punkt);
}

// Reads "Punktdatei "NAME", Punkt N: der Innenradius X ist kleiner als der
// Werkzeugradius R." for the point file `name`.
std::optional<Innenradiusmeldung> innenradiusLesen(std::string_view text, const std::string& name)
{
    const std::string anfang = "Punktdatei \"" + name + "\", Punkt ";
    const std::string_view mitte = ": der Innenradius ",
                           kleiner = " ist kleiner als der Werkzeugradius ";
    const auto a = text.find(mitte), b = text.find(kleiner);
    if (text.substr(0, anfang.size()) != anfang || a == std::string_view::npos
        || b == std::string_view::npos || text.back() != '.')
        return std::nullopt;
    const auto punkt = kommazahl(text.substr(anfang.size(), a - anfang.size()));
    const auto innen = kommazahl(text.substr(a + mitte.size(), b - a - mitte.size()));
    const auto werkzeug =
        kommazahl(text.substr(b + kleiner.size(), text.size() - 1 - b - kleiner.size()));
    if (!punkt || !innen || !werkzeug)
        return std::nullopt;
    return Innenradiusmeldung{static_cast<Index>(*punkt), *innen, *werkzeug};
}

}  // namespace

using Rahmen = Arbeitsordner;

// 300 random parts on both sides, the example and every point file of the test
// data: refused exactly where an inner rounding is below the tool radius (the
// message names the point there), else both programs read back with their frame,
// the band one-sided, and the tool centre (rs274's and the tests' own) cutting
// the contour without gouging it.
TEST_F(Rahmen, KorrekturAufBeidenSeiten)
{
    Bearbeitung basis;
    basis.tiefe = 2;
    basis.sicher = 10;
    std::map<int, double> werkzeuge{{1, 1.5}, {2, 3}, {3, 5}};
    const auto werkzeugFuer = [&](double R) {
        for (const auto& [nummer, radius] : werkzeuge)
            if (radius == R)
                return nummer;
        const int neu = static_cast<int>(werkzeuge.size()) + 1;
        werkzeuge[neu] = R;
        return neu;
    };
    std::vector<Dinlauf> laeufe;
    int angenommen = 0, abgelehnt = 0, boegen = 0;

    Zufall z(15);
    for (int lauf = 0; lauf < 300; ++lauf) {
        const Werkstueck w = zufallswerkstueck(z, lauf);
        for (const Korrektur seite : {Korrektur::links, Korrektur::rechts}) {
            Bearbeitung b = basis;
            b.korrektur = seite;
            b.werkzeugradius = w.R;
            b.werkzeug = werkzeugFuer(w.R);
            const std::string fall = w.fall + ", Korrektur " + korrekturText(seite);
            // The inner roundings turn towards the tool. One below its radius
            // leaves (R - r) (1 / cos(a/2) - 1) uncut where it turns by a: fine
            // within fehl, not beyond (and in between either).
            std::vector<Rundung> eng;  // all that may be refused
            bool zuEng = false;        // one that must be
            for (const Rundung& r : w.rundungen) {
                if (r.links != (seite == Korrektur::links) || r.r >= w.R)
                    continue;
                const double rest = (w.R - r.r) * (1 / std::cos(r.drehung / 2) - 1);
                eng.push_back(r);
                zuEng = zuEng || rest > 2 * w.fehl;
            }
            const Programmpaar paar = programmeSchreiben(w.kontur, w.fehl, b);
            if (zuEng || (!eng.empty() && paar.ablehnung)) {
                ++abgelehnt;
                ASSERT_TRUE(paar.ablehnung) << fall;
                const auto m = innenradiusLesen(*paar.ablehnung, "teil.spl");
                ASSERT_TRUE(m) << *paar.ablehnung;
                EXPECT_LT(m->innenradius, w.R) << *paar.ablehnung;
                EXPECT_EQ(m->werkzeugradius, w.R) << *paar.ablehnung;
                // The point named lies at one of those roundings.
                const Index p = m->punkt;
                const double px = w.kontur.xWert[p], py = w.kontur.yWert[p];
                bool dabei = false;
                for (const Rundung& r : eng)
                    dabei = dabei || std::hypot(px - r.x, py - r.y) <= r.r + 2 * w.abstand + 0.01;
                EXPECT_TRUE(dabei) << fall << ": " << *paar.ablehnung;
                continue;
            }
            ++angenommen;
            ASSERT_FALSE(paar.ablehnung) << fall << ": " << *paar.ablehnung;
            for (const std::string& f : paarPruefen(paar, w.kontur, w.fehl, b, "teil.spl"))
                ADD_FAILURE() << fall << ": " << f;
            if (HasFailure())
                return;
            // (klartext's approach and departure have no CC of their own)
            boegen += static_cast<int>(paar.klartext.find(" CC X") != std::string::npos);
            laeufe.push_back({w.kontur, w.fehl, w.R, dinAbschnitt(paar.din), fall});
        }
    }
    // Both outcomes, and arcs in the paths despite the one-sided band.
    EXPECT_GT(angenommen, 250);
    EXPECT_GT(abgelehnt, 100);
    EXPECT_GT(boegen, 100);

    // The example and the test data with a tool of a twentieth of their size.
    const Zahlenformat de = Zahlenformat::deutsch();
    int testdatenAngenommen = 0;
    for (const fs::path& spl : punktdateien()) {
        const Kontur k = punktdateiLesen(spl.string(), wertebereich(de));
        const Bahnrahmen r = bahnrahmen(k);
        const double groesse = std::max(mm(r.max.x - r.min.x), mm(r.max.y - r.min.y));
        const bool beispiel = spl.filename() == "kontur.spl";
        const double R = beispiel ? 3 : std::max(0.01, std::round(groesse * 1000 / 20) / 1000);
        for (const Korrektur seite : {Korrektur::links, Korrektur::rechts}) {
            Bearbeitung b = basis;
            b.korrektur = seite;
            b.werkzeugradius = R;
            b.werkzeug = werkzeugFuer(R);
            const std::string fall =
                spl.filename().string() + ", Korrektur " + korrekturText(seite);
            const double fehl = standardFehl;
            const Programmpaar paar = programmeSchreiben(k, fehl, b, spl.filename().string());
            if (paar.ablehnung) {
                EXPECT_FALSE(beispiel) << *paar.ablehnung;
                EXPECT_EQ(paar.ablehnung->rfind(
                              "Punktdatei \"" + spl.filename().string() + "\", Punkt ", 0),
                          0u)
                    << *paar.ablehnung;
                continue;
            }
            ++testdatenAngenommen;
            for (const std::string& f : paarPruefen(paar, k, fehl, b, spl.filename().string()))
                ADD_FAILURE() << fall << ": " << f;
            laeufe.push_back({k, fehl, R, dinAbschnitt(paar.din), fall});
        }
    }
    EXPECT_GE(testdatenAngenommen, 10);

    RS274_VERLANGEN();
    rs274Pruefen(laeufe, basis, werkzeuge, ordner);
}

// The example's programs from the converter, byte for byte: with a 6 mm cutter on
// the outside (--korrektur rechts --werkzeugradius 3) and without compensation
// (--tiefe 2); the report the same as without the options. Both din programs run
// through rs274 from the safe height to the depth and back, the one with
// compensation cutting the contour.
TEST_F(Rahmen, BeispielprogrammeAusDemKonverter)
{
    const fs::path golden = fs::path(TESTDATEN) / "rahmen";
    const std::string spl = (ordner / "kontur.spl").string();
    fs::copy_file(fs::path(BEISPIELE) / "kontur.spl", spl);
    const auto ohne = cli("-o " + q(ordner / "ohne.TXT") + " " + q(spl));
    ASSERT_EQ(ohne.status, 0) << ohne.ausgabe;
    Bearbeitung rechts, tief;
    rechts.korrektur = Korrektur::rechts;
    rechts.werkzeugradius = 3;
    tief.tiefe = 2;
    const struct {
        const char* optionen;
        const char* name;
        const Bearbeitung& bearbeitung;
    } faelle[] = {{"--korrektur rechts --werkzeugradius 3", "kontur_rechts", rechts},
                  {"--tiefe 2", "kontur_tiefe2", tief}};
    const Kontur k = punktdateiLesen(spl, wertebereich(Zahlenformat::deutsch()));
    for (const auto& f : faelle) {
        for (const auto& [dialekt, endung] :
             {std::pair{"klartext", ".H"}, std::pair{"din", ".NC"}}) {
            // The stored frames are around the path along the chain.
            const auto lauf =
                cli(std::string("--nc ") + dialekt + " --bahn kette " + f.optionen + " " + q(spl));
            ASSERT_EQ(lauf.status, 0) << lauf.ausgabe;
            EXPECT_EQ(lesen(ordner / (std::string("kontur") + endung)),
                      lesen(golden / (std::string(f.name) + endung)))
                << f.name << endung;
            EXPECT_EQ(lesen(ordner / "kontur.TXT"), lesen(ordner / "ohne.TXT"));
        }
        const std::string din = lesen(ordner / "kontur.NC");
        if (f.bearbeitung.korrektur != Korrektur::aus) {
            const Programmpaar paar{
                lesen(ordner / "kontur.H"), din, std::nullopt, {Bahnverfahren::kette, 0, 31}};
            for (const std::string& fehler :
                 paarPruefen(paar, k, standardFehl, f.bearbeitung, "kontur.spl"))
                ADD_FAILURE() << f.name << ": " << fehler;
        }
        if (rs274Suchen().empty())
            continue;
        const Rs274Lauf lauf = rs274Laufen(din, ordner, {{1, 3}});
        ASSERT_TRUE(fehlerfrei(lauf)) << f.name << ": " << lauf.fehler;
        std::vector<std::string> fehler;
        const auto wege = rs274Werkzeugwege(lauf.ausgabe, f.bearbeitung, fehler);
        ASSERT_EQ(wege.size(), 1u);
        if (f.bearbeitung.korrektur != Korrektur::aus)
            werkzeugwegPruefen(k, standardFehl, 3, wege[0], fehler);
        for (const std::string& m : fehler)
            ADD_FAILURE() << "rs274, " << f.name << ": " << m;
    }
    RS274_VERLANGEN();
}

// The machining options on the command line: bad values and compensation
// without a radius are a wrong call (exit 2, nothing written); a tool that cannot
// cut an inner radius refuses the program (exit 1, the report written, an earlier
// program kept); --einstellungen-speichern stores what the window reads.
TEST_F(Rahmen, KonverterOptionenAblehnungUndEinstellungen)
{
    fs::copy_file(fs::path(TESTDATEN) / "rahmen" / "innenradius.spl", ordner / "k.spl");
    const std::string k = q(ordner / "k.spl");
    const auto vorher = stand();
    for (const std::string& args :
         {"--nc din --werkzeug 0 " + k, "--nc din --werkzeug 2.5 " + k,
          "--nc din --drehzahl abc " + k, "--nc din --tiefe 0 " + k, "--nc din --tiefe -1 " + k,
          "--nc din --sicher 1e6 " + k, "--nc din --zustellung 0 " + k,
          "--nc din --korrektur mitte --werkzeugradius 3 " + k, "--nc din --korrektur links " + k,
          "--nc din --werkzeugradius 0.001 " + k, "--tiefe 2 " + k, "--nc din --tiefe " + k}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.ausgabe;
        EXPECT_NE(r.ausgabe.find("Aufruf: bogenkette-cli"), std::string::npos) << args;
    }
    EXPECT_EQ(stand(), vorher);
    EXPECT_NE(cli("--nc din --werkzeug 0 " + k)
                  .ausgabe.find("--werkzeug \"0\" ist keine Werkzeugnummer von 1 bis 32767."),
              std::string::npos);
    EXPECT_NE(cli("--nc din --korrektur rechts " + k)
                  .ausgabe.find("--korrektur rechts braucht --werkzeugradius."),
              std::string::npos);

    schreiben(ordner / "k.NC", "altes Programm");
    const auto abgelehnt = cli("--nc din --korrektur links --werkzeugradius 3 " + k);
    EXPECT_EQ(abgelehnt.status, 1) << abgelehnt.ausgabe;
    EXPECT_NE(abgelehnt.ausgabe.find("bogenkette-cli: Punktdatei \"" + (ordner / "k.spl").string()
                                     + "\", Punkt 5: der Innenradius 2,5 ist kleiner als der "
                                       "Werkzeugradius 3.\n"),
              std::string::npos)
        << abgelehnt.ausgabe;
    EXPECT_NE(abgelehnt.ausgabe.find("Bericht geschrieben: "), std::string::npos);
    EXPECT_EQ(abgelehnt.ausgabe.find("NC-Programm " + (ordner / "k.NC").string()),
              std::string::npos);
    EXPECT_EQ(lesen(ordner / "k.NC"), "altes Programm");
    const std::string bericht = lesen(ordner / "k.TXT");
    ASSERT_EQ(cli(k).status, 0);
    EXPECT_EQ(lesen(ordner / "k.TXT"), bericht);
    // A smaller tool cuts it; so does the same one on the other side.
    EXPECT_EQ(cli("--nc din --korrektur links --werkzeugradius 2.4 " + k).status, 0);
    EXPECT_EQ(cli("--nc din --korrektur rechts --werkzeugradius 3 " + k).status, 0);

    // Stored for the window, without a point file; what is not given is removed.
    const std::string konfiguration = "export XDG_CONFIG_HOME=" + q(ordner / "konfig") + ";";
    const Einstellungen einstellungen(
        QString::fromStdString((ordner / "konfig" / "bogenkette" / "bogenkette.conf").string()));
    const auto speichern = cli("--einstellungen-speichern --werkzeug 7 --korrektur rechts "
                               "--werkzeugradius 2.5 --vorschub 400",
                               konfiguration);
    EXPECT_EQ(speichern.status, 0) << speichern.ausgabe;
    EXPECT_NE(speichern.ausgabe.find("Einstellungen gespeichert: "), std::string::npos);
    Programmvorgaben vorgaben = einstellungen.programmLesen();
    ASSERT_TRUE(vorgaben.bearbeitung);
    EXPECT_EQ(vorgaben.bearbeitung->werkzeug, 7);
    EXPECT_EQ(vorgaben.bearbeitung->korrektur, Korrektur::rechts);
    EXPECT_EQ(vorgaben.bearbeitung->werkzeugradius, 2.5);
    EXPECT_EQ(vorgaben.bearbeitung->tiefe, 1);
    EXPECT_EQ(vorgaben.vorschub, 400);
    ASSERT_EQ(cli("--einstellungen-speichern --tiefe 3 " + k, konfiguration).status, 0);
    vorgaben = einstellungen.programmLesen();
    ASSERT_TRUE(vorgaben.bearbeitung);
    EXPECT_EQ(vorgaben.bearbeitung->tiefe, 3);
    EXPECT_EQ(vorgaben.bearbeitung->korrektur, Korrektur::aus);
    EXPECT_EQ(vorgaben.vorschub, standardVorschub);
    ASSERT_EQ(cli("--einstellungen-speichern", konfiguration).status, 0);
    EXPECT_FALSE(einstellungen.programmLesen().bearbeitung);
}
