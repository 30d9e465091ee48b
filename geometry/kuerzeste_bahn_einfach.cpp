#include "geometry/kuerzeste_bahn_einfach.h"

#include <algorithm>
#include <limits>

namespace bogenkette {

std::vector<Bahnschritt> kuerzesteSchritteEinfach(const Bahnpunkte& punkte, Toleranzband band)
{
    const Index n = punkte.anzahl();
    const Paarpruefung pruefung(punkte, band);
    constexpr Index unerreicht = std::numeric_limits<Index>::max();
    std::vector<Index> elemente(static_cast<std::size_t>(n), unerreicht), vor(elemente.size(), -1);
    std::vector<Stueck> stueck(elemente.size());
    elemente[0] = 0;
    for (Index j = 1; j < n; ++j)
        for (Index i = 0; i < j; ++i) {
            if (elemente[i] == unerreicht || elemente[i] + 1 >= elemente[j])
                continue;
            const Stueck s = pruefung.pruefen(i, j);
            if (!s.moeglich())
                continue;
            elemente[j] = elemente[i] + 1;
            vor[j] = i;
            stueck[j] = s;
        }
    std::vector<Bahnschritt> schritte;
    for (Index j = n - 1; j > 0; j = vor[j])
        schritte.push_back({j, stueck[j]});
    std::reverse(schritte.begin(), schritte.end());
    return schritte;
}

}  // namespace bogenkette
