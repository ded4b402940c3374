#pragma once

#include <array>
#include <cstdint>

namespace tesslow::ape {

// The fixed model of a residual's overflow (its quotient by the pivot) in
// files of version 3990: 64 symbols over a total of 65536. Symbol 63 is the
// escape after which the overflow follows as two raw 16-bit halves.
inline constexpr int kOverflowSymbols = 64;
inline constexpr int kOverflowEscape = kOverflowSymbols - 1;
inline constexpr int kOverflowTotalBits = 16;

struct OverflowModel {
    std::array<std::uint32_t, kOverflowSymbols> cumulative{};  // start of each symbol's interval
    std::array<std::uint32_t, kOverflowSymbols> width{};
};

inline constexpr OverflowModel kOverflowModel = [] {
    // The widths of symbols 0..20; every later symbol has width 1.
    constexpr std::uint32_t kWidths[] = {19578, 16582, 12257, 7906, 4576, 2366, 1170, 536, 261, 119, 65,
                                         31,    19,    10,    6,    3,    3,    2,    1,   1,   1};
    OverflowModel model;
    std::uint32_t at = 0;
    for (int symbol = 0; symbol < kOverflowSymbols; ++symbol) {
        const std::uint32_t width = symbol < 21 ? kWidths[symbol] : 1;
        model.cumulative[static_cast<std::size_t>(symbol)] = at;
        model.width[static_cast<std::size_t>(symbol)] = width;
        at += width;
    }
    return model;
}();
static_assert(kOverflowModel.cumulative[kOverflowEscape] + kOverflowModel.width[kOverflowEscape] ==
              1u << kOverflowTotalBits);

// Each channel's running sum of coded magnitudes starts every frame here.
inline constexpr std::uint32_t kInitialKSum = 16384;

}  // namespace tesslow::ape
