#include "input/punktdatei.h"

#include "common/fehler.h"
#include "input/bytequelle.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace bogenkette {

namespace {

// The first LF or CR in p[i .. ende), or ende: eight bytes at a time, a byte of
// the word being found by the borrow it causes when the word minus 0x01 in every
// byte is taken (the lowest such byte is exact).
std::size_t zeilenendeSuchen(const char* p, std::size_t i, std::size_t ende)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t eins = 0x0101010101010101, hoch = 0x8080808080808080;
        for (; i + 8 <= ende; i += 8) {
            std::uint64_t wort = 0;
            std::memcpy(&wort, p + i, 8);
            const std::uint64_t lf = wort ^ (eins * '\n'), cr = wort ^ (eins * '\r');
            const std::uint64_t treffer = ((lf - eins) & ~lf & hoch) | ((cr - eins) & ~cr & hoch);
            if (treffer != 0)
                return i + static_cast<std::size_t>(std::countr_zero(treffer)) / 8;
        }
    }
    while (i < ende && p[i] != '\n' && p[i] != '\r')
        ++i;
    return i;
}

// Splits a byte stream into lines (ends CR LF, LF or CR) in a fixed buffer, no
// larger than the source needs: a small file is read without a large allocation.
class Zeilenleser {
public:
    Zeilenleser(Bytequelle& quelle, const std::string& name)
        : quelle_(quelle), name_(name),
          groesse_(std::min(quelle.umfang(), hoechstens - maxZeilenlaenge - 1) + maxZeilenlaenge
                   + 1),
          puffer_(std::make_unique_for_overwrite<char[]>(groesse_))
    {
        nachladen();
        if (ende_ >= 3 && std::memcmp(puffer_.get(), "\xEF\xBB\xBF", 3) == 0)
            anfang_ = 3;  // UTF-8 byte-order mark
    }

    Index zeilennummer() const { return nummer_; }
    bool naechste(std::string_view& zeile)
    {
        std::size_t gesucht = anfang_;  // bytes before this hold no line end
        for (;;) {
            if (anfang_ == ende_) {
                if (!nachladen())
                    return false;
                gesucht = anfang_;
            }
            if (lfUeberspringen_) {
                lfUeberspringen_ = false;
                if (puffer_[anfang_] == '\n') {
                    ++anfang_;
                    gesucht = anfang_;
                    continue;
                }
            }
            const char* p = puffer_.get();
            const std::size_t i = zeilenendeSuchen(p, gesucht, ende_);
            if (i < ende_) {
                zeile = std::string_view(p + anfang_, i - anfang_);
                lfUeberspringen_ = p[i] == '\r';
                anfang_ = i + 1;
                ++nummer_;
                pruefeLaenge(zeile.size(), nummer_);
                return true;
            }
            pruefeLaenge(ende_ - anfang_, nummer_ + 1);
            gesucht = ende_ - anfang_;
            if (!nachladen()) {  // last line without a line end
                zeile = std::string_view(p + anfang_, ende_ - anfang_);
                anfang_ = ende_;
                ++nummer_;
                return true;
            }
        }
    }

private:
    // At least one line longer than the longest allowed fits, so that a full
    // buffer without a line end shows a line that is too long.
    static constexpr std::size_t hoechstens = (1 << 20) + maxZeilenlaenge + 1;

    // Moves the unread rest to the front and reads more behind it.
    bool nachladen()
    {
        const std::size_t rest = ende_ - anfang_;
        std::memmove(puffer_.get(), puffer_.get() + anfang_, rest);
        anfang_ = 0;
        ende_ = rest;
        std::size_t neu = 0;
        while (ende_ < groesse_) {
            const std::size_t n = quelle_.lesen(puffer_.get() + ende_, groesse_ - ende_);
            if (n == 0)
                break;
            ende_ += n;
            neu += n;
        }
        return neu > 0;
    }

    void pruefeLaenge(std::size_t laenge, Index nummer) const
    {
        if (laenge > maxZeilenlaenge)
            throw Fehler("Punktdatei " + dateiname(name_) + ", Zeile " + std::to_string(nummer)
                         + ": die Zeile ist länger als " + std::to_string(maxZeilenlaenge)
                         + " Zeichen; eine Zeile enthält nur einen Punkt x,y.");
    }

    Bytequelle& quelle_;
    const std::string& name_;
    const std::size_t groesse_;
    std::unique_ptr<char[]> puffer_;
    std::size_t anfang_ = 0, ende_ = 0;
    bool lfUeberspringen_ = false;
    Index nummer_ = 0;
};

bool istLeerzeichen(char c) { return c == ' ' || c == '\t'; }

std::string_view getrimmt(std::string_view text)
{
    while (!text.empty() && istLeerzeichen(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && istLeerzeichen(text.back()))
        text.remove_suffix(1);
    return text;
}

bool istZiffer(char c) { return c >= '0' && c <= '9'; }

// The powers of ten that double holds exactly.
constexpr double zehnerpotenz[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Start of a line for a message: printable ASCII, other bytes as '?'.
std::string auszug(std::string_view zeile)
{
    std::string text;
    for (char c : zeile.substr(0, 40))
        text.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    if (zeile.size() > 40)
        text += "...";
    return text;
}

enum class Zeilenart { Leer, Punkt };

class Zeilenpruefer {
public:
    Zeilenpruefer(const std::string& name, const Wertebereich& bereich)
        : name_(name), bereich_(bereich)
    {
    }

    Zeilenart lesen(std::string_view zeile, Index nummer, double& x, double& y) const
    {
        if (schnellLesen(zeile, x, y) && innerhalb(x, bereich_.x) && innerhalb(y, bereich_.y))
            return Zeilenart::Punkt;
        const std::string_view inhalt = getrimmt(zeile);
        if (inhalt.empty())
            return Zeilenart::Leer;
        const auto komma = inhalt.find(',');
        if (komma == std::string_view::npos)
            fehler(nummer, zeile, "enthält keine zwei durch Komma getrennten Werte");
        const std::string_view xText = getrimmt(inhalt.substr(0, komma));
        const std::string_view yText = getrimmt(inhalt.substr(komma + 1));
        if (yText.find(',') != std::string_view::npos)
            fehler(nummer, zeile, "enthält mehr als zwei Werte");
        wert(xText, "x", bereich_.x, nummer, zeile, x);
        wert(yText, "y", bereich_.y, nummer, zeile, y);
        return Zeilenart::Punkt;
    }

    [[noreturn]] void fehler(Index nummer, std::string_view zeile, const std::string& was) const
    {
        throw Fehler("Punktdatei " + dateiname(name_) + ", Zeile " + std::to_string(nummer) + ": \""
                     + auszug(zeile) + "\" " + was
                     + "; erwartet wird ein Punkt x,y wie 12.5,-3.75.");
    }

private:
    // The usual line, two plain decimal numbers of moderate size, read in one scan:
    // exactly the values the general way below gives (whose digits-and-division
    // path zahlLesen takes for them too). Any other line goes the general way,
    // which also words the messages.
    static bool schnellLesen(std::string_view zeile, double& x, double& y)
    {
        const char* p = zeile.data();
        const char* const ende = p + zeile.size();
        auto leerzeichen = [&] {
            while (p < ende && istLeerzeichen(*p))
                ++p;
        };
        auto zahl = [&](double& wert) {
            bool negativ = false;
            if (p < ende && (*p == '+' || *p == '-'))
                negativ = *p++ == '-';
            std::uint64_t ziffern = 0;
            // A run of digits into ziffern; the count is where the run ended.
            auto ziffernLesen = [&] {
                const char* const anfang = p;
                for (unsigned d = 0;
                     p < ende && (d = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9; ++p)
                    ziffern = ziffern * 10 + d;
                return static_cast<std::size_t>(p - anfang);
            };
            const std::size_t ganz = ziffernLesen();
            std::size_t bruch = 0;
            if (p < ende && *p == '.') {
                ++p;
                bruch = ziffernLesen();
            }
            if (ganz + bruch == 0 || ganz + bruch > 19 || ziffern > (std::uint64_t{1} << 53)
                || (p < ende && (*p == 'e' || *p == 'E')))
                return false;
            wert = static_cast<double>(ziffern) / zehnerpotenz[bruch];
            if (negativ)
                wert = -wert;
            return true;
        };
        leerzeichen();
        if (!zahl(x))
            return false;
        leerzeichen();
        if (p == ende || *p++ != ',')
            return false;
        leerzeichen();
        if (!zahl(y))
            return false;
        leerzeichen();
        return p == ende;
    }

    static bool innerhalb(double wert, const Achsenbereich& bereich)
    {
        return wert >= bereich.min && wert <= bereich.max;
    }

    void wert(std::string_view text, const char* achse, const Achsenbereich& bereich, Index nummer,
              std::string_view zeile, double& ziel) const
    {
        if (text.empty())
            fehler(nummer, zeile, std::string("hat keinen ") + achse + "-Wert");
        if (!zahlLesen(text, ziel))
            fehler(nummer, zeile, std::string("hat keinen gültigen ") + achse + "-Wert");
        if (!innerhalb(ziel, bereich))
            fehler(nummer, zeile,
                   std::string("hat einen ") + achse
                       + "-Wert, der zu groß für seine Berichtsspalte ist (höchstens "
                       + std::to_string(bereich.zeichen) + " Zeichen)");
    }

    const std::string& name_;
    const Wertebereich& bereich_;
};

[[noreturn]] void veraendert(const std::string& name)
{
    throw Fehler("Punktdatei " + dateiname(name) + " wurde während des Lesens verändert.");
}

// The second pass over the lines of `quelle`: checks them and stores their
// points in kontur, up to point `bis`. Gives the number of points stored.
Index durchlaufen(Bytequelle& quelle, const std::string& name, const Wertebereich& bereich,
                  Kontur& kontur, Index bis)
{
    Zeilenleser leser(quelle, name);
    const Zeilenpruefer pruefer(name, bereich);
    Index punkt = 0;
    std::string_view zeile;
    double x = 0.0, y = 0.0;
    while (leser.naechste(zeile)) {
        if (pruefer.lesen(zeile, leser.zeilennummer(), x, y) == Zeilenart::Leer)
            continue;
        ++punkt;
        if (punkt > bis)
            veraendert(name);
        kontur.xWert[static_cast<std::size_t>(punkt)] = x;
        kontur.yWert[static_cast<std::size_t>(punkt)] = y;
    }
    return punkt;
}

// The top bit of each byte of a word set where the byte is among
// "+,-.0123456789" (0x2B to 0x39 without '/'). Every byte is tested on its own:
// the sums below stay within their byte, so no carry passes to the next.
std::uint64_t zahlzeichenBits(std::uint64_t wort)
{
    constexpr std::uint64_t eins = 0x0101010101010101, hoch = eins * 0x80, tief = eins * 0x7F;
    const std::uint64_t x = wort & tief;
    const std::uint64_t abPlus = x + eins * (0x80 - '+');               // top bit: x >= '+'
    const std::uint64_t ueberNeun = x + eins * (0x80 - ':');            // top bit: x > '9'
    const std::uint64_t keinSchraegstrich = (x ^ (eins * '/')) + tief;  // top bit: x != '/'
    return abPlus & ~ueberNeun & keinSchraegstrich & ~wort & hoch;
}

// Whether a line of at least eight bytes holds only characters of the usual
// point line (digits , . + -), eight bytes at a time, the last word ending with
// the line. False says nothing: the caller then looks at every byte.
bool nurZahlzeichen(std::string_view zeile)
{
    constexpr std::uint64_t hoch = 0x8080808080808080;
    const std::size_t laenge = zeile.size();
    if (laenge < 8)
        return false;
    std::uint64_t wort = 0;
    std::memcpy(&wort, zeile.data() + laenge - 8, 8);
    std::uint64_t alle = zahlzeichenBits(wort);
    for (std::size_t i = 0; i + 8 < laenge; i += 8) {
        std::memcpy(&wort, zeile.data() + i, 8);
        alle &= zahlzeichenBits(wort);
    }
    return alle == hoch;
}

// The first pass: counts the lines that hold a point, so that every array is
// allocated once at its final size. It only looks at which characters a line
// holds; a line with a character no point has is checked in full at once, so
// that garbage is refused at its first line, before anything is allocated for
// it. The second pass checks every line in full.
Index punkteZaehlen(Bytequelle& quelle, const std::string& name, const Wertebereich& bereich)
{
    // Per byte: 1 = not a blank (the line holds something), 2 = no point has it.
    static constexpr auto klasse = [] {
        std::array<unsigned char, 256> k{};
        for (int c = 0; c < 256; ++c)
            k[static_cast<std::size_t>(c)] = 1 | 2;
        k[' '] = k['\t'] = 0;
        for (const char c : std::string_view("0123456789,.+-eE"))
            k[static_cast<unsigned char>(c)] = 1;
        return k;
    }();
    Zeilenleser leser(quelle, name);
    const Zeilenpruefer pruefer(name, bereich);
    Index punkte = 0;
    std::string_view zeile;
    while (leser.naechste(zeile)) {
        if (nurZahlzeichen(zeile)) {
            ++punkte;
            continue;
        }
        unsigned art = 0;
        for (const char c : zeile)
            art |= klasse[static_cast<unsigned char>(c)];
        if (art & 2) {
            double x = 0.0, y = 0.0;
            pruefer.lesen(zeile, leser.zeilennummer(), x, y);  // throws with the reason
        }
        punkte += art & 1;
    }
    return punkte;
}

void mindestensDreiPunkte(Index anzahl, const std::string& name)
{
    if (anzahl < 3)
        throw Fehler("Punktdatei " + dateiname(name) + " enthält " + std::to_string(anzahl)
                     + (anzahl == 1 ? " Punkt" : " Punkte")
                     + "; für eine Kette von Bögen sind mindestens 3 Punkte nötig.");
}

// The second pass: reads, checks and stores the points counted by the first.
Kontur punkteLesen(Index punkte, Bytequelle& quelle, const std::string& name,
                   const Wertebereich& bereich)
{
    Kontur kontur;
    kontur.anlegen(punkte);
    if (durchlaufen(quelle, name, bereich, kontur, punkte) != punkte)
        veraendert(name);
    mindestensDreiPunkte(punkte, name);
    return kontur;
}

}  // namespace

bool zahlLesen(std::string_view text, double& wert)
{
    std::size_t i = 0;
    bool negativ = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negativ = text[i++] == '-';
    const std::size_t mantisse = i;
    // The digits as a whole number as well, while it holds all of them exactly.
    std::size_t ganzZiffern = 0, bruchZiffern = 0;
    std::uint64_t ziffern = 0;
    while (i < text.size() && istZiffer(text[i])) {
        ziffern = ziffern * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++i, ++ganzZiffern;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && istZiffer(text[i])) {
            ziffern = ziffern * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++i, ++bruchZiffern;
        }
    }
    if (ganzZiffern + bruchZiffern == 0)
        return false;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegativ = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            expNegativ = text[i++] == '-';
        if (i == text.size() || !istZiffer(text[i]))
            return false;
        while (i < text.size() && istZiffer(text[i])) {
            if (exponent < 100000000)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (expNegativ)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;

    const char* anfang = text.data() + mantisse;
    const char* ende = text.data() + text.size();
    if (exponent == 0 && ganzZiffern + bruchZiffern <= 19 && bruchZiffern <= 22) {
        // Digits and ten's power exact in double (19 digits do not overflow 64
        // bits): one division rounds the exact quotient once, the same correctly
        // rounded value from_chars gives.
        if (ziffern <= (std::uint64_t{1} << 53)) {
            wert = static_cast<double>(ziffern) / zehnerpotenz[bruchZiffern];
            if (negativ)
                wert = -wert;
            return true;
        }
    }
    const auto ergebnis = std::from_chars(anfang, ende, wert);
    if (ergebnis.ec == std::errc::result_out_of_range) {
        // Tell a value too small for double (becomes 0) from one too large.
        long long groessenordnung = 0;
        std::size_t k = 0;
        while (k < ganzZiffern && anfang[k] == '0')
            ++k;
        if (k < ganzZiffern) {
            groessenordnung = static_cast<long long>(ganzZiffern - k) - 1 + exponent;
        } else {
            std::size_t nullen = 0;
            const char* bruch = anfang + ganzZiffern + 1;
            while (nullen < bruchZiffern && bruch[nullen] == '0')
                ++nullen;
            groessenordnung = -static_cast<long long>(nullen) - 1 + exponent;
        }
        if (groessenordnung >= 0)
            return false;
        wert = 0.0;
    } else if (ergebnis.ec != std::errc() || ergebnis.ptr != ende) {
        return false;
    }
    if (negativ)
        wert = -wert;
    return true;
}

Kontur punktdateiLesen(const std::string& strDateiname, const Wertebereich& bereich)
{
    // Both passes read the same open file: a file replaced meanwhile does not mix in.
    Dateiquelle quelle(strDateiname);
    const Index punkte = punkteZaehlen(quelle, strDateiname, bereich);
    quelle.zurueckspulen();
    return punkteLesen(punkte, quelle, strDateiname, bereich);
}

Kontur punkteAusText(std::string_view inhalt, const std::string& name, const Wertebereich& bereich)
{
    Textquelle zaehlung(inhalt);
    const Index punkte = punkteZaehlen(zaehlung, name, bereich);
    Textquelle quelle(inhalt);
    return punkteLesen(punkte, quelle, name, bereich);
}

Punktkanal::Punktkanal(const std::string& strDateiname)
    : datei_(std::make_shared<Dateiquelle>(strDateiname, true))
{
}

}  // namespace bogenkette
