// Writes the report on a thread of its own while the chain is still being fitted.
//
// The chain hands its arcs over the moment they are fixed; the thread composes
// their rows and blocks through the Bericht in the same order, so the report has
// the bytes of writing them directly. An arc's circle is copied when it is handed
// over, because the chain reuses the circle's place for the next arc.
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"
#include "input/kontur.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace bogenkette {

class Bericht;

class Schreibfaden : public Kettenausgabe {
public:
    // `kontur` is the contour whose circle arrays the chain fills.
    Schreibfaden(Bericht& bericht, const Kontur& kontur);
    // Stops the thread; what it has not written yet is dropped (the run failed).
    ~Schreibfaden() override;
    Schreibfaden(const Schreibfaden&) = delete;
    Schreibfaden& operator=(const Schreibfaden&) = delete;

    // Both throw the error that stopped the writing (a Fehler of the Bericht or
    // its output), as soon as the chain hands over more after it.
    void zeileSchreiben(Index p, Index c) override;
    void kreisblockSchreiben(Index c) override;

    // Waits until everything handed over is written; throws the writing's error.
    void abschliessen();

private:
    // Rows von .. bis against the circle, or (bis < von) the circle's block.
    struct Stueck {
        Index von;
        Index bis;
        Kreis kreis;
    };
    using Stapel = std::vector<Stueck>;

    // Rows per batch handed to the thread: enough to make the hand-over cheap,
    // few enough that the thread starts early.
    static constexpr Index stapelZeilen = 16384;
    // Batches waiting at most; the chain waits when the thread falls behind.
    static constexpr std::size_t hoechstensWartend = 4;

    Kreis kreis(Index c) const;
    void weitergeben();
    void fehlerWerfen();
    void arbeiten();
    void stapelSchreiben(const Stapel& stapel);

    Bericht& bericht_;
    const Kontur& k_;

    Stapel laufend_;           // being filled by the chain
    Index zeilenImStapel_ = 0;

    std::mutex sperre_;
    std::condition_variable signal_;
    std::deque<Stapel> wartend_;  // handed over, not yet taken by the thread
    std::vector<Stapel> frei_;    // written batches, kept for reuse
    bool ende_ = false;           // nothing more will be handed over
    bool abbruch_ = false;        // stop without writing the rest
    std::exception_ptr fehler_;

    std::thread faden_;  // not joinable when no thread could be started
};

}  // namespace bogenkette
