// The reports of the bundled cases, byte for byte, through the library and
// through the converter, and the converter's command line.
#include "output/ausgabe.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"

#include "testhilfen.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

std::vector<fs::path> faelle(const char* endung)
{
    std::vector<fs::path> liste;
    for (const auto& e : fs::directory_iterator(TESTDATEN))
        if (e.path().extension() == endung)
            liste.push_back(e.path());
    std::sort(liste.begin(), liste.end());
    return liste;
}

double fehlVon(const fs::path& fall)
{
    fs::path f = fall;
    return std::stod(lesen(f.replace_extension(".fehl")));
}

}  // namespace

using Faelle = Arbeitsordner;

TEST_F(Faelle, BerichteByteGleichUeberBibliothekUndKonverter)
{
    const auto liste = faelle(".TXT");
    ASSERT_GE(liste.size(), 9u);
    const Zahlenformat de = Zahlenformat::deutsch();
    for (const auto& erwartet : liste) {
        fs::path spl = erwartet;
        spl.replace_extension(".spl");
        const double fehl = fehlVon(spl);

        const fs::path ziel = ordner / "bibliothek.TXT";
        Berichtsdatei bericht(ziel.string());
        berechnungDurchfuehren(
            {spl.string(), fehl, de, Kettenverfahren::schnell, Bahnverfahren::kurz}, bericht, {},
            {});
        EXPECT_EQ(lesen(ziel), lesen(erwartet)) << spl;

        const fs::path cliZiel = ordner / "cli.TXT";
        std::ostringstream fehlText;
        fehlText << fehl;
        const auto r =
            cli("--locale de_DE --fehl " + fehlText.str() + " -o " + q(cliZiel) + " " + q(spl));
        EXPECT_EQ(r.status, 0) << r.ausgabe;
        EXPECT_EQ(lesen(cliZiel), lesen(erwartet)) << spl;
    }
}

TEST_F(Faelle, AbgelehnteEingabeHinterlaesstNichts)
{
    for (const auto& fall : faelle(".reject")) {
        fs::path spl = fall;
        spl.replace_extension(".spl");
        const auto r = cli("-o " + q(ordner / "r.TXT") + " " + q(spl));
        EXPECT_EQ(r.status, 1) << r.ausgabe;
        EXPECT_NE(r.ausgabe.find(spl.string()), std::string::npos) << r.ausgabe;
        EXPECT_TRUE(dateien().empty());
    }
}

using Konverter = Arbeitsordner;

TEST_F(Konverter, BerichtsnameUndSystemeinstellungen)
{
    schreiben(ordner / "kontur.spl", "0,0\r\n14.6,35.4\r\n50.1,49.95\r\n85.3,35.3\r\n100,0\r\n");
    // Without configured regional settings the report uses German ones.
    ASSERT_EQ(cli("--fehl 0.1 " + q(ordner / "kontur.spl")).status, 0);
    EXPECT_EQ(dateien(), (std::vector<std::string>{"kontur.TXT", "kontur.spl"}));
    EXPECT_EQ(lesen(ordner / "kontur.TXT"),
              lesen(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.TXT"));

    // Another locale: every number follows it.
    ASSERT_EQ(
        cli("--fehl 0.1 --locale en_US -o " + q(ordner / "en.txt") + " " + q(ordner / "kontur.spl"))
            .status,
        0);
    const std::string en = lesen(ordner / "en.txt");
    EXPECT_NE(en.find(" Berechnung f\xFCr Fehlergrenze:  0.1 \r\n"), std::string::npos);
    EXPECT_NE(en.find("      y-Koordinate Bogenmittelpunkt b = -0.050\r\n"), std::string::npos);
}

TEST_F(Konverter, FalscherAufrufGibtZwei)
{
    schreiben(ordner / "k.spl", "0,0\n1,2\n2,0\n");
    const std::string datei = q(ordner / "k.spl");
    for (const std::string& args : std::vector<std::string>{
             "", "--fehl", "--fehl 0 " + datei, "--fehl -1 " + datei, "--fehl abc " + datei,
             "--fehl nan " + datei, "--fehl 1e999 " + datei, "--fehl '' " + datei,
             "--fehl inf " + datei, "--fehl 0,05 " + datei, "--fehl 0x1p-4 " + datei,
             "--fehl -0 " + datei, "--fehl 1e-400 " + datei, "--fehl ' 0.1' " + datei,
             "--fehl=0.1 " + datei, "--locale xx_Unsinn " + datei, "--gibtsnicht " + datei,
             datei + " " + datei, "-o"}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.ausgabe;
        EXPECT_NE(r.ausgabe.find("Aufruf: bogenkette-cli"), std::string::npos);
        if (args.rfind("--fehl ", 0) == 0 && args.size() > 7) {
            EXPECT_NE(r.ausgabe.find("ist keine positive Zahl"), std::string::npos) << args;
        }
    }
    EXPECT_EQ(dateien(), std::vector<std::string>{"k.spl"});
    const auto hilfe = cli("--help");
    EXPECT_EQ(hilfe.status, 0);
    EXPECT_NE(hilfe.ausgabe.find("--fehl WERT"), std::string::npos);
}

TEST_F(Konverter, FehlschlagLaesstVorhandenenBerichtStehen)
{
    schreiben(ordner / "gut.spl", "0,0\n1,2\n2,0\n");
    schreiben(ordner / "schlecht.spl", "0,0\n1,2\nzwei,0\n");
    schreiben(ordner / "alt.TXT", "alter Bericht");
    const auto r = cli("-o " + q(ordner / "alt.TXT") + " " + q(ordner / "schlecht.spl"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.ausgabe.find("Zeile 3"), std::string::npos) << r.ausgabe;
    EXPECT_EQ(lesen(ordner / "alt.TXT"), "alter Bericht");
    EXPECT_EQ(dateien(), (std::vector<std::string>{"alt.TXT", "gut.spl", "schlecht.spl"}));

    // The report may not be the point file, not even through a link.
    fs::create_symlink(ordner / "gut.spl", ordner / "link.TXT");
    for (const char* ziel : {"gut.spl", "link.TXT"}) {
        const auto s = cli("-o " + q(ordner / ziel) + " " + q(ordner / "gut.spl"));
        EXPECT_EQ(s.status, 1) << ziel;
        EXPECT_NE(s.ausgabe.find("Punktdatei selbst"), std::string::npos) << s.ausgabe;
    }
    EXPECT_EQ(lesen(ordner / "gut.spl"), "0,0\n1,2\n2,0\n");

    // Missing report folder, missing point file.
    EXPECT_EQ(cli("-o " + q(ordner / "fehlt" / "b.TXT") + " " + q(ordner / "gut.spl")).status, 1);
    EXPECT_EQ(cli(q(ordner / "fehlt.spl")).status, 1);
    EXPECT_EQ(dateien(),
              (std::vector<std::string>{"alt.TXT", "gut.spl", "link.TXT", "schlecht.spl"}));
}

// Several point files in one call: each gets its own report, a rejected one is
// named with its line and the others are converted all the same; the exit status
// is the worst. Options that name one output file go with one point file only.
TEST_F(Konverter, MehrerePunktdateien)
{
    const fs::path beispiel = fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl";
    fs::copy_file(beispiel, ordner / "a.spl");
    fs::copy_file(beispiel, ordner / "b.spl");
    schreiben(ordner / "kaputt.spl", "0,0\nnull,1\n2,0\n");
    const std::string dateien3 =
        q(ordner / "a.spl") + " " + q(ordner / "kaputt.spl") + " " + q(ordner / "b.spl");
    const auto r = cli("--fehl 0.1 " + dateien3);
    EXPECT_EQ(r.status, 1) << r.ausgabe;
    const std::string erwartet = lesen(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.TXT");
    EXPECT_EQ(lesen(ordner / "a.TXT"), erwartet);
    EXPECT_EQ(lesen(ordner / "b.TXT"), erwartet);
    EXPECT_FALSE(fs::exists(ordner / "kaputt.TXT"));
    EXPECT_NE(r.ausgabe.find("kaputt.spl\", Zeile 2"), std::string::npos) << r.ausgabe;
    for (const char* zeile : {"a.TXT (5 Punkte, 1 Bogen, ", "b.TXT (5 Punkte, 1 Bogen, "})
        EXPECT_NE(r.ausgabe.find(zeile), std::string::npos) << r.ausgabe;

    const auto alleGut = cli("--fehl 0.1 " + q(ordner / "a.spl") + " " + q(ordner / "b.spl"));
    EXPECT_EQ(alleGut.status, 0) << alleGut.ausgabe;

    // Refused before anything is converted: one report for two files, the same
    // file twice, two files that would give the same report.
    fs::remove(ordner / "a.TXT");
    schreiben(ordner / "a.txt", "0,0\n1,2\n2,0\n");
    for (const std::string& args : {"-o " + q(ordner / "x.TXT") + " " + dateien3,
                                    q(ordner / "a.spl") + " " + q(ordner / "." / "a.spl"),
                                    q(ordner / "a.spl") + " " + q(ordner / "a.txt")}) {
        const auto s = cli(args);
        EXPECT_EQ(s.status, 2) << args << ": " << s.ausgabe;
        EXPECT_NE(s.ausgabe.find("Aufruf: bogenkette-cli"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(ordner / "a.TXT"));
    EXPECT_FALSE(fs::exists(ordner / "x.TXT"));
    const auto version = cli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.ausgabe.rfind("bogenkette-cli ", 0), 0u) << version.ausgabe;
}

// NC programs and the picture from the converter: default names beside the point
// file, the options checked before anything is written, and a program that would
// overwrite the point file refused with nothing left behind.
TEST_F(Konverter, NcProgrammUndBild)
{
    fs::copy_file(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl", ordner / "k.spl");
    const std::string k = q(ordner / "k.spl");
    // Along the chain the five points make one arc: the stored program.
    const auto din =
        cli("--fehl 0.1 --nc din --bahn kette --bild " + q(ordner / "k.svg") + " " + k);
    ASSERT_EQ(din.status, 0) << din.ausgabe;
    const std::string programm = lesen(ordner / "k.NC");
    const std::string golden = lesen(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.NC");
    EXPECT_EQ(programm.substr(programm.find("G21")), golden.substr(golden.find("G21")));
    EXPECT_NE(programm.find("(Punktdatei k.spl, fehl 0.1, 1 Bogen)"), std::string::npos)
        << programm;
    EXPECT_NE(lesen(ordner / "k.svg").find("<svg"), std::string::npos);
    EXPECT_NE(din.ausgabe.find("NC-Programm " + (ordner / "k.NC").string() + " (1 Bahnsatz)"),
              std::string::npos)
        << din.ausgabe;
    // The shortest path keeps to the polyline: that arc lies 3.7 from it, so
    // four segments; its count in the comment and the summary line.
    const auto kurz = cli("--fehl 0.1 --nc din " + k);
    ASSERT_EQ(kurz.status, 0) << kurz.ausgabe;
    EXPECT_NE(
        lesen(ordner / "k.NC").find("(Punktdatei k.spl, fehl 0.1, 4 Elemente, kuerzeste Bahn)\n"),
        std::string::npos)
        << lesen(ordner / "k.NC");
    EXPECT_NE(kurz.ausgabe.find("(4 Bahnsätze)"), std::string::npos) << kurz.ausgabe;
    const auto klartext = cli("--fehl 0.1 --nc klartext --vorschub 250 " + k);
    ASSERT_EQ(klartext.status, 0) << klartext.ausgabe;
    EXPECT_NE(lesen(ordner / "k.H").find(" F250\r\n"), std::string::npos) << lesen(ordner / "k.H");
    EXPECT_EQ(lesen(ordner / "k.TXT"), lesen(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.TXT"));

    fs::copy_file(ordner / "k.spl", ordner / "l.spl");
    const auto vorher = stand();
    for (const std::string& args :
         {"--nc iso " + k, "--vorschub 300 " + k, "--nc din --vorschub 0 " + k, "--bahn kurz " + k,
          "--nc din --bahn kuerzeste " + k,
          "--nc din --nc-datei " + q(ordner / "x.NC") + " " + k + " " + q(ordner / "l.spl"),
          "--bild " + q(ordner / "x.svg") + " " + k + " " + q(ordner / "l.spl")}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args << ": " << r.ausgabe;
        EXPECT_NE(r.ausgabe.find("Aufruf: bogenkette-cli"), std::string::npos);
    }
    const auto selbst = cli("--nc din --nc-datei " + k + " " + k);
    EXPECT_EQ(selbst.status, 1);
    EXPECT_NE(selbst.ausgabe.find("ist die Punktdatei selbst"), std::string::npos)
        << selbst.ausgabe;
    EXPECT_EQ(stand(), vorher);
}
