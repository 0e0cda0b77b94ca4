// SPDX-License-Identifier: GPL-3.0-or-later
// The window's point list, shared with the grid that shows it.
//
// After a command the grid shows the list it computed. A scanned sphere has a million points, so
// the grid does not copy them: it keeps the list, and a later command that changes the points
// works on a list of its own (the grid goes on showing the old one until it is filled anew).
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <utility>

#include "numerics/Punkt.hpp"

namespace zentrix {

class TPunktListe {
public:
    TPunktListe() : p_(std::make_shared<TPunktArray>()) {}

    const TPunkt& operator[](long long i) const { return (*p_)[i]; }
    TPunkt& operator[](long long i) { return Aendern()[i]; }
    std::size_t Length() const { return p_->Length(); }
    long long High() const { return p_->High(); }
    const TPunkt* begin() const { return p_->begin(); }
    const TPunkt* end() const { return p_->end(); }
    void SetLength(std::size_t length) { Aendern(length).SetLength(length); }
    operator const TPunktArray&() const { return *p_; }

    // The list to change. Shared with a grid, it is first copied, its first `behalten` entries
    // only (a command that starts by cutting the list need not copy what it drops).
    TPunktArray& Aendern(std::size_t behalten = std::numeric_limits<std::size_t>::max()) {
        if (p_.use_count() > 1) {
            auto neu = std::make_shared<TPunktArray>();
            const std::size_t n = behalten < p_->Length() ? behalten : p_->Length();
            neu->SetLength(n);
            for (std::size_t i = 0; i < n; ++i) (*neu)[static_cast<long long>(i)] = (*p_)[static_cast<long long>(i)];
            p_ = std::move(neu);
        }
        return *p_;
    }
    // A new list in place of the old one (a grid showing the old one goes on showing it).
    void Ersetzen(TPunktArray neu) { p_ = std::make_shared<TPunktArray>(std::move(neu)); }
    // The list as it stands, for a grid to show.
    std::shared_ptr<const TPunktArray> Teilen() const { return p_; }

private:
    std::shared_ptr<TPunktArray> p_;
};

}  // namespace zentrix
