// Clears the upper halves of the processor's AVX registers.
//
// Qt's vectorised string and number functions can leave them in use. Until they
// are cleared, every SSE instruction of the computation (compiled for any x86-64,
// without AVX) pays for merging them: a whole run took a third more time after
// the converter had parsed its command line with Qt. A new thread takes over the
// state of the thread that starts it.
#pragma once

namespace bogenkette {

inline void vektorregisterFreigeben()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
}

}  // namespace bogenkette
