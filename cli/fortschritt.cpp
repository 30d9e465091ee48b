#include "cli/fortschritt.h"

#include <unistd.h>

namespace bogenkette {

Fortschritt::Fortschritt(std::string punktdatei, int ziel, std::chrono::milliseconds ab)
    : punktdatei_(std::move(punktdatei)), ziel_(ziel), terminal_(::isatty(ziel) == 1),
      naechste_(Uhr::now() + ab)
{
}

Fortschritt::~Fortschritt() { abschliessen(); }

void Fortschritt::beginnen(const Kontur& kontur, double)
{
    anzahl_ = kontur.anzahl;
}

void Fortschritt::bogenAufnehmen(const Bogen& bogen)
{
    if (!terminal_ || anzahl_ == 0)
        return;
    const Uhr::time_point jetzt = Uhr::now();
    if (jetzt < naechste_)
        return;
    naechste_ = jetzt + std::chrono::milliseconds(100);
    schreiben("\r" + punktdatei_ + ": " + std::to_string(100 * bogen.bis / anzahl_)
              + " % der Punkte angepasst");
    gezeigt_ = true;
}

void Fortschritt::abschliessen()
{
    if (gezeigt_)
        schreiben("\r\033[K");  // back to the line's start, and the line emptied
    gezeigt_ = false;
}

void Fortschritt::schreiben(const std::string& text)
{
    // A terminal that takes nothing more is no reason to stop the run.
    [[maybe_unused]] const ssize_t n = ::write(ziel_, text.data(), text.size());
}

}  // namespace bogenkette
