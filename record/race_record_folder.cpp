#include "record/race_record_folder.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace palomind {

namespace fs = std::filesystem;

RaceRecordFolder::RaceRecordFolder(fs::path folder, DescriptorWatch watch)
    : folder_(std::move(folder)), watch_(std::move(watch)) {}

RaceRecordFolder::~RaceRecordFolder() {
    End();
}

fs::path RaceRecordFolder::PathOf(const std::string& identity) const {
    return folder_ / (identity + std::string(kExtension));
}

bool RaceRecordFolder::Opened(std::FILE* file) {
    file_ = file;
    if (file_ != nullptr && watch_) watch_(fileno(file_));
    return file_ != nullptr;
}

RaceRecordOutput::Begun RaceRecordFolder::Begin(const std::string& identity) {
    End();
    std::error_code error;
    fs::create_directories(folder_, error);
    const fs::path path = PathOf(identity);
    if (fs::exists(path, error)) return Begun::Exists;
    // "x": a record of another race, or of another program, is never replaced.
    if (Opened(std::fopen(path.string().c_str(), "wbx"))) return Begun::Created;
    return fs::exists(path, error) ? Begun::Exists : Begun::Failed;
}

bool RaceRecordFolder::Continue(const std::string& identity, std::string_view text) {
    End();
    const fs::path path = PathOf(identity);
    std::error_code error;
    if (!fs::exists(path, error)) {
        if (Begin(identity) != Begun::Created) return false;
        const bool written = std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
                             std::fflush(file_) == 0;
        if (!written) End();
        return written;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.eof() && in.fail()) return false;
    // A last line without its line end was being written when the run died.
    const std::size_t lastLineEnd = written.rfind('\n');
    const std::size_t whole = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1;
    if (text.substr(0, whole) != std::string_view(written).substr(0, whole)) return false;
    if (whole < written.size()) {
        fs::resize_file(path, whole, error);
        if (error) return false;
    }
    if (!Opened(std::fopen(path.string().c_str(), "ab"))) return false;
    const std::string_view rest = text.substr(whole);
    const bool ok =
        std::fwrite(rest.data(), 1, rest.size(), file_) == rest.size() && std::fflush(file_) == 0;
    if (!ok) End();
    return ok;
}

bool RaceRecordFolder::Append(std::string_view line) {
    if (file_ == nullptr) return false;
    const bool ok = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                    std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
    if (!ok) End();
    return ok;
}

void RaceRecordFolder::End() {
    if (file_ == nullptr) return;
    if (watch_) watch_(-1);
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace palomind
