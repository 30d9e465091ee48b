// bogenkette-bench: end-to-end figures of the computation run (read the point
// file, fit the chain, write the report) for the generated inputs A to D, for the
// fitting of the core library and for the straightforward baseline fitting, or
// (--nc) with and without a DIN program written besides the report.
//
//   bogenkette-bench [--runs N] [--basis-runs N] [--basis-runs-b N] [--nur ABCDE]
//                    [--ordner DIR] [--behalten] [--nc]
//
// Every run is a child process of its own, so that its peak memory (maximum
// resident set) is its own. Medians over the runs are printed, since the machine
// may be shared (inputs under 200,000 points get three times the runs). The reports of both
// fittings are compared byte for byte; the benchmark fails (exit status 1) when they differ.

#include "bench/eingaben.h"
#include "common/fehler.h"
#include "nc/ncprogramm.h"
#include "output/ausgabe.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace bogenkette;
using namespace bogenkette::bench;

namespace {

struct Messung {
    double sekunden = 0;
    double cpuSekunden = 0;  // user and system time of the whole process
    double spitzeMiB = 0;    // maximum resident set of the process
    long long boegen = 0;
    long long elemente = 0;  // of the path, with a program
};

// Child side: one computation run; prints seconds, arcs and the path's elements.
// `verfahren` is the fitting ("schnell", "einfach"), or "nc": the fast one with a
// DIN program of the shortest path written besides the report.
int lauf(const std::string& verfahren, const std::string& punktdatei, const std::string& bericht)
{
    const Zahlenformat format = Zahlenformat::deutsch();
    const auto start = std::chrono::steady_clock::now();
    Berichtsdatei datei(bericht);
    const Laufauftrag auftrag{punktdatei, benchFehl, format,
                              verfahren == "einfach" ? Kettenverfahren::einfach
                                                     : Kettenverfahren::schnell,
                              Bahnverfahren::kurz};
    std::optional<NcProgramm> programm;
    std::vector<Bahnausgabe*> bahnausgaben;
    if (verfahren == "nc") {
        programm.emplace(Dialekt::din, bericht + ".NC", punktdatei);
        bahnausgaben.push_back(&*programm);
    }
    const Laufergebnis ergebnis = berechnungDurchfuehren(auftrag, datei, {}, bahnausgaben);
    const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
    std::printf("%.6f %lld %lld\n", dauer.count(), static_cast<long long>(ergebnis.boegen),
                static_cast<long long>(ergebnis.bahnelemente));
    return 0;
}

Messung kindLaufen(const std::string& verfahren, const fs::path& punktdatei,
                   const fs::path& bericht)
{
    int rohr[2];
    if (::pipe(rohr) != 0)
        throw Fehler("pipe");
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::dup2(rohr[1], 1);
        ::close(rohr[0]);
        ::close(rohr[1]);
        const std::string p = punktdatei.string(), b = bericht.string();
        ::execl("/proc/self/exe", "bogenkette-bench", "--lauf", verfahren.c_str(), p.c_str(),
                b.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(rohr[1]);
    std::string text;
    char puffer[256];
    ssize_t n;
    while ((n = ::read(rohr[0], puffer, sizeof puffer)) > 0)
        text.append(puffer, static_cast<std::size_t>(n));
    ::close(rohr[0]);
    int status = 0;
    struct rusage nutzung {};
    ::wait4(kind, &status, 0, &nutzung);
    Messung m;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0
        || std::sscanf(text.c_str(), "%lf %lld %lld", &m.sekunden, &m.boegen, &m.elemente) != 3)
        throw Fehler("Lauf " + verfahren + " auf " + punktdatei.string() + " gescheitert");
    m.spitzeMiB = static_cast<double>(nutzung.ru_maxrss) / 1024.0;
    m.cpuSekunden =
        static_cast<double>(nutzung.ru_utime.tv_sec + nutzung.ru_stime.tv_sec)
        + static_cast<double>(nutzung.ru_utime.tv_usec + nutzung.ru_stime.tv_usec) / 1e6;
    return m;
}

double median(std::vector<double> werte)
{
    std::sort(werte.begin(), werte.end());
    const std::size_t n = werte.size();
    return n % 2 ? werte[n / 2] : (werte[n / 2 - 1] + werte[n / 2]) / 2;
}

struct Reihe {
    double sekunden, cpuSekunden, spitzeMiB;
    long long boegen, elemente;
};

// The runs of one way of fitting, collected as they come.
struct Messreihe {
    std::vector<double> zeiten, cpu, spitzen;
    long long boegen = 0, elemente = 0;
    void aufnehmen(const Messung& m)
    {
        zeiten.push_back(m.sekunden);
        cpu.push_back(m.cpuSekunden);
        spitzen.push_back(m.spitzeMiB);
        boegen = m.boegen;
        elemente = m.elemente;
    }
    Reihe reihe() const { return {median(zeiten), median(cpu), median(spitzen), boegen, elemente}; }
};

// Runs both ways in turn, so that both meet the same load of a shared machine.
std::pair<Reihe, Reihe> messen(const fs::path& punktdatei, const fs::path& schnell,
                               const fs::path& basis, int runs, int basisRuns,
                               const char* basisVerfahren = "einfach")
{
    Messreihe s, b;
    for (int i = 0; i < std::max(runs, basisRuns); ++i) {
        if (i < runs)
            s.aufnehmen(kindLaufen("schnell", punktdatei, schnell));
        if (i < basisRuns)
            b.aufnehmen(kindLaufen(basisVerfahren, punktdatei, basis));
    }
    return {s.reihe(), b.reihe()};
}

bool gleicherInhalt(const fs::path& a, const fs::path& b)
{
    if (fs::file_size(a) != fs::file_size(b))
        return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::vector<char> pa(1 << 20), pb(1 << 20);
    while (fa && fb) {
        fa.read(pa.data(), static_cast<std::streamsize>(pa.size()));
        fb.read(pb.data(), static_cast<std::streamsize>(pb.size()));
        if (fa.gcount() != fb.gcount()
            || std::memcmp(pa.data(), pb.data(), static_cast<std::size_t>(fa.gcount())) != 0)
            return false;
    }
    return true;
}

struct Optionen {
    int runs = 5;
    int basisRuns = 3;
    int basisRunsB = 1;  // the baseline needs over a minute for B
    std::string nur = "ABCDE";
    fs::path ordner;
    bool behalten = false;
    bool nc = false;  // with and without a DIN program instead of the baseline
};

[[noreturn]] void aufruf()
{
    std::fputs(
        "Aufruf: bogenkette-bench [--runs N] [--basis-runs N] [--basis-runs-b N] [--nur ABCDE]\n"
        "                        [--ordner DIR] [--behalten] [--nc]\n",
        stderr);
    std::exit(2);
}

Optionen optionenLesen(int argc, char** argv)
{
    Optionen o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto wert = [&]() -> std::string {
            if (i + 1 >= argc)
                aufruf();
            return argv[++i];
        };
        if (arg == "--runs")
            o.runs = std::max(1, std::stoi(wert()));
        else if (arg == "--basis-runs")
            o.basisRuns = std::max(1, std::stoi(wert()));
        else if (arg == "--basis-runs-b")
            o.basisRunsB = std::max(1, std::stoi(wert()));
        else if (arg == "--nur")
            o.nur = wert();
        else if (arg == "--ordner")
            o.ordner = wert();
        else if (arg == "--behalten")
            o.behalten = true;
        else if (arg == "--nc")
            o.nc = true;
        else
            aufruf();
    }
    if (o.ordner.empty())
        o.ordner = fs::temp_directory_path() / ("bogenkette-bench-" + std::to_string(::getpid()));
    return o;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--lauf") == 0)
        return lauf(argv[2], argv[3], argv[4]);
    const Optionen o = optionenLesen(argc, argv);
    fs::create_directories(o.ordner);
    bool gleich = true;
    try {
        if (o.nc)
            std::printf(
                "fehl %.2f, Mediane aus %d Laeufen ohne und mit DIN-Programm im Wechsel\n\n",
                benchFehl, o.runs);
        else
            std::printf("fehl %.2f, Mediane aus %d Laeufen (Basis %d, Basis B %d)\n\n", benchFehl,
                        o.runs, o.basisRuns, o.basisRunsB);
        std::printf("%-2s %9s %7s %11s %8s %8s %7s %9s %9s %9s %8s %9s %9s  %s\n", "", "Punkte",
                    "Boegen", "Punkte/s", "Zeit s", "CPU s", "MiB", "Byte/Pkt",
                    o.nc ? "NC s" : "Basis s", o.nc ? "NC CPU" : "Basis CPU", "Faktor",
                    o.nc ? "NC MiB" : "Basis MiB", o.nc ? "Elemente" : "", "Bericht");
        for (const Eingabe& e : eingaben) {
            if (o.nur.find(e.name) == std::string::npos)
                continue;
            const fs::path punktdatei = o.ordner / (std::string(1, e.name) + ".spl");
            const fs::path schnell = o.ordner / (std::string(1, e.name) + ".schnell.TXT");
            const fs::path basis = o.ordner / (std::string(1, e.name) + ".basis.TXT");
            eingabeSchreiben(e.name, punktdatei.string());
            // Short runs vary most on a shared machine: three times as many.
            const int mal = e.punkte < 200'000 ? 3 : 1;
            const int basisRuns =
                o.nc ? mal * o.runs : (e.name == 'B' ? o.basisRunsB : mal * o.basisRuns);
            const auto [s, b] = messen(punktdatei, schnell, basis, mal * o.runs, basisRuns,
                                       o.nc ? "nc" : "einfach");
            const bool identisch = gleicherInhalt(schnell, basis) && s.boegen == b.boegen;
            gleich = gleich && identisch;
            const double n = static_cast<double>(e.punkte);
            const std::string elemente = o.nc ? std::to_string(b.elemente) : "";
            std::printf(
                "%-2c %9lld %7lld %11.0f %8.3f %8.3f %7.1f %9.1f %9.3f %9.3f %8.1f %9.1f %9s  %s\n",
                e.name, static_cast<long long>(e.punkte), s.boegen, n / s.sekunden, s.sekunden,
                s.cpuSekunden, s.spitzeMiB, s.spitzeMiB * 1048576.0 / n, b.sekunden, b.cpuSekunden,
                b.sekunden / s.sekunden, b.spitzeMiB, elemente.c_str(),
                identisch ? "identisch" : "VERSCHIEDEN");
            std::fflush(stdout);
        }
    } catch (const Fehler& f) {
        std::fprintf(stderr, "bogenkette-bench: %s\n", f.what());
        gleich = false;
    }
    if (!o.behalten)
        fs::remove_all(o.ordner);
    return gleich ? 0 : 1;
}
