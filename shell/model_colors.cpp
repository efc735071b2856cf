#include "shell/model_colors.h"

#include "engine/race_window_model.h"

namespace palomind {

// System colour references have the top bit set; the low byte picks the
// colour. The window only uses the button-text one; any other reference is
// shown as ordinary text colour rather than as a meaningless RGB value.
QColor ResolveColor(std::uint32_t color, const QPalette& palette) {
    if (color == kButtonTextColor) return palette.color(QPalette::ButtonText);
    if (color & 0x80000000u) return palette.color(QPalette::WindowText);
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

}  // namespace palomind
