#pragma once
#include <string_view>

namespace palomind {

// The spectators' page: one self-contained HTML document (style and script
// inside) that reads /race.json.
extern const std::string_view kSpectatorPageHtml;
// The page's style sheet, which the exported HTML results share.
extern const std::string_view kSpectatorStyle;

}  // namespace palomind
