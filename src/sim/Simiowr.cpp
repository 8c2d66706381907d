// SPDX-License-Identifier: GPL-3.0-or-later
// The 512 write handlers, one per register address, built at compile time from the cell map.
#include "sim/Simiowr.h"

#include <cstddef>
#include <utility>

namespace sim {

namespace {

template <int Cell>
void WriteCell(uint8_t value) {
    PicState.Regs[Cell].Value = value;
}

void WriteNothing(uint8_t) {}

template <std::size_t Address>
constexpr RegWriteHandler WriteHandlerFor() {
    if constexpr (kHandlerCell[Address] == kNoCell)
        return &WriteNothing;
    else
        return &WriteCell<kHandlerCell[Address]>;
}

}  // namespace

constexpr std::array<RegWriteHandler, kRegCount> RegWriteHandlers =
    []<std::size_t... Address>(std::index_sequence<Address...>) {
    return std::array<RegWriteHandler, kRegCount>{WriteHandlerFor<Address>()...};
}
(std::make_index_sequence<kRegCount>{});

}  // namespace sim
