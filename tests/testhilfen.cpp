#include "testhilfen.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bogenkette::test {

Kontur kontur(const std::vector<std::pair<double, double>>& punkte)
{
    Kontur k;
    k.anlegen(static_cast<Index>(punkte.size()));
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        k.xWert[i + 1] = punkte[i].first;
        k.yWert[i + 1] = punkte[i].second;
    }
    return k;
}

std::string lesen(const fs::path& pfad)
{
    std::ifstream datei(pfad, std::ios::binary);
    std::stringstream inhalt;
    inhalt << datei.rdbuf();
    return inhalt.str();
}

void schreiben(const fs::path& pfad, const std::string& inhalt)
{
    std::ofstream(pfad, std::ios::binary) << inhalt;
}

bool imCi()
{
    for (const char* name : {"BOGENKETTE_CI", "CI"}) {
        const char* wert = std::getenv(name);
        if (wert && *wert && std::strcmp(wert, "0") != 0 && std::strcmp(wert, "false") != 0)
            return true;
    }
    return false;
}

std::string q(const fs::path& p)
{
    std::string wort = "'";
    wort += p.string();
    wort += '\'';
    return wort;
}

namespace {

constexpr int zeitgrenzeMs = 120 * 1000;

// Child side: output into the pipe, default signal handling, then the shell.
[[noreturn]] void kindStarten(int rohr, const std::string& befehl)
{
    ::dup2(rohr, STDOUT_FILENO);
    ::dup2(rohr, STDERR_FILENO);
    ::close(rohr);
    std::signal(SIGXFSZ, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    ::execl("/bin/sh", "sh", "-c", befehl.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

}  // namespace

Aufrufergebnis cli(const std::string& argumente, const std::string& vorher)
{
    const std::string befehl = vorher + " exec env -u LC_ALL -u LC_NUMERIC -u LANG "
                               + std::string(CLI_PFAD) + " " + argumente;
    int rohr[2];
    if (::pipe(rohr) != 0)
        return {};
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::close(rohr[0]);
        kindStarten(rohr[1], befehl);
    }
    ::close(rohr[1]);
    Aufrufergebnis ergebnis;
    char puffer[4096];
    pollfd warten{rohr[0], POLLIN, 0};
    for (;;) {
        if (::poll(&warten, 1, zeitgrenzeMs) <= 0) {
            ::kill(kind, SIGKILL);  // no word and no end within the time bound
            break;
        }
        const ssize_t n = ::read(rohr[0], puffer, sizeof puffer);
        if (n <= 0)
            break;
        ergebnis.ausgabe.append(puffer, static_cast<std::size_t>(n));
    }
    ::close(rohr[0]);
    int status = 0;
    rusage verbrauch{};
    ::wait4(kind, &status, 0, &verbrauch);
    if (WIFEXITED(status))
        ergebnis.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        ergebnis.signal = WTERMSIG(status);
    ergebnis.speicherKb = verbrauch.ru_maxrss;
    return ergebnis;
}

void Arbeitsordner::SetUp()
{
    ordner = fs::temp_directory_path()
             / ("bogenkette-test-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(ordner);
    fs::create_directories(ordner);
}

void Arbeitsordner::TearDown() { fs::remove_all(ordner); }

std::vector<std::string> Arbeitsordner::dateien() const
{
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(ordner))
        namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
}

std::map<std::string, std::string> Arbeitsordner::stand() const
{
    std::map<std::string, std::string> eintraege;
    for (const auto& e : fs::directory_iterator(ordner)) {
        std::string& was = eintraege[e.path().filename().string()];
        if (e.is_symlink())
            was = "Verweis auf " + fs::read_symlink(e.path()).string();
        else if (!e.is_regular_file())
            was = "Ordner oder Gerät";
        else if (e.file_size() > (1u << 20))
            was = std::to_string(e.file_size()) + " Bytes";
        else
            was = lesen(e.path());
    }
    return eintraege;
}

}  // namespace bogenkette::test
