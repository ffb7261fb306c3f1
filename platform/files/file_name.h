#pragma once
// Where a driver file name lives: "PRESCRIP" is PRESCRIP.sqlite with table PRESCRIP,
// "support\!doctors" is table doctors in support.sqlite, "Formats.FDB" keeps its extension.
#include <optional>
#include <string>
#include <string_view>

namespace files {

struct FilePlace {
    std::string path;   // the database file, absolute or relative to the process's directory
    std::string table;  // the table inside it
};

inline constexpr std::string_view kDefaultExtension = ".sqlite";

// nullopt for a name that names no file (empty, or an empty table after "\!").
std::optional<FilePlace> resolveFileName(std::string_view name, const std::string& folder);

// The folder that holds a file: "." for a bare file name.
std::string folderOf(const std::string& path);

}  // namespace files
