// Naming the report after the chosen file, and telling two names of one file apart.
#pragma once

#include <string>

namespace bogenkette {

// The report path for a chosen name: the extension after the last dot is replaced
// by "TXT" (a.b.c gives a.b.TXT, kontur.spl gives kontur.TXT). A name without a
// dot after its last folder separator ('/' or '\') gets ".TXT" appended.
std::string berichtspfadAbleiten(const std::string& name);

// True when both paths name the same existing file (links and hard links
// resolved). Writing the report there would destroy the point file.
bool gleicheDatei(const std::string& a, const std::string& b);

// True when both paths name the same place, whether a file stands there or not
// (links and "." or ".." resolved as far as the path exists).
bool gleicherPfad(const std::string& a, const std::string& b);

}  // namespace bogenkette
