#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace palomind {

// A window's position and size in twips, as the per-user settings store
// keeps them (section "Settings", keys named after the window: the main
// window's are "MainLeft", "MainTop", "MainWidth" and "MainHeight").
struct WindowPlacement {
    float left = 0;
    float top = 0;
    float width = 10000;
    float height = 10000;
};

inline constexpr std::string_view kMainWindowKeys = "Main";

// Reads the window's four keys; each key that is absent or does not hold a
// usable number gets its default.
WindowPlacement LoadWindowPlacement(SettingsStore& settings,
                                    std::string_view window = kMainWindowKeys);
// Stores the four keys, each as the text of a single-precision number.
void SaveWindowPlacement(SettingsStore& settings, const WindowPlacement& placement,
                         std::string_view window = kMainWindowKeys);

// A stored placement value: a finite single-precision number, with optional
// spaces around it. Nothing for anything else, and for magnitudes beyond
// kMaxPlacementTwips, which no screen has and which could not be converted
// to pixels.
std::optional<float> ParsePlacementValue(std::string_view text);
inline constexpr float kMaxPlacementTwips = 10'000'000.0f;
// The shortest text that reads back as the same single-precision number.
std::string FormatPlacementValue(float value);

}  // namespace palomind
