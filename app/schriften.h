// The named fonts of the window: Tahoma (Command1, Command2) and MS Sans Serif
// (Command3, Label5).
//
// Debian's fonts-wine package holds a free Tahoma in a folder that fontconfig does
// not search; it is registered from there where present and stands in for MS Sans
// Serif, a bitmap font that Qt cannot draw. Where it is absent, the platform
// substitutes fonts of its own.
#pragma once

namespace bogenkette
{

// Registers Tahoma for this program; true when Tahoma can be used.
bool schriftenEinrichten();

} // namespace bogenkette
