#include "report/schreibfaden.h"

#include "report/bericht.h"

#include <system_error>

namespace bogenkette {

Schreibfaden::Schreibfaden(Bericht& bericht) : bericht_(bericht)
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

void Schreibfaden::bogenAufnehmen(const Bogen& bogen)
{
    laufend_.push_back(bogen);
    zeilenImStapel_ += bogen.bis - bogen.von + 1;
    if (zeilenImStapel_ >= stapelZeilen)
        weitergeben();
}

void Schreibfaden::weitergeben()
{
    zeilenImStapel_ = 0;
    if (!faden_.joinable()) {
        stapelSchreiben(laufend_);
        laufend_.clear();
        return;
    }
    std::exception_ptr fehler;
    {
        std::unique_lock<std::mutex> lock(sperre_);
        signal_.wait(lock, [this] { return wartend_.size() < hoechstensWartend || fehler_; });
        fehler = fehler_;
        if (!fehler)
            wartend_.push_back(std::move(laufend_));
    }
    if (fehler)
        std::rethrow_exception(fehler);
    signal_.notify_all();
    laufend_ = Stapel();
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
        std::rethrow_exception(fehler_);
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
    }
}

void Schreibfaden::stapelSchreiben(const Stapel& stapel)
{
    for (const Bogen& bogen : stapel)
        bericht_.bogenAufnehmen(bogen);
}

}  // namespace bogenkette
