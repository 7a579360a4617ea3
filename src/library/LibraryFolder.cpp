#include "library/LibraryFolder.h"

#include <algorithm>

#include "util/DirectoryScan.h"

namespace {
// The spellings of the extension that count; other mixtures of letter case do not.
constexpr const char* kProgramExtensions[] = {".prg", ".Prg", ".PRG"};
}  // namespace

bool LibraryFolder::IsProgramFileName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = name.substr(dot);
    return std::any_of(std::begin(kProgramExtensions), std::end(kProgramExtensions),
                       [&](const char* e) { return extension == e; });
}

std::vector<LibraryFolder::Entry> LibraryFolder::ListProgramFiles(const std::string& folder) {
    std::vector<Entry> entries;
    DirectoryScan scan;
    for (bool more = scan.Start(folder); more; more = scan.Advance()) {
        const std::string& name = scan.EntryName();
        if (scan.EntryIsFolder() || !IsProgramFileName(name)) continue;
        entries.push_back({name, name.substr(0, name.rfind('.'))});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.fileName < b.fileName; });
    return entries;
}

void LibraryFolder::SetFolder(const std::string& folder) {
    folder_ = folder;
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

std::optional<LibraryFolder::Entry> LibraryFolder::Scan(const std::string& path) {
    const size_t slash = path.rfind('/');
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    entries_ = ListProgramFiles(folder_);
    loaded_ = true;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].fileName == fileName) {
            selected_ = static_cast<int>(i);
            return entries_[i];
        }
    }
    // The file is gone or was never there: nothing is selected, so that no other file is taken
    // for it (and kept as the last one); the arrows then start from the first.
    selected_ = kNoneSelected;
    return std::nullopt;
}

void LibraryFolder::Clear() {
    entries_.clear();
    selected_ = kNoneSelected;
    loaded_ = false;
}

std::optional<LibraryFolder::Entry> LibraryFolder::Selected() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return std::nullopt;
    return entries_[static_cast<size_t>(selected_)];
}

std::optional<LibraryFolder::Entry> LibraryFolder::Step(int delta) {
    if (!loaded_ || entries_.empty()) return std::nullopt;
    const int from = selected_ == kNoneSelected ? (delta > 0 ? -1 : 1) : selected_;
    selected_ = std::clamp(from + delta, 0, static_cast<int>(entries_.size()) - 1);
    return Selected();
}

void LibraryFolder::Select(int index) {
    selected_ = index < 0
                    ? kNoneSelected
                    : std::clamp(index, 0, std::max(0, static_cast<int>(entries_.size()) - 1));
}

std::string LibraryFolder::FirstPath() const {
    return entries_.empty() ? folder_ : PathOf(entries_.front());
}
