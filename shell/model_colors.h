#pragma once
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace palomind {

// A race window model's colour (0x00BBGGRR, or a system colour reference
// such as kButtonTextColor) as the palette shows it.
QColor ResolveColor(std::uint32_t color, const QPalette& palette);

}  // namespace palomind
