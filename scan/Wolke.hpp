// SPDX-License-Identifier: GPL-3.0-or-later
// A point cloud as its reader hands it on: the points' coordinates in the order of the file.
#pragma once

#include <cstddef>
#include <memory>

namespace zentrix {

// One point of a cloud (metres). No initialisers: ten million of them are filled by the reader,
// and a first pass writing zeros would only cost time.
struct TWolkenpunkt {
    double X, Y, Z;
};

// The points of a cloud, 24 bytes each, in one block of memory.
class TWolke {
public:
    TWolke() = default;
    // Room for this many points, not yet written; size() is kapazitaet until Kuerzen.
    explicit TWolke(std::size_t kapazitaet);

    std::size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    TWolkenpunkt& operator[](std::size_t i) { return p_[i]; }
    const TWolkenpunkt& operator[](std::size_t i) const { return p_[i]; }
    TWolkenpunkt* data() { return p_.get(); }
    const TWolkenpunkt* data() const { return p_.get(); }
    const TWolkenpunkt* begin() const { return p_.get(); }
    const TWolkenpunkt* end() const { return p_.get() + n_; }

    // Keeps the first n points (n at most size()); the memory stays.
    void Kuerzen(std::size_t n);
    // Gives the memory back.
    void Freigeben();

    // Points of the file without coordinates (NaN or infinite, as some scanners write for a beam
    // without return), passed over by the reader.
    std::size_t Ungueltig = 0;

private:
    std::unique_ptr<TWolkenpunkt[]> p_;
    std::size_t n_ = 0;
};

}  // namespace zentrix
