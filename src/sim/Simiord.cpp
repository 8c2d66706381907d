// SPDX-License-Identifier: GPL-3.0-or-later
// The 512 read handlers, one per register address, built at compile time from the cell map.
#include "sim/Simiord.h"

#include <cstddef>
#include <utility>

namespace sim {

namespace {

template <int Cell>
uint8_t ReadCell() {
    return PicState.Regs[Cell].Value;
}

uint8_t ReadNothing() {
    return 0x00;
}

template <std::size_t Address>
constexpr RegReadHandler ReadHandlerFor() {
    if constexpr (kHandlerCell[Address] == kNoCell)
        return &ReadNothing;
    else
        return &ReadCell<kHandlerCell[Address]>;
}

}  // namespace

constexpr std::array<RegReadHandler, kRegCount> RegReadHandlers =
    []<std::size_t... Address>(std::index_sequence<Address...>) {
    return std::array<RegReadHandler, kRegCount>{ReadHandlerFor<Address>()...};
}
(std::make_index_sequence<kRegCount>{});

}  // namespace sim
