// Test helper: a point list from literal points.
#pragma once

#include "input/kontur.h"

#include <utility>
#include <vector>

namespace bogenkette {

inline Kontur kontur(const std::vector<std::pair<double, double>>& punkte)
{
    Kontur k;
    k.anlegen(static_cast<Index>(punkte.size()));
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        k.xWert[i + 1] = punkte[i].first;
        k.yWert[i + 1] = punkte[i].second;
    }
    return k;
}

}  // namespace bogenkette
