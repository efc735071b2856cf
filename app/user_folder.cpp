#include "app/user_folder.h"

#include <system_error>

namespace palomind {

std::filesystem::path UserFolder(const std::filesystem::path& home) {
    return home / "Palomind";
}

std::string EnterUserFolder(const std::filesystem::path& home) {
    // A relative home would put the folder wherever the program happened to
    // start, which is what the option is there to avoid.
    if (home.empty() || home.is_relative()) {
        return "no home folder to keep the Palomind folder in";
    }
    const std::filesystem::path folder = UserFolder(home);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error) std::filesystem::current_path(folder, error);
    if (error) return "cannot use the folder " + folder.string() + ": " + error.message();
    return {};
}

}  // namespace palomind
