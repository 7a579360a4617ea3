#include "library/db/LibraryEntry.h"

#include <array>
#include <utility>

namespace {
// As the database stores them; never renamed.
constexpr std::array<std::pair<SourceKind, const char*>, 5> kKindNames = {{
    {SourceKind::kImport, "import"},
    {SourceKind::kLoad, "load"},
    {SourceKind::kSave, "save"},
    {SourceKind::kUnit, "unit"},
    {SourceKind::kPanel, "panel"},
}};
}  // namespace

const char* SourceKindName(SourceKind kind) {
    for (const auto& [k, name] : kKindNames) {
        if (k == kind) return name;
    }
    return "import";
}

std::optional<SourceKind> SourceKindOfName(const std::string& name) {
    for (const auto& [kind, text] : kKindNames) {
        if (name == text) return kind;
    }
    return std::nullopt;
}
