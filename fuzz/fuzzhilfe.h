// What both fuzz targets share: the regional settings and the contour error chosen
// from the input's last bytes, and the stop on a broken rule.
//
// The parameters come from the end of the input (FuzzedDataProvider takes whole
// numbers from there), so a point file used as a seed keeps its points: a file
// that ends in CR LF, as the bundled cases do, runs with German settings and 0.05.
#pragma once

#include "report/zahlenformat.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace bogenkette {

// Regional settings by the input's last byte: German, others with other
// separators, grouping, minus signs and digits, and the plain C settings.
inline const Zahlenformat& fuzzFormat(FuzzedDataProvider& eingabe)
{
    static const char* const namen[] = {"en_US", "fr_FR", "de_DE", "de_CH",
                                        "hi_IN", "ar_EG", "sv_SE", "C"};
    static std::optional<Zahlenformat> formate[std::size(namen)];
    const std::size_t wahl = eingabe.ConsumeIntegral<std::uint8_t>() % std::size(namen);
    if (!formate[wahl])
        formate[wahl].emplace(QLocale(QString::fromLatin1(namen[wahl])));
    return *formate[wahl];
}

// The contour error by the next byte from the end: the usual values, tiny and
// large ones, or any value up to 1e9 read from further bytes.
inline double fuzzFehl(FuzzedDataProvider& eingabe)
{
    static constexpr double werte[] = {0.05, 0.01, 0.1,    1,      0.001, 0.5,  1e-6, 2,
                                       10,   100,  0.0625, 3.3e-5, 0.25,  0.05, 1e-12};
    const std::size_t wahl = eingabe.ConsumeIntegral<std::uint8_t>() % 16;
    if (wahl < std::size(werte))
        return werte[wahl];
    return eingabe.ConsumeFloatingPointInRange<double>(1e-300, 1e9);
}

// Stops the fuzzer with the broken rules; libFuzzer keeps the input.
inline void verlangen(bool erfuellt, const std::vector<std::string>& regeln)
{
    if (erfuellt)
        return;
    for (const std::string& regel : regeln)
        std::fprintf(stderr, "Regel verletzt: %s\n", regel.c_str());
    std::abort();
}

inline void verlangen(bool erfuellt, const std::string& regel)
{
    verlangen(erfuellt, std::vector<std::string>{regel});
}

}  // namespace bogenkette
