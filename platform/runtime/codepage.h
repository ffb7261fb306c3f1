#pragma once
// Record text is single-byte Windows-1252. The presenter and the files speak UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace rt {

std::string cp1252ToUtf8(std::string_view text);
// nullopt when the text holds a character Windows-1252 cannot store or a broken one (rt::utf8);
// *bad receives that character, for the message.
std::optional<std::string> utf8ToCp1252(std::string_view text, std::string* bad = nullptr);
// The byte that stores a code point; nullopt when the code page lacks it.
std::optional<unsigned char> cp1252Byte(char32_t code);

// Case folding over the whole code page (A-Z and the accented capitals fold to lower case).
unsigned char foldCase(unsigned char c);
unsigned char upperCase(unsigned char c);
// Compares without regard to case, ignoring trailing blanks: <0, 0, >0.
int compareNoCase(std::string_view a, std::string_view b);
std::string upper(std::string_view s);

}  // namespace rt
