// A value that few of many records have, kept on the heap where it is there: eight bytes in each
// record instead of the value's size (a day's 200 000 spheres, of which only those computed with
// the converged solver from five pointings on have a radius check). Copied with its value; used like
// std::optional.
#pragma once

#include <memory>
#include <optional>

namespace zentrix {

template <class T>
class TSelten {
public:
    TSelten() = default;
    TSelten(std::nullopt_t) {}
    TSelten(const std::optional<T>& wert) {
        if (wert) p_ = std::make_unique<T>(*wert);
    }
    TSelten(const TSelten& other) : p_(other.p_ ? std::make_unique<T>(*other.p_) : nullptr) {}
    TSelten(TSelten&&) noexcept = default;
    TSelten& operator=(const TSelten& other) {
        if (this != &other) p_ = other.p_ ? std::make_unique<T>(*other.p_) : nullptr;
        return *this;
    }
    TSelten& operator=(TSelten&&) noexcept = default;

    bool has_value() const { return p_ != nullptr; }
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return *p_; }
    const T* operator->() const { return p_.get(); }

private:
    std::unique_ptr<T> p_;
};

}  // namespace zentrix
