#include "nc/programmtext.h"

#include "output/ausgabe.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace bogenkette {

namespace {

// Longest name a comment repeats; a longer one is cut and marked with "...".
constexpr std::size_t kommentarnamenLaenge = 80;

// Calls f with every character of a UTF-8 text; a byte that starts no valid
// sequence gives U+FFFD.
template <class F>
void zeichenDurchgehen(std::string_view text, F f)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = byte(i);
        const std::size_t laenge = b < 0x80         ? 1
                                   : (b >> 5) == 6  ? 2
                                   : (b >> 4) == 14 ? 3
                                   : (b >> 3) == 30 ? 4
                                                    : 0;
        char32_t zeichen = laenge == 1 ? b : 0xFFFD;
        bool gueltig = laenge > 0 && i + laenge <= text.size();
        if (gueltig && laenge > 1) {
            zeichen = b & (0x7F >> laenge);
            for (std::size_t k = 1; k < laenge && gueltig; ++k) {
                gueltig = (byte(i + k) >> 6) == 2;
                zeichen = (zeichen << 6) | (byte(i + k) & 0x3F);
            }
            const char32_t kleinstes[] = {0, 0, 0x80, 0x800, 0x10000};
            gueltig = gueltig && zeichen >= kleinstes[laenge] && zeichen <= 0x10FFFF
                      && (zeichen < 0xD800 || zeichen > 0xDFFF);
        }
        if (!gueltig) {
            f(char32_t{0xFFFD});
            ++i;
            continue;
        }
        f(zeichen);
        i += laenge;
    }
}

bool druckbaresAscii(char32_t z) { return z >= 0x20 && z < 0x7F; }

// The point file's name for a klartext comment: ISO 8859-1, where the
// character has no byte there or is a control character '_'.
std::string latin1Name(std::string_view name)
{
    std::string text;
    std::size_t zeichen = 0;
    zeichenDurchgehen(name, [&](char32_t z) {
        if (++zeichen > kommentarnamenLaenge)
            return;
        const bool darstellbar = druckbaresAscii(z) || (z >= 0xA0 && z <= 0xFF);
        text.push_back(darstellbar ? static_cast<char>(z) : '_');
    });
    return zeichen > kommentarnamenLaenge ? text + "..." : text;
}

// The point file's name for a DIN comment: ASCII, German letters spelt out,
// brackets (which would end the comment) and anything else as '_'.
std::string asciiName(std::string_view name)
{
    std::string text;
    std::size_t zeichen = 0;
    zeichenDurchgehen(name, [&](char32_t z) {
        if (++zeichen > kommentarnamenLaenge)
            return;
        switch (z) {
        case U'ä': text += "ae"; return;
        case U'ö': text += "oe"; return;
        case U'ü': text += "ue"; return;
        case U'Ä': text += "Ae"; return;
        case U'Ö': text += "Oe"; return;
        case U'Ü': text += "Ue"; return;
        case U'ß': text += "ss"; return;
        case U'(':
        case U')': text += '_'; return;
        default: text.push_back(druckbaresAscii(z) ? static_cast<char>(z) : '_');
        }
    });
    return zeichen > kommentarnamenLaenge ? text + "..." : text;
}

// The shortest text that reads back as v, period as separator.
std::string zahltext(double v)
{
    char puffer[64];
    return std::string(puffer, std::to_chars(puffer, puffer + sizeof puffer, v).ptr);
}

// The feed word of the path's first block.
std::string vorschubwort(double vorschub) { return " F" + zahlwort(vorschub); }

// One line of the program, composed in place.
class Satz {
public:
    Satz& operator<<(std::string_view text)
    {
        std::memcpy(ende_, text.data(), text.size());
        ende_ += text.size();
        return *this;
    }
    Satz& nummer(Index n)
    {
        ende_ = std::to_chars(ende_, ende_ + 20, n).ptr;
        return *this;
    }
    // " X+12.3450" or " X12.3450"
    Satz& wert(std::string_view wort, std::int64_t zehntausendstel, bool plus)
    {
        *this << wort;
        ende_ = bahnzahlSchreiben(zehntausendstel, ende_, plus);
        return *this;
    }
    void anhaengen(std::string& ziel, std::string_view zeilenende)
    {
        *this << zeilenende;
        ziel.append(puffer_, static_cast<std::size_t>(ende_ - puffer_));
    }

private:
    char puffer_[160];  // a block of the path takes at most some 120 bytes
    char* ende_ = puffer_;
};

std::string wort(std::string_view buchstabe, std::int64_t zehntausendstel, bool plus)
{
    return koordinatenwort(buchstabe, zehntausendstel, plus);
}

// The frame's places without compensation: the tool plunges at point 1 and leaves
// at the last point.
Rahmenlage lageOhneKorrektur(Bahnpunkt anfang, Bahnpunkt ende)
{
    Rahmenlage lage;
    lage.start = anfang;
    lage.ziel = ende;
    return lage;
}

void alleSchreiben(Ausgabe& ziel, const std::string& kopf, const std::string& rumpf,
                   const std::string& schluss)
{
    ziel.schreiben(kopf.data(), kopf.size());
    ziel.schreiben(rumpf.data(), rumpf.size());
    ziel.schreiben(schluss.data(), schluss.size());
}

class Klartext : public Programmtext {
public:
    Klartext(double vorschub, std::optional<Rahmen> rahmen)
        : vorschub_(vorschubwort(vorschub)), rahmen_(std::move(rahmen)),
          naechster_(rahmen_ ? ersterRahmensatz + static_cast<Index>(rahmen_->klartextKopfsaetze())
                             : ersterRumpfsatz),
          vorschubGeschrieben_(rahmen_ && rahmen_->mitKorrektur())
    {
    }

    void bahnBeginnen(Bahnpunkt start) override { start_ = ende_ = start; }

    void elementAufnehmen(Bahnpunkt, const Bahnelement& e) override
    {
        const bool bogen = e.art != Bahnelement::Art::gerade;
        if (bogen) {
            Satz mitte;
            mitte.nummer(naechster_++) << " CC";
            mitte.wert(" X", e.mitte.x, true)
                .wert(" Y", e.mitte.y, true)
                .anhaengen(rumpf_, zeilenende);
        }
        Satz satz;
        satz.nummer(naechster_++) << (bogen ? " C" : " L");
        satz.wert(" X", e.ende.x, true).wert(" Y", e.ende.y, true);
        if (bogen)
            satz << (e.art == Bahnelement::Art::links ? " DR+" : " DR-");
        if (!vorschubGeschrieben_)
            satz << vorschub_;
        vorschubGeschrieben_ = true;
        satz.anhaengen(rumpf_, zeilenende);
        ende_ = e.ende;
    }

    void schreiben(Ausgabe& ziel, const Programmangaben& angaben) const override
    {
        const std::string name = programmnameBilden(angaben.programmname);
        const std::string ende(zeilenende);
        const Bahnrahmen& r = angaben.rahmen;
        std::string kopf = "0 BEGIN PGM " + name + " MM" + ende;
        kopf += "1 ; Punktdatei " + latin1Name(angaben.punktdatei) + ", fehl "
                + zahltext(angaben.fehl) + ", "
                + bahnzaehlung(angaben.bahn, "B\xF6gen", " (kuerzeste Bahn)") + ende;
        kopf += "2 BLK FORM 0.1 Z" + wort(" X", r.min.x, true) + wort(" Y", r.min.y, true) + " Z-1"
                + ende;
        kopf += "3 BLK FORM 0.2" + wort(" X", r.max.x, true) + wort(" Y", r.max.y, true) + " Z+0"
                + ende;
        Index nummer = ersterRahmensatz;
        std::string schluss;
        if (rahmen_) {
            const Rahmenlage lage = angaben.lage ? *angaben.lage : lageOhneKorrektur(start_, ende_);
            for (const std::string& satz : rahmen_->klartextKopf(lage, start_))
                kopf += std::to_string(nummer++) + " " + satz + ende;
            nummer = naechster_;
            for (const std::string& satz : rahmen_->klartextSchluss(lage))
                schluss += std::to_string(nummer++) + " " + satz + ende;
        } else {
            kopf +=
                "4 L" + wort(" X", start_.x, true) + wort(" Y", start_.y, true) + " R0 FMAX" + ende;
            nummer = naechster_;
        }
        schluss += std::to_string(nummer) + " END PGM " + name + " MM" + ende;
        alleSchreiben(ziel, kopf, rumpf_, schluss);
    }

private:
    static constexpr std::string_view zeilenende = "\r\n";
    // The frame's blocks follow BEGIN PGM, the comment and the blank form; without
    // a frame, the path's blocks follow those and the move to point 1.
    static constexpr Index ersterRahmensatz = 4;
    static constexpr Index ersterRumpfsatz = 5;

    std::string vorschub_;
    std::optional<Rahmen> rahmen_;
    Bahnpunkt start_, ende_;
    std::string rumpf_;
    Index naechster_;
    bool vorschubGeschrieben_;
};

class Din : public Programmtext {
public:
    Din(double vorschub, std::optional<Rahmen> rahmen)
        : vorschub_(vorschubwort(vorschub)), rahmen_(std::move(rahmen)),
          vorschubImRumpf_(!rahmen_ || !rahmen_->mitKorrektur())
    {
    }

    void bahnBeginnen(Bahnpunkt start) override { start_ = ende_ = start; }

    void elementAufnehmen(Bahnpunkt von, const Bahnelement& e) override
    {
        Satz satz;
        switch (e.art) {
        case Bahnelement::Art::gerade: satz << "G1"; break;
        case Bahnelement::Art::links: satz << "G3"; break;
        case Bahnelement::Art::rechts: satz << "G2"; break;
        }
        satz.wert(" X", e.ende.x, false).wert(" Y", e.ende.y, false);
        if (e.art != Bahnelement::Art::gerade)
            satz.wert(" I", e.mitte.x - von.x, false).wert(" J", e.mitte.y - von.y, false);
        if (rumpf_.empty() && vorschubImRumpf_)
            satz << vorschub_;
        satz.anhaengen(rumpf_, "\n");
        ende_ = e.ende;
    }

    void schreiben(Ausgabe& ziel, const Programmangaben& angaben) const override
    {
        std::string kopf = "%\n(Punktdatei " + asciiName(angaben.punktdatei) + ", fehl "
                           + zahltext(angaben.fehl) + ", "
                           + bahnzaehlung(angaben.bahn, "Boegen", ", kuerzeste Bahn") + ")\n";
        kopf += "G21 G17 G90\n";
        std::string schluss;
        if (rahmen_) {
            const Rahmenlage lage = angaben.lage ? *angaben.lage : lageOhneKorrektur(start_, ende_);
            for (const std::string& satz : rahmen_->dinKopf(lage, start_))
                kopf += satz + "\n";
            for (const std::string& satz : rahmen_->dinSchluss(lage, ende_))
                schluss += satz + "\n";
        } else {
            kopf += "G0" + wort(" X", start_.x, false) + wort(" Y", start_.y, false) + "\n";
        }
        alleSchreiben(ziel, kopf, rumpf_, schluss + "M30\n%\n");
    }

private:
    std::string vorschub_;
    std::optional<Rahmen> rahmen_;
    bool vorschubImRumpf_;
    Bahnpunkt start_, ende_;
    std::string rumpf_;
};

}  // namespace

std::unique_ptr<Programmtext> Programmtext::erstellen(Dialekt dialekt, double vorschub,
                                                      std::optional<Rahmen> rahmen)
{
    if (dialekt == Dialekt::klartext)
        return std::make_unique<Klartext>(vorschub, std::move(rahmen));
    return std::make_unique<Din>(vorschub, std::move(rahmen));
}

std::string programmnameBilden(const std::string& name)
{
    std::string text;
    zeichenDurchgehen(name, [&](char32_t z) {
        const bool erlaubt = (z >= U'A' && z <= U'Z') || (z >= U'a' && z <= U'z')
                             || (z >= U'0' && z <= U'9') || z == U'_';
        text.push_back(erlaubt ? static_cast<char>(z) : '_');
    });
    return text.empty() ? "_" : text;
}

}  // namespace bogenkette
