// The converter's progress line, written to a pseudo-terminal and to a pipe.
#include "cli/fortschritt.h"
#include "testhilfen.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

using namespace bogenkette;

namespace {

// Everything that can be read from fd without waiting long.
std::string alles(int fd)
{
    std::string text;
    char puffer[256];
    pollfd warten{fd, POLLIN, 0};
    while (::poll(&warten, 1, 200) > 0) {
        const ssize_t n = ::read(fd, puffer, sizeof puffer);
        if (n <= 0)
            break;
        text.append(puffer, static_cast<std::size_t>(n));
    }
    return text;
}

// A run over 200 points in four arcs, its output going to fd.
void laufen(int fd, std::chrono::milliseconds ab)
{
    const Kontur k = test::kontur(std::vector<std::pair<double, double>>(200, {0.0, 0.0}));
    Fortschritt fortschritt("k.spl", fd, ab);
    fortschritt.beginnen(k, 0.05, Toleranzband::beidseitig(0.05));
    for (const Index bis : {50, 100, 150, 200})
        fortschritt.bogenAufnehmen({bis - 50, bis, {}, Bogen::Art::kreisbogen});
    fortschritt.abschliessen();
}

}  // namespace

// On a terminal the line overwrites itself and is emptied at the end; a run
// shorter than the wait, and any output that is no terminal, get nothing.
TEST(Fortschritt, NurAufDemTerminalUndNurBeiLangenLaeufen)
{
    int rohr[2];
    ASSERT_EQ(::pipe(rohr), 0);
    laufen(rohr[1], std::chrono::milliseconds(0));
    ::close(rohr[1]);
    EXPECT_EQ(alles(rohr[0]), "");
    ::close(rohr[0]);

    int herr = -1, knecht = -1;
    if (::openpty(&herr, &knecht, nullptr, nullptr, nullptr) != 0)
        GTEST_SKIP() << "no pseudo-terminal to be had here (is /dev/pts mounted?)";
    laufen(knecht, std::chrono::milliseconds(0));
    const std::string text = alles(herr);
    EXPECT_EQ(text.rfind("\rk.spl: 25 % der Punkte angepasst", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K") << text;
    laufen(knecht, std::chrono::milliseconds(60000));
    EXPECT_EQ(alles(herr), "");
    ::close(knecht);
    ::close(herr);
}
