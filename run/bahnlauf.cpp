#include "run/bahnlauf.h"

#include "common/fehler.h"
#include "geometry/kuerzeste_bahn.h"

#include <exception>
#include <optional>
#include <thread>
#include <vector>

namespace bogenkette {

namespace {

// Hands every element to each output, and counts them.
class Verteilung : public Bahnempfaenger {
public:
    explicit Verteilung(std::span<Bahnausgabe* const> ausgaben) : ausgaben_(ausgaben) {}
    void bahnBeginnen(Bahnpunkt start) override
    {
        for (Bahnausgabe* a : ausgaben_)
            a->bahnBeginnen(start);
    }
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override
    {
        ++elemente;
        for (Bahnausgabe* a : ausgaben_)
            a->elementAufnehmen(von, element);
    }
    Index elemente = 0;

private:
    std::span<Bahnausgabe* const> ausgaben_;
};

}  // namespace

struct Bahnlauf::Zustand {
    Zustand(Bahnverfahren v, Korrektur k, std::span<Bahnausgabe* const> a)
        : verfahren(v), korrektur(k), ausgaben(a), verteilung(a)
    {
    }
    Bahnverfahren verfahren;
    Korrektur korrektur;
    std::vector<Bahnausgabe*> fertige;  // completed
    std::vector<std::string> ablehnungen;
    std::span<Bahnausgabe* const> ausgaben;
    Verteilung verteilung;
    const Kontur* kontur = nullptr;
    Toleranzband band;
    Index boegen = 0;
    std::optional<Bahnbau> bau;  // the path along the chain
    // The shortest path: its places and elements, written by the thread alone
    // until it has been joined.
    Bahnpunkte punkte;
    std::vector<Bahnschritt> schritte;
    std::exception_ptr fehler;
    std::thread faden;
};

Bahnlauf::Bahnlauf(Bahnverfahren verfahren, Korrektur korrektur,
                   std::span<Bahnausgabe* const> ausgaben)
    : z_(std::make_unique<Zustand>(verfahren, korrektur, ausgaben))
{
}

Bahnlauf::~Bahnlauf()
{
    if (z_->faden.joinable())
        z_->faden.join();
}

void Bahnlauf::beginnen(const Kontur& kontur, double fehl)
{
    z_->band = bahnband(fehl, z_->korrektur);
    for (Bahnausgabe* a : z_->ausgaben)
        a->beginnen(kontur, fehl, z_->band);
    z_->kontur = &kontur;
    // Points beyond the path's range have no path (the outputs that need one
    // have refused them).
    if (bahnrahmen(kontur).ausserhalb != 0)
        return;
    if (z_->verfahren == Bahnverfahren::kette) {
        z_->bau.emplace(kontur, z_->band, z_->verteilung);
        return;
    }
    // The thread reads only the points, which stay unchanged until it is joined.
    z_->faden = std::thread([z = z_.get()] {
        try {
            z->punkte = bahnpunkteBilden(*z->kontur);
            z->schritte = kuerzesteSchritte(z->punkte, z->band);
        } catch (...) {
            z->fehler = std::current_exception();
        }
    });
}

void Bahnlauf::bogenAufnehmen(const Bogen& bogen)
{
    ++z_->boegen;
    if (z_->bau)
        z_->bau->bogenAufnehmen(bogen);
}

void Bahnlauf::abschliessen()
{
    if (z_->faden.joinable()) {
        z_->faden.join();
        if (z_->fehler)
            std::rethrow_exception(z_->fehler);
        bahnSchreiben(*z_->kontur, z_->punkte, z_->band, z_->schritte, z_->verteilung);
    }
    const Bahnabschluss abschluss{z_->verfahren, z_->verteilung.elemente, z_->boegen};
    for (Bahnausgabe* a : z_->ausgaben) {
        try {
            a->abschliessen(abschluss);
            z_->fertige.push_back(a);
        } catch (const Ablehnung& ablehnung) {
            z_->ablehnungen.emplace_back(ablehnung.what());
        }
    }
}

void Bahnlauf::freigeben()
{
    for (Bahnausgabe* a : z_->fertige)
        a->freigeben();
}

Index Bahnlauf::elemente() const { return z_->verteilung.elemente; }

const std::vector<std::string>& Bahnlauf::ablehnungen() const { return z_->ablehnungen; }

}  // namespace bogenkette
