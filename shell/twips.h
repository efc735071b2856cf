#pragma once
#include <QRect>
#include <cstdint>

#include "platform/twips.h"

namespace palomind {

// Window layouts are given in twips. They become device pixels through the
// screen's logical DPI, so fonts given in points and the layout grow together
// on a high-DPI screen.

// Rounds to the nearest pixel, halves away from zero.
inline int TwipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : -((-scaled + half) / kTwipsPerInch));
}

// A rectangle given as left, top, width, height in twips. The edges are
// converted, not the sizes, so neighbouring controls that share an edge in
// twips share it in pixels too.
inline QRect TwipsToRect(int left, int top, int width, int height, int dpiX, int dpiY) {
    const int x = TwipsToPixels(left, dpiX);
    const int y = TwipsToPixels(top, dpiY);
    return QRect(x, y, TwipsToPixels(left + width, dpiX) - x,
                 TwipsToPixels(top + height, dpiY) - y);
}

}  // namespace palomind
