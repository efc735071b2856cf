#pragma once
#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "meeting/json_number.h"

namespace palomind::json_fields {

// The checked reading of a JSON document shared by the meeting's readers:
// each check names the key it failed at ("rounds[1][0].status: ...") and
// throws, and Read turns the first refusal into the one-line error.

using nlohmann::json;

// What is wrong with the input; the readers stop at the first.
struct Refusal {
    std::string what;
};

[[noreturn]] inline void Refuse(const std::string& path, const std::string& what) {
    throw Refusal{path.empty() ? what : path + ": " + what};
}

inline std::string Quoted(std::string_view text) {
    return json(text).dump();
}

inline std::string Member(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

inline std::string Item(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

inline const json* OptionalKey(const json& object, std::string_view key, const std::string& path) {
    if (!object.is_object())
        Refuse(path, path.empty() ? "the input must be an object" : "must be an object");
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

inline const json& Key(const json& object, std::string_view key, const std::string& path) {
    const json* found = OptionalKey(object, key, path);
    if (found == nullptr) Refuse(path, Quoted(key) + " is missing");
    return *found;
}

// A whole number from `least` to `most`.
inline std::int64_t Number(const json& value, const std::string& path, std::int64_t least = 0,
                           std::int64_t most = kLargestNumber) {
    if (!value.is_number()) Refuse(path, "must be a number");
    if (value.is_number_float()) {
        Refuse(path, value.get<double>() < 0 ? "must not be negative" : "must be a whole number");
    }
    if (value.is_number_integer() && !value.is_number_unsigned() && value.get<std::int64_t>() < 0) {
        Refuse(path, "must not be negative");
    }
    if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(most)) {
        Refuse(path, "must be at most " + std::to_string(most));
    }
    const auto number = value.get<std::int64_t>();
    if (number < least) Refuse(path, "must be at least " + std::to_string(least));
    return number;
}

inline const json& Array(const json& value, const std::string& path) {
    if (!value.is_array()) Refuse(path, "must be a list");
    return value;
}

inline std::string Text(const json& value, const std::string& path) {
    if (!value.is_string()) Refuse(path, "must be a text");
    return value.get<std::string>();
}

inline bool Flag(const json& value, const std::string& path) {
    if (!value.is_boolean()) Refuse(path, "must be true or false");
    return value.get<bool>();
}

// Parses `text` and reads it with `read`; nothing, with `error` set, where
// the text is not JSON or `read` refused it.
template <typename Input>
std::optional<Input> Read(std::string_view text, std::string& error,
                          const std::function<Input(const json&)>& read) {
    try {
        return read(json::parse(text));
    } catch (const json::parse_error& notJson) {
        error = "not JSON (at byte " + std::to_string(notJson.byte) + ")";
        return std::nullopt;
    } catch (const Refusal& refusal) {
        error = refusal.what;
        return std::nullopt;
    }
}

}  // namespace palomind::json_fields
