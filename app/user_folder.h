#pragma once
#include <filesystem>
#include <string>

namespace palomind {

// The working folder of --user-folder: "Palomind" in the user's home folder.
std::filesystem::path UserFolder(const std::filesystem::path& home);

// Where a file written in place keeps its old content until the write is on
// the disk (see DiskFileStore): the working folder's journal folder, which
// the program writes anyway.
inline constexpr const char* kKeepFolder = "journal";

// Makes the user folder under `home` the current folder, creating it on
// first use, so "Palomind.ini", "idname.ind", journal/ and saved results live
// there. Returns why that failed, or an empty text.
std::string EnterUserFolder(const std::filesystem::path& home);

}  // namespace palomind
