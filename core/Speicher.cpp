#include "core/Speicher.hpp"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ with the C library
#include <new>

#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zentrix {

namespace {

// From this size (bytes) on a buffer is mapped by itself.
constexpr std::size_t Gross = 4u << 20;

#if defined(__GLIBC__) && !defined(ZENTRIX_SANITIZE)
// Asks for huge pages on the whole pages of a fresh large buffer. Only advice: where the system
// has none to give, or transparent huge pages are off, the buffer keeps small pages.
void GrosseSeiten(void* p, std::size_t n) {
    static const auto seite = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t anfang = (a + seite - 1) & ~(seite - 1), ende = (a + n) & ~(seite - 1);
    if (ende > anfang) madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_HUGEPAGE);
}
#endif

}  // namespace

void SpeicherEinrichten() {
#ifdef __GLIBC__
    // Without a fixed threshold the C library raises it to the largest buffer freed and keeps
    // such buffers.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(Gross));
    // Smaller buffers (a block of report lines, a sphere's points) come and go by the thousand:
    // up to this much freed memory at the top of the heap is kept for the next ones rather than
    // handed back and faulted in afresh.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * Gross));
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
    if (n >= zentrix::Gross) zentrix::GrosseSeiten(p, n);
    return p;
}
#endif
