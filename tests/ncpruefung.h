// Reading NC programs back and checking the path they program against the
// points, shared by the tests and the fuzz target.
//
// The readers accept exactly the text the dialects promise (klartext: numbered
// blocks from 0, BEGIN PGM / END PGM with one name, a comment, the blank form,
// coordinates with sign and four decimals, CC before every C, ISO 8859-1 and
// CR LF; din: % ... %, a comment, G21 G17 G90, G0 then G1 / G2 / G3 with I and
// J, M30, ASCII and LF; both: the feed on the first cutting block only) and give
// the moves. rs274Lesen takes the canonical calls LinuxCNC's interpreter prints
// for a din program (`rs274 -g`).
//
// fahrwegPruefen checks what the programs guarantee: the path starts at point 1
// and ends at the last point; every move ends on a point of the file to the last
// written digit, in file order, and has a length; an arc's two radii differ by at
// most the last digit and lie from 0.01 to 99,999.9999; and every point lies
// within fehl + 0.0002 of the path, that is of the nearest move (a segment, or an
// arc: its circle where the point lies in the arc's sector, between the two radii,
// else the nearer end). For the shortest path also every place of every move
// lies within fehl + 0.0002 of the polyline through the points it spans.
#pragma once

#include "geometry/bahnausgabe.h"
#include "input/kontur.h"
#include "nc/ncprogramm.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace bogenkette {

struct Fahrt {
    enum class Art { gerade, links, rechts };
    Art art = Art::gerade;
    double x = 0, y = 0;  // end
    double i = 0, j = 0;  // centre of an arc, absolute
};

struct Fahrweg {
    double startX = 0, startY = 0;
    std::vector<Fahrt> fahrten;
};

// What a program's head must state.
struct Programmerwartung {
    std::string programmname;  // klartext: BEGIN PGM / END PGM after replacing characters
    std::string punktdatei;    // base name, as the comment shows it
    double fehl = 0;
    Bahnabschluss bahn;  // the kind of path, its elements and the chain's arcs
    double vorschub = standardVorschub;
};

// Reads a program of the dialect; breaks of its form are appended to `fehler`.
Fahrweg programmLesen(Dialekt dialekt, std::string_view text, std::vector<std::string>& fehler);

// The numbers between the brackets of a canonical call `name(` in `zeile`.
std::vector<double> aufrufwerte(std::string_view zeile, std::string_view name);

// Distance of the point (px, py) from the move f starting at (sx, sy): from a
// segment, or from an arc (its circle where the point lies in the arc's sector,
// else the nearer end).
double fahrtAbstand(double sx, double sy, const Fahrt& f, double px, double py);

// The paths of rs274's canonical calls: each STRAIGHT_TRAVERSE starts one.
std::vector<Fahrweg> rs274Lesen(std::string_view ausgabe, std::vector<std::string>& fehler);

// Checks the guarantee of the path for the points of k.
void fahrwegPruefen(const Kontur& k, double fehl, const Fahrweg& weg, Bahnverfahren verfahren,
                    std::vector<std::string>& fehler);

// The whole program: its form, its head (names, fehl, arcs, the klartext blank
// form from the points' extent) and the guarantee. Empty when all holds.
std::vector<std::string> programmPruefen(Dialekt dialekt, std::string_view text, const Kontur& k,
                                         const Programmerwartung& erwartung);

// Makes the path of k of the kind `verfahren` for each of the outputs, begun
// before and completed after, as a run does (the band of `korrektur`); gives what
// they were told at the end. An output's refusal (Ablehnung) is passed on.
Bahnabschluss bahnAusgeben(const Kontur& k, double fehl, Bahnverfahren verfahren,
                           std::initializer_list<Bahnausgabe*> ausgaben,
                           Korrektur korrektur = Korrektur::aus);

}  // namespace bogenkette
