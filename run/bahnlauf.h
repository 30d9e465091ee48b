// The path of a computation run, made once for every output that shows or
// writes it (NC programs, the picture, the window): along the report's chain as
// the chain is fitted, or the shortest path, fitted from the points on a
// thread of its own while the chain is fitted and handed on once complete.
// The shortest path keeps every point within the band of itself and itself
// within the band of the points' polyline. The band is fehl on both sides, or
// with cutter radius compensation almost nothing on the tool's side
// (geometry/korrektur.h): this is the one place that decides it.
#pragma once

#include "geometry/bahnausgabe.h"
#include "geometry/kette.h"
#include "geometry/korrektur.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace bogenkette {

class Bahnlauf : public Kettenausgabe {
public:
    // `ausgaben` outlive the Bahnlauf. The shortest path is made without
    // compensation only (see Laufauftrag::bahn).
    Bahnlauf(Bahnverfahren verfahren, Korrektur korrektur, std::span<Bahnausgabe* const> ausgaben);
    ~Bahnlauf() override;

    // Begins every output (each may refuse the points), then the path.
    void beginnen(const Kontur& kontur, double fehl) override;
    void bogenAufnehmen(const Bogen& bogen) override;
    // Hands on the rest of the path and completes every output; one that
    // refuses the path (Ablehnung) is left out and named in ablehnungen().
    void abschliessen() override;
    // Puts the outputs that were completed in place.
    void freigeben() override;

    // The elements of the path, once complete.
    Index elemente() const;
    const std::vector<std::string>& ablehnungen() const;

private:
    struct Zustand;
    std::unique_ptr<Zustand> z_;
};

}  // namespace bogenkette
