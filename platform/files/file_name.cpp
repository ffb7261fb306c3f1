#include "platform/files/file_name.h"

#include <filesystem>

namespace files {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string folderOf(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::optional<FilePlace> resolveFileName(std::string_view name, const std::string& folder) {
    name = trimBlanks(name);
    std::string_view filePart = name;
    std::optional<std::string_view> tablePart;
    if (const auto bang = name.find("\\!"); bang != std::string_view::npos) {
        filePart = trimBlanks(name.substr(0, bang));
        tablePart = trimBlanks(name.substr(bang + 2));
        if (tablePart->empty()) return std::nullopt;
    }
    std::string file(filePart);
    for (auto& c : file)
        if (c == '\\') c = '/';
    if (file.empty() || file.back() == '/') return std::nullopt;

    std::filesystem::path p(file);
    std::string base = p.filename().string();
    if (base.empty() || base == "." || base == "..") return std::nullopt;
    const bool hasExtension = base.find('.') != std::string::npos;
    FilePlace place;
    place.table = tablePart ? std::string(*tablePart) : (hasExtension ? base.substr(0, base.find('.')) : base);
    if (place.table.empty()) place.table = base;
    if (!hasExtension) p += std::string(kDefaultExtension);
    if (p.is_relative()) p = std::filesystem::path(folder.empty() ? std::string(".") : folder) / p;
    place.path = p.lexically_normal().string();
    return place;
}

}  // namespace files
