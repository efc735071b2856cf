#include "app/window_placement.h"

#include <array>
#include <charconv>
#include <cmath>

namespace palomind {
namespace {

constexpr const char* kSection = "Settings";

// Each key is the window's prefix and the value's name: "MainLeft".
struct PlacementKey {
    const char* name;
    float WindowPlacement::*field;
};
constexpr std::array<PlacementKey, 4> kKeys{{
    {"Left", &WindowPlacement::left},
    {"Top", &WindowPlacement::top},
    {"Width", &WindowPlacement::width},
    {"Height", &WindowPlacement::height},
}};

}  // namespace

std::optional<float> ParsePlacementValue(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > kMaxPlacementTwips) return std::nullopt;
    return value;
}

std::string FormatPlacementValue(float value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

WindowPlacement LoadWindowPlacement(SettingsStore& settings, std::string_view window) {
    WindowPlacement placement;
    for (const PlacementKey& k : kKeys) {
        // A value that is not a number (a hand-edited or damaged store) falls
        // back to the key's default rather than stopping the start-up.
        if (const auto text = settings.GetSetting(kSection, std::string(window) + k.name)) {
            if (const auto value = ParsePlacementValue(*text)) placement.*k.field = *value;
        }
    }
    return placement;
}

void SaveWindowPlacement(SettingsStore& settings, const WindowPlacement& placement,
                         std::string_view window) {
    for (const PlacementKey& k : kKeys) {
        settings.SaveSetting(kSection, std::string(window) + k.name,
                             FormatPlacementValue(placement.*k.field));
    }
}

}  // namespace palomind
