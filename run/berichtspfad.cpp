#include "run/berichtspfad.h"

#include <filesystem>

namespace bogenkette {

namespace {

// The name with the extension after its last dot replaced, or appended where
// there is none after the last folder separator.
std::string endungErsetzen(const std::string& name, const std::string& endung)
{
    const auto punkt = name.find_last_of('.');
    const auto trenner = name.find_last_of("/\\");
    if (punkt != std::string::npos && (trenner == std::string::npos || trenner < punkt))
        return name.substr(0, punkt + 1) + endung;
    return name + "." + endung;
}

}  // namespace

std::string berichtspfadAbleiten(const std::string& name) { return endungErsetzen(name, "TXT"); }

std::string ncPfadAbleiten(const std::string& punktdatei, Dialekt dialekt)
{
    return endungErsetzen(punktdatei, ncEndung(dialekt));
}

std::string dxfPfadAbleiten(const std::string& name) { return endungErsetzen(name, "DXF"); }

bool gleicheDatei(const std::string& a, const std::string& b)
{
    std::error_code fehler;
    return std::filesystem::equivalent(a, b, fehler) && !fehler;
}

bool gleicherPfad(const std::string& a, const std::string& b)
{
    if (gleicheDatei(a, b))
        return true;
    std::error_code fehlerA, fehlerB;
    const auto ortA = std::filesystem::weakly_canonical(std::filesystem::absolute(a), fehlerA);
    const auto ortB = std::filesystem::weakly_canonical(std::filesystem::absolute(b), fehlerB);
    return !fehlerA && !fehlerB && ortA == ortB;
}

}  // namespace bogenkette
