// SPDX-License-Identifier: GPL-3.0-or-later
// A growable array whose every element access is tested against its length.
//
// The matrices of the sphere solver are a few rows of a few elements, made afresh for every
// sphere: with Inline > 0 up to that many elements live in the array itself, so that a day's
// polar evaluation does not ask the heap for millions of small blocks. Longer arrays keep their
// elements on the heap.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/Fehler.hpp"

namespace zentrix {

template <class T, std::size_t Inline = 0>
class TDynArray {
public:
    TDynArray() = default;
    explicit TDynArray(std::size_t length) { SetLength(length); }

    // Element access; an index outside 0..Length()-1 raises "Fehler bei Bereichsprüfung".
    T& operator[](long long i) {
        if (i < 0 || static_cast<std::size_t>(i) >= length_) RaiseRangeError();
        return data()[i];
    }
    const T& operator[](long long i) const {
        if (i < 0 || static_cast<std::size_t>(i) >= length_) RaiseRangeError();
        return data()[i];
    }

    std::size_t Length() const { return length_; }
    // Highest index (-1 when empty).
    long long High() const { return static_cast<long long>(length_) - 1; }
    // Keeps the elements that remain; added elements are value-initialised (empty, zero).
    void SetLength(std::size_t length) {
        if (InlineHaelt(length)) {
            if constexpr (Inline > 0)
                for (std::size_t i = length; i < length_; ++i) inline_[i] = T{};
        } else {
            AufDenHeap(length);
            items_.resize(length);
        }
        length_ = length;
    }
    // Makes room for this many elements without changing the length.
    void Reserve(std::size_t length) {
        if (heap_ || length > Inline) {
            AufDenHeap(length);
            items_.reserve(length);
        }
    }

    T* data() { return heap_ ? items_.data() : inline_.data(); }
    const T* data() const { return heap_ ? items_.data() : inline_.data(); }
    T* begin() { return data(); }
    T* end() { return data() + length_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + length_; }

private:
    // The elements (still) lie in the array itself and this many fit there.
    bool InlineHaelt(std::size_t length) const { return Inline > 0 && !heap_ && length <= Inline; }
    // Moves the elements from the array itself to the heap, with room for length of them.
    void AufDenHeap(std::size_t length) {
        if constexpr (Inline > 0) {
            if (heap_) return;
            items_.reserve(length);
            for (std::size_t i = 0; i < length_; ++i) items_.push_back(std::move(inline_[i]));
            heap_ = true;
        }
    }

    std::size_t length_ = 0;
    bool heap_ = Inline == 0;   // the elements lie in items_
    std::array<T, Inline> inline_{};
    std::vector<T> items_;
};

}  // namespace zentrix
