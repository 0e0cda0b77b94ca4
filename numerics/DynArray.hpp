// A growable array whose every element access is tested against its length.
#pragma once

#include <cstddef>
#include <vector>

#include "core/Fehler.hpp"

namespace zentrix {

template <class T>
class TDynArray {
public:
    TDynArray() = default;
    explicit TDynArray(std::size_t length) : items_(length) {}

    // Element access; an index outside 0..Length()-1 raises "Fehler bei Bereichsprüfung".
    T& operator[](long long i) {
        if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) RaiseRangeError();
        return items_[static_cast<std::size_t>(i)];
    }
    const T& operator[](long long i) const {
        if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) RaiseRangeError();
        return items_[static_cast<std::size_t>(i)];
    }

    std::size_t Length() const { return items_.size(); }
    // Highest index (-1 when empty).
    long long High() const { return static_cast<long long>(items_.size()) - 1; }
    // Keeps the elements that remain; added elements are value-initialised (empty, zero).
    void SetLength(std::size_t length) { items_.resize(length); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};

}  // namespace zentrix
