// The path of a computation run, made once for every output that shows or
// writes it (NC programs, the picture, the window): along the report's chain as
// the chain is fitted, or the shortest path, fitted from the points on a
// thread of its own while the chain is fitted and handed on once complete.
// The shortest path keeps every point within fehl of itself and itself within
// fehl of the points' polyline.
#pragma once

#include "geometry/bahnausgabe.h"
#include "geometry/kette.h"

#include <memory>
#include <span>

namespace bogenkette {

class Bahnlauf : public Kettenausgabe {
public:
    // `ausgaben` outlive the Bahnlauf.
    Bahnlauf(Bahnverfahren verfahren, std::span<Bahnausgabe* const> ausgaben);
    ~Bahnlauf() override;

    // Begins every output (each may refuse the points), then the path.
    void beginnen(const Kontur& kontur, double fehl) override;
    void bogenAufnehmen(const Bogen& bogen) override;
    // Hands on the rest of the path and completes every output.
    void abschliessen() override;
    void freigeben() override;

    // The elements of the path, once complete.
    Index elemente() const;

private:
    struct Zustand;
    std::unique_ptr<Zustand> z_;
};

}  // namespace bogenkette
