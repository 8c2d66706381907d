// Colours are kept as 0x00BBGGRR numbers (blue in the high byte); this turns them into Qt colours.
#pragma once

#include <QColor>

#include <cstdint>

inline QColor ToQColor(uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline uint32_t FromQColor(const QColor& color) {
    return uint32_t(color.red()) | uint32_t(color.green()) << 8 | uint32_t(color.blue()) << 16;
}
