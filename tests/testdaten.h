// The point files of the test data that are accepted (tests/data/NAME.spl without
// NAME.reject), sorted, after the example, for the suites built with TESTDATEN and
// BEISPIELE.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

namespace bogenkette::test {

inline std::vector<std::filesystem::path> punktdateien()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> liste{fs::path(BEISPIELE) / "kontur.spl"};
    for (const auto& e : fs::directory_iterator(TESTDATEN)) {
        fs::path abgelehnt = e.path();
        if (e.path().extension() == ".spl" && !fs::exists(abgelehnt.replace_extension(".reject")))
            liste.push_back(e.path());
    }
    std::sort(liste.begin() + 1, liste.end());
    return liste;
}

}  // namespace bogenkette::test
