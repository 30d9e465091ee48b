// Helpers shared by the test suites: files read and written as bytes, a point list
// from pairs, and a fresh folder for each test.
#pragma once

#include "input/kontur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace testhilfen {

namespace fs = std::filesystem;

inline std::string lesen(const fs::path& pfad)
{
    std::ifstream datei(pfad, std::ios::binary);
    std::stringstream inhalt;
    inhalt << datei.rdbuf();
    return inhalt.str();
}

inline void schreiben(const fs::path& pfad, const std::string& inhalt)
{
    std::ofstream(pfad, std::ios::binary) << inhalt;
}

// The point list of the pairs, point 1 first.
inline bogenkette::Kontur kontur(const std::vector<std::pair<double, double>>& punkte)
{
    bogenkette::Kontur k;
    k.anlegen(static_cast<bogenkette::Index>(punkte.size()));
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        k.xWert[i + 1] = punkte[i].first;
        k.yWert[i + 1] = punkte[i].second;
    }
    return k;
}

// A fresh folder per test, removed afterwards.
class Arbeitsordner : public ::testing::Test {
protected:
    void SetUp() override
    {
        ordner = fs::temp_directory_path()
                 / ("bogenkette-test-" + std::to_string(::getpid()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(ordner);
        fs::create_directories(ordner);
    }
    void TearDown() override { fs::remove_all(ordner); }
    // The names in the folder, sorted.
    std::vector<std::string> dateien() const
    {
        std::vector<std::string> namen;
        for (const auto& e : fs::directory_iterator(ordner))
            namen.push_back(e.path().filename().string());
        std::sort(namen.begin(), namen.end());
        return namen;
    }
    fs::path ordner;
};

}  // namespace testhilfen
