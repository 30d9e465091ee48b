#include "report/schreibfaden.h"

#include "report/bericht.h"

#include <cstring>
#include <system_error>

namespace bogenkette {

Schreibfaden::Schreibfaden(Bericht& bericht, const Kontur& kontur) : bericht_(bericht), k_(kontur)
{
    try {
        faden_ = std::thread([this] { arbeiten(); });
    } catch (const std::system_error&) {
        // No thread to be had (a limit on processes or memory): each batch is
        // written directly when it is handed over.
    }
}

Schreibfaden::~Schreibfaden()
{
    if (!faden_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(sperre_);
        abbruch_ = true;
    }
    signal_.notify_all();
    faden_.join();
}

Kreis Schreibfaden::kreis(Index c) const
{
    const auto ci = static_cast<std::size_t>(c);
    return {k_.kreisA[ci], k_.kreisB[ci], k_.kreisR[ci]};
}

void Schreibfaden::zeileSchreiben(Index p, Index c)
{
    const Kreis k = kreis(c);
    // The rows of an arc come one after the other with the same circle: they
    // travel as one piece. The circle is compared bit for bit.
    if (!laufend_.empty()) {
        Stueck& letztes = laufend_.back();
        if (letztes.bis >= letztes.von && letztes.bis + 1 == p
            && std::memcmp(&letztes.kreis, &k, sizeof k) == 0) {
            letztes.bis = p;
            ++zeilenImStapel_;
            return;
        }
    }
    laufend_.push_back({p, p, k});
    ++zeilenImStapel_;
}

void Schreibfaden::kreisblockSchreiben(Index c)
{
    laufend_.push_back({0, -1, kreis(c)});
    // Batches end after a block, where the chain has just fixed an arc.
    if (zeilenImStapel_ >= stapelZeilen)
        weitergeben();
}

void Schreibfaden::fehlerWerfen()
{
    // Called with the lock released; fehler_ is set once and never cleared.
    std::rethrow_exception(fehler_);
}

void Schreibfaden::weitergeben()
{
    if (!faden_.joinable()) {
        stapelSchreiben(laufend_);
        laufend_.clear();
        zeilenImStapel_ = 0;
        return;
    }
    bool gescheitert = false;
    {
        std::unique_lock<std::mutex> lock(sperre_);
        signal_.wait(lock, [this] { return wartend_.size() < hoechstensWartend || fehler_; });
        if (fehler_) {
            gescheitert = true;
        } else {
            wartend_.push_back(std::move(laufend_));
            if (!frei_.empty()) {
                laufend_ = std::move(frei_.back());
                frei_.pop_back();
            } else {
                laufend_ = Stapel();
            }
        }
    }
    if (gescheitert)
        fehlerWerfen();
    signal_.notify_all();
    laufend_.clear();
    zeilenImStapel_ = 0;
}

void Schreibfaden::abschliessen()
{
    if (!laufend_.empty())
        weitergeben();
    if (!faden_.joinable())
        return;  // written directly
    {
        std::lock_guard<std::mutex> lock(sperre_);
        ende_ = true;
    }
    signal_.notify_all();
    faden_.join();
    if (fehler_)
        fehlerWerfen();
}

void Schreibfaden::arbeiten()
{
    for (;;) {
        Stapel stapel;
        {
            std::unique_lock<std::mutex> lock(sperre_);
            signal_.wait(lock, [this] { return !wartend_.empty() || ende_ || abbruch_; });
            if (abbruch_ || wartend_.empty())
                return;
            stapel = std::move(wartend_.front());
            wartend_.pop_front();
        }
        signal_.notify_all();
        try {
            stapelSchreiben(stapel);
        } catch (...) {
            {
                std::lock_guard<std::mutex> lock(sperre_);
                fehler_ = std::current_exception();
            }
            signal_.notify_all();
            return;
        }
        stapel.clear();
        std::lock_guard<std::mutex> lock(sperre_);
        frei_.push_back(std::move(stapel));
    }
}

void Schreibfaden::stapelSchreiben(const Stapel& stapel)
{
    for (const Stueck& stueck : stapel) {
        if (stueck.bis < stueck.von) {
            bericht_.kreisblockSchreiben(stueck.kreis);
            continue;
        }
        for (Index p = stueck.von; p <= stueck.bis; ++p)
            bericht_.zeileSchreiben(p, stueck.kreis);
    }
}

}  // namespace bogenkette
