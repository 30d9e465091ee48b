// The converter under faults of its files and inputs: each is refused with exit
// status 1 and a German message naming the file, in bounded memory and time, and
// leaves the folder as it was: no report, no temporary file, an existing report
// untouched.
#include "testhilfen.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bogenkette::test;

namespace {

// Far below the sizes of the large inputs below, far above what the converter
// needs (about 11 MB, 18 MB with AddressSanitizer; its read buffer is 1 MiB).
constexpr long speicherGrenzeKb = 64 * 1024;

constexpr long long muellGroesse = 300LL << 20;

// A contour whose report (about 17 KB) needs more than a few blocks of disk.
std::string langeKontur()
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::to_string(i) + "," + std::to_string((i * i) % 17) + "\r\n";
    return text;
}

struct Stoerfall {
    const char* name;
    // Prepares the folder and gives the converter's arguments.
    std::function<std::string(const fs::path& ordner)> vorbereiten;
    const char* genannt;  // the file the message names, relative to the folder
    const char* meldung;  // part of the German message
    const char* vorher = "";
};

// The point file kontur.spl and an earlier report bericht.TXT are in every folder.
const Stoerfall stoerfaelle[] = {
    {"Platte voll", [](const fs::path& o) { return "-o /dev/full " + q(o / "kontur.spl"); },
     "/dev/full", "kein Platz mehr auf dem Datentr\xC3\xA4ger"},
    {"Dateigroessengrenze",
     [](const fs::path& o) { return "-o " + q(o / "bericht.TXT") + " " + q(o / "kontur.spl"); },
     "bericht.TXT",
     "die zul\xC3\xA4ssige Dateigr\xC3\xB6\xC3\x9F"
     "e ist \xC3\xBC"
     "berschritten",
     "ulimit -f 4;"},
    {"Berichtsordner fehlt",
     [](const fs::path& o) { return "-o " + q(o / "fehlt" / "b.TXT") + " " + q(o / "kontur.spl"); },
     "fehlt/b.TXT", "nicht gefunden"},
    {"Berichtsordner ist eine Datei",
     [](const fs::path& o) {
         return "-o " + q(o / "kontur.spl" / "b.TXT") + " " + q(o / "kontur.spl");
     },
     "kontur.spl/b.TXT", "kein Ordner"},
    {"Bericht ist ein Ordner",
     [](const fs::path& o) {
         fs::create_directory(o / "ordner");
         return "-o " + q(o / "ordner") + " " + q(o / "kontur.spl");
     },
     "ordner", "Ordner"},
    {"Punktdatei fehlt",
     [](const fs::path& o) { return "-o " + q(o / "bericht.TXT") + " " + q(o / "fehlt.spl"); },
     "fehlt.spl", "nicht gefunden"},
    {"Punktdatei ist ein Ordner",
     [](const fs::path& o) {
         fs::create_directory(o / "ordner.spl");
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "ordner.spl");
     },
     "ordner.spl", "Ordner"},
    {"Bericht ist die Punktdatei",
     [](const fs::path& o) { return "-o " + q(o / "kontur.spl") + " " + q(o / "kontur.spl"); },
     "kontur.spl", "Punktdatei selbst"},
    {"Bericht verweist auf die Punktdatei",
     [](const fs::path& o) {
         fs::create_symlink(o / "kontur.spl", o / "verweis.TXT");
         return "-o " + q(o / "verweis.TXT") + " " + q(o / "kontur.spl");
     },
     "verweis.TXT", "Punktdatei selbst"},
    {"Bericht ist ein zweiter Name der Punktdatei",
     [](const fs::path& o) {
         fs::create_hard_link(o / "kontur.spl", o / "zweitname.TXT");
         return "-o " + q(o / "zweitname.TXT") + " " + q(o / "kontur.spl");
     },
     "zweitname.TXT", "Punktdatei selbst"},
    {"Zeile von 10 MB",
     [](const fs::path& o) {
         schreiben(o / "lang.spl", "0,0\r\n" + std::string(10 << 20, '7') + ",1\r\n2,2\r\n");
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "lang.spl");
     },
     "lang.spl", "Zeile 2: die Zeile ist l\xC3\xA4nger als 4096 Zeichen"},
    {"Hunderte MB ohne Zeilenende",
     [](const fs::path& o) {
         // Two points, then a hole of zero bytes: 300 MB that take no disk space.
         schreiben(o / "loch.spl", "0,0\r\n1,1\r\n");
         fs::resize_file(o / "loch.spl", muellGroesse);
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "loch.spl");
     },
     "loch.spl", "Zeile 3: die Zeile ist l\xC3\xA4nger"},
    {"NUL-Bytes",
     [](const fs::path& o) {
         schreiben(o / "nul.spl", std::string("0,0\r\n1\0,1\r\n2,2\r\n", 16));
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "nul.spl");
     },
     "nul.spl", "Zeile 2: \"1?,1\" hat keinen g\xC3\xBCltigen x-Wert"},
    {"nur Leerzeilen",
     [](const fs::path& o) {
         schreiben(o / "leer.spl", "\r\n  \r\n\t\r\n\n\r");
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "leer.spl");
     },
     "leer.spl",
     "enth\xC3\xA4lt 0 Punkte; f\xC3\xBCr eine Kette von B\xC3\xB6gen sind mindestens 3"},
    {"leere Datei",
     [](const fs::path& o) {
         schreiben(o / "nichts.spl", "");
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "nichts.spl");
     },
     "nichts.spl", "enth\xC3\xA4lt 0 Punkte"},
    {"Wert zu gross fuer seine Spalte",
     [](const fs::path& o) {
         schreiben(o / "gross.spl", "0,0\r\n1,1\r\n123456789,2\r\n");
         return "-o " + q(o / "bericht.TXT") + " " + q(o / "gross.spl");
     },
     "gross.spl", "Zeile 3: \"123456789,2\" hat einen x-Wert, der zu gro\xC3\x9F"},
    {"Radienfehler keine Zahl",
     [](const fs::path& o) {
         // The last arc's circle through three points all but on a vertical line has
         // its centre near 1e224; the square of the distance overflows.
         schreiben(o / "fast-gerade.spl", "0,11\r\n2e-223,3\r\n0,13\r\n");
         return "--fehl 10 -o " + q(o / "bericht.TXT") + " " + q(o / "fast-gerade.spl");
     },
     "bericht.TXT", "Radienfehler oder Radienwinkel von Punkt 1 ist keine darstellbare Zahl"},
};

void verlangeAbgelehnt(const Aufrufergebnis& r, const std::string& datei,
                       const std::string& meldung, const std::string& fall)
{
    EXPECT_EQ(r.signal, 0) << fall;
    EXPECT_EQ(r.status, 1) << fall << ": " << r.ausgabe;
    EXPECT_EQ(r.ausgabe.rfind("bogenkette-cli: ", 0), 0u) << fall << ": " << r.ausgabe;
    EXPECT_NE(r.ausgabe.find("\"" + datei + "\""), std::string::npos) << fall << ": " << r.ausgabe;
    EXPECT_NE(r.ausgabe.find(meldung), std::string::npos) << fall << ": " << r.ausgabe;
    EXPECT_LT(r.speicherKb, speicherGrenzeKb) << fall;
}

}  // namespace

using Stoerfaelle = Arbeitsordner;

TEST_F(Stoerfaelle, JederFehlerMitMeldungOhneSpuren)
{
    for (const Stoerfall& f : stoerfaelle) {
        SetUp();
        schreiben(ordner / "kontur.spl", langeKontur());
        schreiben(ordner / "bericht.TXT", "alter Bericht");
        const std::string argumente = f.vorbereiten(ordner);
        const auto vorher = stand();
        const Aufrufergebnis r = cli(argumente, f.vorher);
        const std::string genannt = f.genannt[0] == '/' ? f.genannt : (ordner / f.genannt).string();
        verlangeAbgelehnt(r, genannt, f.meldung, f.name);
        EXPECT_EQ(stand(), vorher) << f.name;
        TearDown();
    }
}

TEST_F(Stoerfaelle, DateigroessengrenzeDieDerBerichtEinhaelt)
{
    // The same limit with a report that fits: the limit alone does no harm.
    schreiben(ordner / "klein.spl", "0,0\r\n1,2\r\n2,0\r\n");
    const Aufrufergebnis r =
        cli("-o " + q(ordner / "klein.TXT") + " " + q(ordner / "klein.spl"), "ulimit -f 4;");
    EXPECT_EQ(r.status, 0) << r.ausgabe;
    EXPECT_EQ(lesen(ordner / "klein.TXT").substr(0, 10), " Berechnun");
}

// Permission bits as written in octal, e.g. "640".
template <typename Rechte>
std::string oktal(Rechte rechte)
{
    char text[8];
    std::snprintf(text, sizeof text, "%o", static_cast<unsigned>(rechte));
    return text;
}

// A report that replaces a file keeps that file's permissions, also through a
// link; a new report gets those of any new file.
TEST_F(Stoerfaelle, ErsetzterBerichtBehaeltSeineRechte)
{
    schreiben(ordner / "kontur.spl", "0,0\r\n1,2\r\n2,0\r\n");
    const mode_t maske = ::umask(0);
    ::umask(maske);
    const std::pair<const char*, mode_t> faelle[] = {
        {"b640.TXT", 0640}, {"b604.TXT", 0604}, {"verweis.TXT", 0600}, {"neu.TXT", 0666 & ~maske}};
    schreiben(ordner / "b640.TXT", "alt");
    schreiben(ordner / "b604.TXT", "alt");
    schreiben(ordner / "ziel.TXT", "alt");
    fs::create_symlink(ordner / "ziel.TXT", ordner / "verweis.TXT");
    for (const auto& [name, rechte] : faelle) {
        if (fs::exists(ordner / name))
            ::chmod((ordner / name).c_str(), rechte);
        const Aufrufergebnis r = cli("-o " + q(ordner / name) + " " + q(ordner / "kontur.spl"));
        ASSERT_EQ(r.status, 0) << name << ": " << r.ausgabe;
        EXPECT_EQ(oktal(fs::status(ordner / name).permissions()), oktal(rechte)) << name;
        EXPECT_EQ(lesen(ordner / name).substr(0, 10), " Berechnun") << name;
    }
    EXPECT_TRUE(fs::is_symlink(ordner / "verweis.TXT"));
}

// Without a second thread (here: a stack limit so large that no thread stack can
// be mapped) a large file is read and its report written all the same, the same
// bytes as with threads.
TEST_F(Stoerfaelle, OhneZweitenFadenDerselbeBericht)
{
    std::string text;
    for (int i = 0; i < 70000; ++i)
        text += std::to_string(i % 3000) + "." + std::to_string(i % 7) + ","
                + std::to_string(i % 11) + "\r\n";
    schreiben(ordner / "gross.spl", text);
    const Aufrufergebnis mit = cli("-o " + q(ordner / "mit.TXT") + " " + q(ordner / "gross.spl"));
    ASSERT_EQ(mit.status, 0) << mit.ausgabe;
    const Aufrufergebnis ohne = cli("-o " + q(ordner / "ohne.TXT") + " " + q(ordner / "gross.spl"),
                                    "ulimit -s 100000000 || exit 77;");
    if (ohne.status == 77)
        GTEST_SKIP() << "the stack limit cannot be raised here";
    ASSERT_EQ(ohne.status, 0) << ohne.ausgabe;
    EXPECT_TRUE(lesen(ordner / "ohne.TXT") == lesen(ordner / "mit.TXT"));
}

// Writes `stueck` again and again into a named pipe until `menge` bytes are
// written or the reader has gone; counts what got through.
class Rohrquelle {
public:
    Rohrquelle(const fs::path& rohr, std::string stueck, long long menge)
        : rohr_(rohr), stueck_(std::move(stueck)), menge_(menge)
    {
        if (::mkfifo(rohr.c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo");
        faden_ = std::thread([this] { laufen(); });
    }
    // Waits until the writing has ended; gives the bytes written.
    long long beenden()
    {
        faden_.join();
        ::unlink(rohr_.c_str());
        return geschrieben_;
    }

private:
    void laufen()
    {
        int fd = -1;
        // Wait for the converter to open the pipe, but not forever.
        for (int versuch = 0; versuch < 6000 && fd < 0; ++versuch) {
            fd = ::open(rohr_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                ::usleep(10000);
        }
        if (fd < 0)
            return;
        ::fcntl(fd, F_SETFL, 0);
        while (geschrieben_ < menge_) {
            const ssize_t n = ::write(fd, stueck_.data(), stueck_.size());
            if (n <= 0)
                break;  // EPIPE: the reader has stopped
            geschrieben_ += n;
        }
        ::close(fd);
    }

    fs::path rohr_;
    std::string stueck_;
    long long menge_;
    long long geschrieben_ = 0;
    std::thread faden_;
};

// Runs the converter on a named pipe fed by `quelle`; SIGPIPE would end the test
// instead of the write that meets a closed pipe.
Aufrufergebnis ausRohr(const fs::path& ordner, const std::string& stueck, long long menge,
                       long long& geschrieben)
{
    const auto alt = std::signal(SIGPIPE, SIG_IGN);
    Rohrquelle quelle(ordner / "rohr.spl", stueck, menge);
    const Aufrufergebnis r = cli("-o " + q(ordner / "bericht.TXT") + " " + q(ordner / "rohr.spl"));
    geschrieben = quelle.beenden();
    std::signal(SIGPIPE, alt);
    return r;
}

TEST_F(Stoerfaelle, HunderteMegabyteMuellWerdenAnDerErstenSchlechtenZeileAbgelehnt)
{
    std::string muell = "0,0\r\n1,1\r\n";
    while (muell.size() < (1 << 16))
        muell += "Unsinn; kein Punkt \x01\xFF hier 12,5,7\r\n";
    long long geschrieben = 0;
    const Aufrufergebnis r = ausRohr(ordner, muell, muellGroesse, geschrieben);
    verlangeAbgelehnt(
        r, (ordner / "rohr.spl").string(),
        "Zeile 3: \"Unsinn; kein Punkt ?? hier 12,5,7\" enth\xC3\xA4lt mehr als zwei Werte",
        "Muell");
    // Refused long before the garbage ended.
    EXPECT_LT(geschrieben, muellGroesse / 10);
    EXPECT_TRUE(dateien().empty());
}

TEST_F(Stoerfaelle, PunkteAusEinerPipeWerdenAbgelehntNichtErwartet)
{
    // A pipe cannot be read a second time from its start: refused, not waited on.
    const std::string punkte = "0,0\r\n1,2\r\n2,0\r\n";
    long long geschrieben = 0;
    const Aufrufergebnis r =
        ausRohr(ordner, punkte, static_cast<long long>(punkte.size()), geschrieben);
    verlangeAbgelehnt(r, (ordner / "rohr.spl").string(),
                      "l\xC3\xA4sst sich nicht ein zweites Mal von vorn lesen", "Pipe");
    EXPECT_EQ(geschrieben, static_cast<long long>(punkte.size()));
    EXPECT_TRUE(dateien().empty());
}
