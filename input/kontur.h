// The point list and the circle arrays of one computation run.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace bogenkette {

using Index = std::int64_t;

// Storage from calloc: elements made without a value keep its zero bytes (0.0)
// instead of being written, so that the pages of a large array that are never
// used are never touched (a large block comes zero-filled from the system). An
// array grows only by a fresh allocation here, never over old contents: Kontur
// sizes its arrays once, through anlegen.
template <class T>
struct NullAllokator {
    using value_type = T;
    NullAllokator() = default;
    template <class U>
    NullAllokator(const NullAllokator<U>&) noexcept
    {
    }
    T* allocate(std::size_t n)
    {
        if (void* p = std::calloc(n, sizeof(T)))
            return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    template <class U>
    void construct(U*) noexcept
    {
    }
    template <class U, class... Werte>
    void construct(U* p, Werte&&... werte)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Werte>(werte)...);
    }
    friend bool operator==(const NullAllokator&, const NullAllokator&) { return true; }
};

using Feld = std::vector<double, NullAllokator<double>>;

// Points are numbered from 1 to anzahl in file order; element 0 of every array
// exists and is never written. The circle arrays have the same index range and
// hold, at index v, the circle of trial v of the arc being fitted.
struct Kontur {
    Index anzahl = 0;
    Feld xWert, yWert;
    Feld kreisA, kreisB, kreisR;

    // Sizes all five arrays for n points, every element 0 (fresh storage each).
    void anlegen(Index n)
    {
        anzahl = n;
        const auto groesse = static_cast<std::size_t>(n) + 1;
        xWert = Feld(groesse);
        yWert = Feld(groesse);
        kreisA = Feld(groesse);
        kreisB = Feld(groesse);
        kreisR = Feld(groesse);
    }
};

}  // namespace bogenkette
