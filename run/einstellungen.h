// The window's settings file: the machining options of its NC programs and their
// feed, the folder of the last chosen file and the last type chosen in the
// report's save dialog, so that they survive a restart. It is a QSettings file in
// the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config:
// bogenkette/bogenkette.conf), edited by hand or by the converter's
// --einstellungen-speichern:
//
//   [Bearbeitung]
//   werkzeug=3
//   korrektur=rechts
//   werkzeugradius=3
//   vorschub=400
//   [Fenster]
//   ordner=/home/anna/teile
//   dateityp=2
//
// The machining options take the converter's option names and values
// (nc/bearbeitung.h); where none is stored, the window's programs hold the contour
// only, as without the options.
#pragma once

#include "nc/bearbeitung.h"

#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bogenkette {

// What the window's NC programs are written with.
struct Programmvorgaben {
    std::optional<Bearbeitung> bearbeitung;  // none: the contour only
    double vorschub = 0.0;
};

class Einstellungen {
public:
    // The user's settings file.
    Einstellungen();
    // The settings file at `datei` (an INI file).
    explicit Einstellungen(QString datei);

    const QString& datei() const { return datei_; }

    // The stored machining options and feed; throws Fehler naming the settings
    // file, the key and the value where one is bad.
    Programmvorgaben programmLesen() const;
    // Replaces the stored machining options and feed by `werte` (option name and
    // its text, as bearbeitungSetzen reads it, and "vorschub"); throws Fehler
    // when the file cannot be written.
    void programmSpeichern(const std::vector<std::pair<std::string, std::string>>& werte) const;

    // The folder of the last chosen file (empty when none is stored).
    QString ordner() const;
    void ordnerSpeichern(const QString& ordner) const;
    // The type last chosen in the report's save dialog (0 when none is stored).
    qsizetype dateityp() const;
    void dateitypSpeichern(qsizetype typ) const;

private:
    QString datei_;
};

}  // namespace bogenkette
