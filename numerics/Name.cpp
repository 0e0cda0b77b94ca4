#include "numerics/Name.hpp"

#include <bit>
#include <cstring>
#include <new>

namespace zentrix {

namespace {

static_assert(std::endian::native == std::endian::little && sizeof(void*) == 8,
              "a name keeps its bytes or a pointer in eight bytes of a little-endian 64-bit word");

constexpr std::uint64_t ImWort = 0x80ull << 56;
constexpr std::size_t ImWortHoechstens = 7;

}  // namespace

void TName::Setze(std::string_view text) {
    bits_ = 0;
    if (text.empty()) return;
    if (text.size() <= ImWortHoechstens) {
        std::memcpy(&bits_, text.data(), text.size());
        bits_ |= ImWort | (static_cast<std::uint64_t>(text.size()) << 56);
        return;
    }
    const auto laenge = static_cast<std::uint32_t>(text.size());
    char* block = new char[sizeof laenge + laenge];
    std::memcpy(block, &laenge, sizeof laenge);
    std::memcpy(block + sizeof laenge, text.data(), laenge);
    const auto adresse = reinterpret_cast<std::uintptr_t>(block);
    if ((adresse >> 56) != 0) {  // an address no 64-bit system hands out to a process
        delete[] block;
        throw std::bad_alloc();
    }
    bits_ = adresse;
}

void TName::Loesche() noexcept {
    if (bits_ != 0 && (bits_ & ImWort) == 0) delete[] reinterpret_cast<char*>(static_cast<std::uintptr_t>(bits_));
    bits_ = 0;
}

std::string_view TName::view() const {
    if (bits_ == 0) return {};
    if ((bits_ & ImWort) != 0)
        return {reinterpret_cast<const char*>(&bits_), static_cast<std::size_t>((bits_ >> 56) & 0x7F)};
    const char* block = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(bits_));
    std::uint32_t laenge;
    std::memcpy(&laenge, block, sizeof laenge);
    return {block + sizeof laenge, laenge};
}

}  // namespace zentrix
