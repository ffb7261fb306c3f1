#pragma once
// Hands a web address or a document to the desktop, which opens it with the program it gives that
// kind (the browser for a web page). Nothing is reported when it cannot be opened.
#include <cstddef>
#include <string_view>

namespace shell {

inline constexpr std::size_t kShellTextLimit = 255;

// The text without its trailing blanks, cut to 255 characters.
void OpenWithShell(std::string_view text);

}  // namespace shell
