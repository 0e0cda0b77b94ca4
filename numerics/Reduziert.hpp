// The points as the converged solver works on them: reduced to their centroid g, so that
// national-grid coordinates keep all their digits in the sums of squares (metres, extended
// precision). Each reduced point is formed from the point list when it is asked for, the same
// operations every time, rather than kept: a scanned sphere of a million points would otherwise
// take 48 bytes a point more than its list.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "numerics/Punkt.hpp"
#include "numerics/Raum.hpp"

namespace zentrix {

class TReduziertePunkte {
public:
    // punkte[0], ..., punkte[n - 1] less g.
    TReduziertePunkte(const TPunkt* punkte, std::size_t n, const TVek& g) : punkte_(punkte), n_(n), g_(g) {}
    // Points given reduced already (tests, small sets).
    TReduziertePunkte(const std::vector<TVek>& q) : vek_(q.data()), n_(q.size()) {}

    std::size_t size() const { return n_; }
    TVek operator[](std::size_t i) const {
        if (vek_ != nullptr) return vek_[i];
        const TPunkt& p = punkte_[i];
        return TVek{p.X, p.Y, p.Z} - g_;
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TVek;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TVek;
        const_iterator(const TReduziertePunkte* q, std::size_t i) : q_(q), i_(i) {}
        TVek operator*() const { return (*q_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }

    private:
        const TReduziertePunkte* q_;
        std::size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, n_}; }

private:
    const TPunkt* punkte_ = nullptr;
    const TVek* vek_ = nullptr;
    std::size_t n_ = 0;
    TVek g_;
};

}  // namespace zentrix
