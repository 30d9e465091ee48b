// LinuxCNC's G-code interpreter rs274 (Debian package linuxcnc-uspace) run on a
// din program from a test: `rs274 -g` prints the canonical calls to stdout; an
// error goes to stderr with exit status 1.
//
// Two traps of the standalone interpreter: it reads a tool table's diameter D in
// inches (a 6 mm tool is D0.2362204724; D6 would offset by 76.2 mm), and it keeps
// the table in $HOME/.tool.mmap, so each run gets the work folder as its HOME.
#pragma once

#include "testhilfen.h"

#include <map>
#include <string>

namespace bogenkette::test {

struct Rs274Lauf {
    int status = -1;
    std::string ausgabe, fehler;
};

// The path of rs274, empty when it is not installed.
std::string rs274Suchen();

// Runs rs274 on `programm` in `ordner`, with a tool table of the given tool radii
// (mm) when there are any.
Rs274Lauf rs274Laufen(const std::string& programm, const fs::path& ordner,
                      const std::map<int, double>& werkzeugradien = {});

// A run without an error: status 0 and nothing on stderr but its "executing".
inline bool fehlerfrei(const Rs274Lauf& lauf)
{
    return lauf.status == 0 && lauf.fehler == "executing\n";
}

}  // namespace bogenkette::test

// Skips the rest of a test without rs274, except in CI, where it must be there.
#define RS274_VERLANGEN()                                                                          \
    do {                                                                                           \
        if (::bogenkette::test::rs274Suchen().empty()) {                                           \
            if (::bogenkette::test::imCi())                                                        \
                FAIL() << "rs274 fehlt (Debian-Paket linuxcnc-uspace, tools/pakete.sh nc)";        \
            GTEST_SKIP() << "rs274 fehlt (Debian-Paket linuxcnc-uspace): Prüfung übersprungen";    \
        }                                                                                          \
    } while (0)
