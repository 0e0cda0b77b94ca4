// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Speicher.hpp"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ with the C library
#include <new>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "core/Plattform.hpp"

namespace zentrix {

namespace {

// From this size (bytes) on a buffer is mapped by itself.
constexpr std::size_t Gross = 4u << 20;

}  // namespace

void SpeicherEinrichten() {
#ifdef __GLIBC__
    // Without a fixed threshold the C library raises it to the largest buffer freed and keeps
    // such buffers.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(Gross));
    // Smaller buffers (a block of report lines, a sphere's points) come and go by the thousand:
    // up to a megabyte of freed memory at the top of each heap is kept for the next ones rather
    // than handed back and faulted in afresh. More would be kept by every core's heap at once,
    // beside a million points that already take most of the memory a file may cost.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(Gross / 4));
#endif
}

void FreienSpeicherZurueckgeben() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace zentrix

#if defined(__GLIBC__) && !defined(ZENTRIX_SANITIZE)
// The program's operator new: the C library's malloc, with the advice for large buffers. The
// library's operator delete (free) and its array and nothrow forms go with it unchanged.
void* operator new(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr) throw std::bad_alloc();
    // Only advice: where the system has no huge pages to give, the buffer keeps small pages.
    if (n >= zentrix::Gross) zentrix::plattform::GrosseSeitenRaten(p, n);
    return p;
}
#endif
