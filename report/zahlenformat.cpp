#include "report/zahlenformat.h"

#include "common/dezimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace bogenkette {

namespace {

// Windows-1252 bytes 0x80 to 0x9F and the characters they stand for (0 = unused).
constexpr char16_t cp1252Oben[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0};

// Byte for one character, or -1 to leave it out.
int cp1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (cp1252Oben[i] == u)
            return 0x80 + i;
    if (c.isDigit())
        return '0' + c.digitValue();
    switch (u) {
    case 0x202F:  // narrow no-break space
    case 0x2007:  // figure space
    case 0x2009:  // thin space
        return 0xA0;
    case 0x2212:  // minus sign
    case 0x2012:  // figure dash
        return '-';
    case 0x066B:  // Arabic decimal separator
        return ',';
    case 0x066C:  // Arabic thousands separator
        return 0x92;
    case 0x200E:  // left-to-right mark
    case 0x200F:  // right-to-left mark
    case 0x061C:  // Arabic letter mark
        return -1;
    default: return '?';
    }
}

bool istZiffer(QChar c) { return c.isDigit(); }

// The number of decimal digits of n (1 for 0).
std::size_t ziffernAnzahl(std::uint64_t n)
{
    // Digits from the bit length: 1233 / 4096 is just above log10(2).
    static constexpr auto zehnHoch = [] {
        std::array<std::uint64_t, 20> z{1};
        for (std::size_t i = 1; i < z.size(); ++i)
            z[i] = z[i - 1] * 10;
        return z;
    }();
    std::size_t laenge = static_cast<std::size_t>(std::bit_width(n | 1) * 1233) >> 12;
    if (laenge < 20 && (n | 1) >= zehnHoch[laenge])
        ++laenge;
    return laenge;
}

// "000" to "999", four bytes apart behind an unused byte, and a spare entry so
// that four bytes can be read from any place inside the last one. Entry d is the
// four bytes from 4 d: copied forward from 4 d + 1, backward as a whole (its
// first byte lands left of the digits, where the next byte written goes).
constexpr auto dreierTabelle = [] {
    std::array<char, 4 * 1001> t{};
    for (unsigned d = 0; d < 1000; ++d) {
        t[4 * d + 1] = static_cast<char>('0' + d / 100);
        t[4 * d + 2] = static_cast<char>('0' + d / 10 % 10);
        t[4 * d + 3] = static_cast<char>('0' + d % 10);
    }
    return t;
}();

// The significant digits of the exact binary value of v > 0, rounded to
// `stellen` digits with exact halfway cases away from zero (as the three-decimal
// texts round), and the power of ten of the first: 0.0625 to two digits gives
// "63" and -2. A double has at most 767 significant digits, so to_chars with 766
// decimals in scientific form writes them all; the digit after the last one kept
// then tells whether the rest is at least one half.
std::string gerundeteZiffern(double v, std::size_t stellen, int& exponent)
{
    char puffer[800];
    const char* const ende =
        std::to_chars(puffer, puffer + sizeof puffer, v, std::chars_format::scientific, 766).ptr;
    const char* const e = std::find(static_cast<const char*>(puffer), ende, 'e');
    std::from_chars(e + 1 + (e[1] == '+'), ende, exponent);
    std::string ziffern;
    for (const char* p = puffer; p < e; ++p)
        if (*p != '.')
            ziffern.push_back(*p);
    const bool aufrunden = ziffern[stellen] >= '5';
    ziffern.resize(stellen);
    if (aufrunden) {
        std::size_t i = stellen;
        while (i > 0 && ziffern[i - 1] == '9')
            ziffern[--i] = '0';
        if (i == 0) {
            ziffern.insert(ziffern.begin(), '1');
            ziffern.pop_back();
            ++exponent;
        } else {
            ++ziffern[i - 1];
        }
    }
    return ziffern;
}

}  // namespace

void alsCp1252(QStringView text, std::string& ziel)
{
    for (QChar c : text) {
        const int b = cp1252Byte(c);
        if (b >= 0)
            ziel.push_back(static_cast<char>(b));
    }
}

Zahlenformat::Zahlenformat(const QLocale& locale) : locale_(locale)
{
    // Decimal separator: what stands between "1" and "500" in 1.5.
    const QString eins = locale_.toString(1.5, 'f', 3);
    qsizetype i = 0;
    while (i < eins.size() && !istZiffer(eins[i]))
        ++i;
    qsizetype j = i + 1;
    while (j < eins.size() && !istZiffer(eins[j]))
        ++j;
    alsCp1252(QStringView(eins).mid(i + 1, j - i - 1), dezimal_);

    // Negative sign: what stands in front of the digits of -1.5.
    const QString minus = locale_.toString(-1.5, 'f', 3);
    qsizetype k = 0;
    while (k < minus.size() && !istZiffer(minus[k]))
        ++k;
    alsCp1252(QStringView(minus).left(k), minus_);

    schablone_.resize(hoechstensZiffern + 1);
    for (std::size_t n = 1; n <= artZiffern; ++n)
        schablone_[n] = schabloneBilden(n);
    langeSchablonenBilden();
    for (std::size_t n = 1; n <= artZiffern; ++n)
        art_[n] = artBestimmen(n);
    einBytig_ = minus_.size() == 1 && dezimal_.size() == 1;
    kurzEinfach_ =
        art_[1] != Art::Schablone && art_[2] != Art::Schablone && art_[3] != Art::Schablone;
}

// Whether template n is plain digits, or digits in groups of three from the right
// with one one-byte separator (the same in every template that has one).
Zahlenformat::Art Zahlenformat::artBestimmen(std::size_t n)
{
    const std::string& s = schablone_[n];
    if (s == std::string(n, '\0'))
        return Art::Ziffern;
    std::string dreier;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            dreier.push_back('?');
        dreier.push_back('\0');
    }
    for (std::size_t i = 0; i < s.size(); ++i)
        if (dreier.size() != s.size() || (dreier[i] == '\0') != (s[i] == '\0'))
            return Art::Schablone;
    for (char c : s)
        if (c != '\0') {
            if (gruppenTrenner_ != 0 && c != gruppenTrenner_)
                return Art::Schablone;
            gruppenTrenner_ = c;
        }
    return Art::Dreier;
}

namespace {

// A template of n digits grouped as the locale groups them: once the number has
// at least `ab` digits, a separator stands after the `erste` digits at the right
// and then after every `weitere` digits.
std::string gruppiert(std::size_t n, std::size_t ab, std::size_t erste, std::size_t weitere,
                      const std::string& trenner)
{
    std::string s;
    for (std::size_t rechts = n; rechts > 0; --rechts) {
        s.push_back('\0');
        const std::size_t danach = rechts - 1;  // digits right of this one
        if (n >= ab && danach >= erste && (danach - erste) % weitere == 0)
            s += trenner;
    }
    return s;
}

}  // namespace

// Templates of more digits than artZiffern, which Qt is slow to make: by the rule
// of grouping that the shorter ones show, when that rule makes every one of them
// again; otherwise (a locale of irregular grouping) from Qt itself.
void Zahlenformat::langeSchablonenBilden()
{
    const std::string& laengste = schablone_[artZiffern];
    std::vector<std::size_t> versatz;  // digits right of each separator, from the right
    std::string trenner;
    std::size_t ziffern = 0;
    for (std::size_t i = laengste.size(); i > 0; --i) {
        if (laengste[i - 1] == '\0') {
            ++ziffern;
            continue;
        }
        if (versatz.empty() || versatz.back() != ziffern) {
            versatz.push_back(ziffern);
            trenner.clear();
        }
        trenner.insert(trenner.begin(), laengste[i - 1]);
    }
    std::size_t ab = artZiffern + 1;
    for (std::size_t n = artZiffern; n >= 1 && schablone_[n] != std::string(n, '\0'); --n)
        ab = n;
    bool regel = versatz.empty() || versatz.size() >= 2;
    const std::size_t erste = versatz.empty() ? artZiffern : versatz[0];
    const std::size_t weitere = versatz.size() >= 2 ? versatz[1] - versatz[0] : 1;
    for (std::size_t n = 1; regel && n <= artZiffern; ++n)
        regel = gruppiert(n, ab, erste, weitere, trenner) == schablone_[n];
    for (std::size_t n = artZiffern + 1; n <= hoechstensZiffern; ++n)
        schablone_[n] = regel ? gruppiert(n, ab, erste, weitere, trenner) : schabloneBilden(n);
}

// Grouping: the integer part of an n-digit number as the locale writes it. Some
// locales group the top digits differently or not at all below five digits, so
// every digit count is taken from the locale itself.
std::string Zahlenformat::schabloneBilden(std::size_t n) const
{
    std::string s;
    const double wert = n == 309 ? 1e308 : 1.5 * std::pow(10.0, static_cast<double>(n) - 1);
    const QString text = locale_.toString(wert, 'f', 0);
    qsizetype p = 0;
    while (p < text.size() && !istZiffer(text[p]))
        ++p;
    qsizetype ende = text.size();
    while (ende > p && !istZiffer(text[ende - 1]))
        --ende;
    for (; p < ende; ++p) {
        if (istZiffer(text[p]))
            s.push_back('\0');
        else
            alsCp1252(QStringView(text).mid(p, 1), s);
    }
    return s;
}

Zahlenformat Zahlenformat::deutsch()
{
    return Zahlenformat(QLocale(QLocale::German, QLocale::Germany));
}

Zahlenformat Zahlenformat::system()
{
    const QLocale host = QLocale::system();
    if (host.language() == QLocale::C)
        return deutsch();
    return Zahlenformat(host);
}

std::size_t Zahlenformat::dreiStellen(double v, char* ziel) const
{
    // The usual text is written from its end, then moved to the front.
    char puffer[maxKurztext];
    const std::size_t laenge = dreiStellenVor(v, puffer + maxKurztext);
    if (laenge == 0)
        return dreiStellenAllgemein(v, ziel);
    std::memcpy(ziel, puffer + maxKurztext - laenge, laenge);
    return laenge;
}

// Any value in any locale: the digits, then the template of their number.
std::size_t Zahlenformat::dreiStellenAllgemein(double v, char* ziel) const
{
    if (!std::isfinite(v)) {
        const char* text = std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
        std::memcpy(ziel, text, std::strlen(text));
        return std::strlen(text);
    }
    // "ddd.ddd": the digits before the point, the point, three decimals. Below
    // 2^53 from the rounded thousandths; from there on v is a whole number, whose
    // digits to_chars writes exactly.
    char ziffern[400];
    std::uint64_t tausendstel = 0;
    const bool gerundet = dezimalRunden<3>(std::fabs(v), tausendstel);
    if (gerundet) {
        const auto ende = std::to_chars(ziffern, ziffern + 20, tausendstel / 1000).ptr;
        const auto rest = static_cast<unsigned>(tausendstel % 1000);
        ende[0] = '.';
        ende[1] = static_cast<char>('0' + rest / 100);
        ende[2] = static_cast<char>('0' + rest / 10 % 10);
        ende[3] = static_cast<char>('0' + rest % 10);
    } else {
        std::to_chars(ziffern, ziffern + sizeof ziffern, std::fabs(v), std::chars_format::fixed, 3);
    }
    const auto ganz =
        static_cast<std::size_t>(std::find(ziffern, ziffern + sizeof ziffern, '.') - ziffern);
    char* z = ziel;
    if (std::signbit(v) && !(gerundet && tausendstel == 0))
        z = std::copy(minus_.begin(), minus_.end(), z);
    std::size_t ziffer = 0;
    for (char c : schablone_[ganz])
        *z++ = c == '\0' ? ziffern[ziffer++] : c;
    z = std::copy(dezimal_.begin(), dezimal_.end(), z);
    return static_cast<std::size_t>(std::copy_n(ziffern + ganz + 1, 3, z) - ziel);
}

std::size_t Zahlenformat::dreiStellenVor(double v, char* ende) const
{
    std::uint64_t tausendstel = 0;
    if (!einBytig_ || !std::isfinite(v) || !dezimalRunden<3>(std::fabs(v), tausendstel))
        return 0;
    std::uint64_t ganz = tausendstel / 1000;  // below 2^63 / 1000: at most 16 digits
    const Art art = ganz < 1000 ? art_[3] : art_[ziffernAnzahl(ganz)];  // art_[3] stands for 1 to 3
    if (art == Art::Schablone || (ganz < 1000 && !kurzEinfach_))
        return 0;
    // From the right: decimals, separator, groups of three, the leading digits, the
    // sign. Each copy of four bytes puts a spare byte left of its three digits,
    // where the next byte written lands.
    char* z = ende - 3;
    std::memcpy(z - 1, dreierTabelle.data() + 4 * (tausendstel - ganz * 1000), 4);
    *--z = dezimal_[0];
    while (ganz >= 1000) {
        const std::uint64_t vorn = ganz / 1000;
        z -= 3;
        std::memcpy(z - 1, dreierTabelle.data() + 4 * (ganz - vorn * 1000), 4);
        if (art == Art::Dreier)
            *--z = gruppenTrenner_;
        ganz = vorn;
    }
    const char* vorn = dreierTabelle.data() + 4 * ganz + 1;  // the leading 1 to 3 digits
    *--z = vorn[2];
    if (ganz >= 10) {
        *--z = vorn[1];
        if (ganz >= 100)
            *--z = vorn[0];
    }
    if (std::signbit(v) && tausendstel != 0)
        *--z = minus_[0];
    return static_cast<std::size_t>(ende - z);
}

std::string Zahlenformat::dreiStellen(double v) const
{
    char puffer[maxZahltext];
    return std::string(puffer, dreiStellen(v, puffer));
}

std::string Zahlenformat::allgemein(double v) const
{
    if (!std::isfinite(v))
        return std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
    if (v == 0.0)
        return "0";
    // At most 15 significant digits, written out without exponent or trailing zeros.
    int exponent = 0;
    std::string ziffern = gerundeteZiffern(std::fabs(v), 15, exponent);
    while (ziffern.size() > 1 && ziffern.back() == '0')
        ziffern.pop_back();
    std::string ganz, bruch;
    if (exponent >= 0) {
        const auto stellen = static_cast<std::size_t>(exponent) + 1;
        ganz = ziffern.substr(0, std::min(stellen, ziffern.size()));
        ganz.append(stellen - ganz.size(), '0');
        if (ziffern.size() > stellen)
            bruch = ziffern.substr(stellen);
    } else {
        ganz = "0";
        bruch = std::string(static_cast<std::size_t>(-exponent - 1), '0') + ziffern;
    }
    std::string text = std::signbit(v) ? minus_ : "";
    text += ganz;
    if (!bruch.empty())
        text += dezimal_ + bruch;
    return text;
}

}  // namespace bogenkette
