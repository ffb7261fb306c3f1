#pragma once
// Text in the database is UTF-8; keys compare it as the record buffers hold it, in Windows-1252:
// byte by byte with trailing blanks ignored, and (NOCASE) folded over the whole code page.
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace files {

inline constexpr const char* kNoCaseCollation = "CP1252_NOCASE";
inline constexpr const char* kExactCollation = "CP1252_EXACT";

// Registers both collations on a connection; SQLite's result code.
int registerCollations(sqlite3* db);

// Compares two UTF-8 texts as their Windows-1252 forms, trailing blanks ignored: <0, 0, >0.
int compareCp1252(std::string_view a, std::string_view b, bool nocase);
// The least text (UTF-8) a collation sorts after every text that begins with prefix as it
// compares; nullopt when there is none.
std::optional<std::string> textAfterPrefix(std::string_view prefix, bool nocase);
// The same for every text whose first `room` characters, blanks trimmed, compare equal to value:
// the stored texts a buffer of that width holds as value.
std::optional<std::string> textAfterHeld(std::string_view value, std::size_t room, bool nocase);

// UTF-8 from the database to Windows-1252 for a buffer. Characters the code page lacks, and bytes
// that are no UTF-8, become '?': foreign text must not stop a read.
std::string utf8ToCp1252Lossy(std::string_view text);

}  // namespace files
