// Helpers shared by the test suites: files read and written as bytes, a point list
// from pairs, running the batch converter, and a fresh folder per test.
#pragma once

#include "input/kontur.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bogenkette::test {

namespace fs = std::filesystem;

std::string lesen(const fs::path& pfad);
void schreiben(const fs::path& pfad, const std::string& inhalt);

// The point list of the pairs, point 1 first.
Kontur kontur(const std::vector<std::pair<double, double>>& punkte);

// A path as one shell word.
std::string q(const fs::path& p);

struct Aufrufergebnis {
    int status = -1;      // exit status; -1 when the converter did not exit by itself
    int signal = 0;       // the signal that ended it, if one did
    std::string ausgabe;  // stdout and stderr
    long speicherKb = 0;  // its peak resident memory
};

// Runs build/bogenkette-cli with `argumente` (shell words) and no regional
// settings configured. `vorher` is shell text run first in the same process, such
// as "ulimit -f 1;". A converter still running after two minutes is killed.
Aufrufergebnis cli(const std::string& argumente, const std::string& vorher = "");

// Whether the tests run in CI, where a missing outside client (rs274, ezdxf)
// fails a test instead of skipping it: BOGENKETTE_CI (set by .ci/run) or CI (set
// by most CI services).
bool imCi();

// A fresh folder per test, removed afterwards.
class Arbeitsordner : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Names of the folder's entries, sorted.
    std::vector<std::string> dateien() const;
    // Every entry with what it holds (content of small files, size of large ones,
    // target of links), to see that a failed run changed nothing.
    std::map<std::string, std::string> stand() const;
    fs::path ordner;
};

}  // namespace bogenkette::test
