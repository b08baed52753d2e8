#pragma once
// The colour table of an indexed image, and nearest-colour matching into it.

#include "image/Color.h"

#include <cstdint>
#include <vector>

namespace chipshift {

class Palette {
public:
    Palette() = default;
    explicit Palette(std::vector<Color> entries) : entries_(std::move(entries)) {}

    int size() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    const std::vector<Color>& entries() const { return entries_; }

    // An index beyond the table (a bitmap may use one) shows black.
    Color colorAt(std::uint32_t index) const {
        return index < entries_.size() ? entries_[index] : Color{};
    }

    // The entry nearest to c: the smallest squared distance in red, green and
    // blue, and among equally near entries the lowest index. An exact match
    // has distance 0 and so always wins. An empty palette gives 0.
    std::uint8_t nearest(Color c) const;

    friend bool operator==(const Palette&, const Palette&) = default;

private:
    std::vector<Color> entries_;
};

}  // namespace chipshift
