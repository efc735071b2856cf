#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace palomind::testing {

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace palomind::testing
