#include "tests/support/test_folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace palomind::testing {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "palomind-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create " << pattern;
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

CurrentDirectoryGuard::CurrentDirectoryGuard(const fs::path& folder)
    : previous_(fs::current_path()) {
    fs::current_path(folder);
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

}  // namespace palomind::testing
