// Naming the report and the NC program after the chosen file, and telling two
// names of one file apart.
#pragma once

#include "nc/ncprogramm.h"

#include <string>

namespace bogenkette {

// The report path for a chosen name: the extension after the last dot is replaced
// by "TXT" (a.b.c gives a.b.TXT, kontur.spl gives kontur.TXT). A name without a
// dot after its last folder separator ('/' or '\') gets ".TXT" appended.
std::string berichtspfadAbleiten(const std::string& name);

// The NC program's path for a point file, named the same way with the extension
// "H" (klartext) or "NC" (din): kontur.spl gives kontur.H or kontur.NC.
std::string ncPfadAbleiten(const std::string& punktdatei, Dialekt dialekt);

// The DXF drawing's path beside a report or point file, named the same way with
// the extension "DXF": kontur.TXT gives kontur.DXF.
std::string dxfPfadAbleiten(const std::string& name);

// True when both paths name the same existing file (links and hard links
// resolved). Writing the report there would destroy the point file.
bool gleicheDatei(const std::string& a, const std::string& b);

// True when both paths name one file, existing or not: the same existing file,
// or the same place once made absolute, with links of its folders resolved.
bool gleicherPfad(const std::string& a, const std::string& b);

}  // namespace bogenkette
