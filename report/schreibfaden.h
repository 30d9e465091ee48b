// Writes the report on a thread of its own while the chain is still being fitted.
//
// The chain hands its arcs over the moment they are fixed; they travel to the
// thread in batches, which writes them through the Bericht in the same order, so
// the report has the bytes of writing them directly.
#pragma once

#include "geometry/kette.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace bogenkette {

class Bericht;

class Schreibfaden : public Bogenempfaenger {
public:
    explicit Schreibfaden(Bericht& bericht);
    // Stops the thread; what it has not written yet is dropped (the run failed).
    ~Schreibfaden() override;
    Schreibfaden(const Schreibfaden&) = delete;
    Schreibfaden& operator=(const Schreibfaden&) = delete;

    // Throws the error that stopped the writing (a Fehler of the Bericht or its
    // output), as soon as the chain hands over more after it.
    void bogenAufnehmen(const Bogen& bogen) override;

    // Waits until everything handed over is written; throws the writing's error.
    void abschliessen();

private:
    using Stapel = std::vector<Bogen>;

    // Rows per batch handed to the thread: enough to make the hand-over cheap,
    // few enough that the thread starts early.
    static constexpr Index stapelZeilen = 16384;
    // Batches waiting at most; the chain waits when the thread falls behind.
    static constexpr std::size_t hoechstensWartend = 4;

    void weitergeben();
    void arbeiten();
    void stapelSchreiben(const Stapel& stapel);

    Bericht& bericht_;

    Stapel laufend_;  // being filled by the chain
    Index zeilenImStapel_ = 0;

    std::mutex sperre_;
    std::condition_variable signal_;
    std::deque<Stapel> wartend_;  // handed over, not yet taken by the thread
    bool ende_ = false;           // nothing more will be handed over
    bool abbruch_ = false;        // stop without writing the rest
    std::exception_ptr fehler_;   // set once by the thread, never cleared

    std::thread faden_;  // not joinable when no thread could be started
};

}  // namespace bogenkette
