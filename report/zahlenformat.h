// Number texts of the report in the regional number settings of one locale.
//
// The locale's decimal separator, digit grouping, negative sign and digits are
// read off Qt's own formatting once, when the format is made, and mapped to
// Windows-1252 (the report's character set). Texts are then composed without heap
// allocation: a report of millions of rows formats several numbers per row.
//
// Three-decimal text: the exact binary value rounded to three decimals, exact
// halfway cases away from zero (0.0625 -> 0,063), a value that rounds to zero
// without a minus sign. General text: at most 15 significant digits, no trailing
// zeros, no grouping, never an exponent.
#pragma once

#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bogenkette {

// Room for the longest three-decimal text of any finite double in any locale.
inline constexpr std::size_t maxZahltext = 2048;
// The longest text dreiStellenVor writes: sign, 16 digits, 5 separators,
// decimal separator and 3 decimals.
inline constexpr std::size_t maxKurztext = 26;

class Zahlenformat {
public:
    explicit Zahlenformat(const QLocale& locale);

    // German settings: the reference of the report (1.234,568 and -0,050).
    static Zahlenformat deutsch();
    // The host's regional settings; German where none are configured (C/POSIX),
    // since every text of the report is German.
    static Zahlenformat system();

    // Writes the three-decimal text of v to ziel (at least maxZahltext bytes) and
    // returns its length in bytes, which is its length in characters.
    std::size_t dreiStellen(double v, char* ziel) const;
    std::string dreiStellen(double v) const;
    // The same text written so that it ends just before `ende`, for the usual
    // locales (one-byte minus sign and decimal separator, digits plain or in
    // groups of three) and values below 2^63 thousandths: then the length, and
    // only the text's bytes, at most maxKurztext before `ende`, are written. 0
    // with nothing written otherwise; dreiStellen then gives the text.
    std::size_t dreiStellenVor(double v, char* ende) const;

    // General number text of a value, without the blanks around it.
    std::string allgemein(double v) const;

    const QLocale& locale() const { return locale_; }

private:
    QLocale locale_;
    std::string minus_;    // text in front of a negative number
    std::string dezimal_;  // decimal separator
    // schablone_[n]: the integer part of an n-digit number, with '\0' where a digit
    // goes and the locale's group separators in between, for every digit count a
    // finite double can have. All are made with the format, which is never changed
    // after, so that threads may share it.
    static constexpr std::size_t hoechstensZiffern = 309;
    std::vector<std::string> schablone_;
    // For numbers of up to artZiffern digits: whether the template is the digits
    // alone (Art::Ziffern) or groups of three digits from the right with the
    // one-byte separator gruppenTrenner_ (Art::Dreier), which are written without
    // walking the template.
    static constexpr std::size_t artZiffern = 20;
    enum class Art : unsigned char { Schablone, Ziffern, Dreier };
    Art art_[artZiffern + 1] = {};
    char gruppenTrenner_ = 0;
    bool einBytig_ = false;     // minus sign and decimal separator one byte each
    bool kurzEinfach_ = false;  // numbers of 1 to 3 digits are written as plain digits
    std::size_t dreiStellenAllgemein(double v, char* ziel) const;
    std::string schabloneBilden(std::size_t n) const;
    void langeSchablonenBilden();
    Art artBestimmen(std::size_t n);
};

// A character of the locale's number texts in Windows-1252: the character itself
// where the set has it, otherwise the nearest one (a narrow no-break space becomes
// a no-break space, a minus sign a hyphen-minus, other scripts' digits ASCII
// digits); invisible direction marks give nothing. Appends to ziel.
void alsCp1252(QStringView text, std::string& ziel);

}  // namespace bogenkette
