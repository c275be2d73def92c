#include "platform/text_helpers.h"

namespace kestrum::platform {

std::string_view Trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Trim(const std::string& text) { return std::string(Trimmed(text, " ")); }

std::string FolderOfFile(const std::string& programFile) {
    const auto slash = programFile.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    std::string folder = programFile.substr(0, slash);
    // "C:" alone would name the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder.ends_with('\\') ? folder + name : folder + '\\' + name;
}

}  // namespace kestrum::platform
