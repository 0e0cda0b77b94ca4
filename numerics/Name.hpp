// A point's name in eight bytes. A scan or a coordinate file brings a million points, each with a
// name; a std::string takes 32 bytes, a quarter of the memory of the whole point list. Names of up
// to seven bytes (point numbers below ten million, the names of a day's spheres) stand in the
// eight bytes themselves, a longer one on the heap.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrix {

class TName {
public:
    TName() noexcept = default;
    TName(std::string_view text) { Setze(text); }
    TName(const std::string& text) : TName(std::string_view(text)) {}
    TName(const char* text) : TName(std::string_view(text)) {}
    TName(const TName& other) { Setze(other.view()); }
    TName(TName&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
    ~TName() { Loesche(); }

    TName& operator=(const TName& other) {
        if (this != &other) TName(other).Tausche(*this);
        return *this;
    }
    TName& operator=(TName&& other) noexcept {
        TName(std::move(other)).Tausche(*this);
        return *this;
    }
    TName& operator=(std::string_view text) {
        TName(text).Tausche(*this);
        return *this;
    }
    TName& operator=(const std::string& text) { return *this = std::string_view(text); }
    TName& operator=(const char* text) { return *this = std::string_view(text); }

    std::string_view view() const;
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return view().size(); }
    bool empty() const { return bits_ == 0; }

    friend bool operator==(const TName& a, const TName& b) { return a.view() == b.view(); }
    friend bool operator==(const TName& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const TName& a, const char* b) { return a.view() == std::string_view(b); }
    friend bool operator==(const TName& a, const std::string& b) { return a.view() == b; }
    friend auto operator<=>(const TName& a, const TName& b) { return a.view() <=> b.view(); }
    friend std::string operator+(std::string a, const TName& b) { return a.append(b.view()); }

private:
    void Setze(std::string_view text);
    void Loesche() noexcept;
    void Tausche(TName& other) noexcept { std::swap(bits_, other.bits_); }
    // In place: the bytes in the low seven bytes and 0x80 + their number in the highest. On the
    // heap: a pointer (whose highest byte is 0 in every process of a 64-bit system) to the length
    // (four bytes) followed by the bytes. Empty: 0.
    std::uint64_t bits_ = 0;
};

}  // namespace zentrix
