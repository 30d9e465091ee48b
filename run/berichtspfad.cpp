#include "run/berichtspfad.h"

#include <filesystem>

namespace bogenkette {

std::string berichtspfadAbleiten(const std::string& name)
{
    const auto punkt = name.find_last_of('.');
    const auto trenner = name.find_last_of("/\\");
    if (punkt != std::string::npos && (trenner == std::string::npos || trenner < punkt))
        return name.substr(0, punkt + 1) + "TXT";
    return name + ".TXT";
}

bool gleicheDatei(const std::string& a, const std::string& b)
{
    std::error_code fehler;
    return std::filesystem::equivalent(a, b, fehler) && !fehler;
}

bool gleicherPfad(const std::string& a, const std::string& b)
{
    std::error_code fehler;
    const auto pfadA = std::filesystem::weakly_canonical(std::filesystem::absolute(a), fehler);
    const auto pfadB = std::filesystem::weakly_canonical(std::filesystem::absolute(b), fehler);
    return a == b || (!fehler && pfadA == pfadB) || gleicheDatei(a, b);
}

}  // namespace bogenkette
