#pragma once
// Record text fields: STRING(n) is n single-byte characters padded with blanks; CSTRING(n) holds
// at most n-1 characters followed by a zero byte. Assignment cuts what does not fit.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace rt {

// STRING(n): copy, cut to n, pad with blanks.
inline void assignPadded(char* field, std::size_t n, std::string_view v) {
    const std::size_t k = std::min(n, v.size());
    std::memcpy(field, v.data(), k);
    std::memset(field + k, ' ', n - k);
}
template <std::size_t N>
inline void assign(char (&field)[N], std::string_view v) {
    assignPadded(field, N, v);
}

// The text of a STRING field without its trailing blanks.
inline std::string_view clipped(const char* field, std::size_t n) {
    while (n > 0 && (field[n - 1] == ' ' || field[n - 1] == '\0')) --n;
    return std::string_view(field, n);
}
template <std::size_t N>
inline std::string clip(const char (&field)[N]) {
    return std::string(clipped(field, N));
}
template <std::size_t N>
inline std::string_view view(const char (&field)[N]) {
    return std::string_view(field, N);
}

// CSTRING(n): copy at most n-1 characters, then a zero byte; the rest is zero too.
inline void assignCString(char* field, std::size_t n, std::string_view v) {
    if (n == 0) return;
    const std::size_t k = std::min(n - 1, v.size());
    std::memcpy(field, v.data(), k);
    std::memset(field + k, 0, n - k);
}
template <std::size_t N>
inline void assignC(char (&field)[N], std::string_view v) {
    assignCString(field, N, v);
}
inline std::string_view cstringView(const char* field, std::size_t n) {
    const void* z = std::memchr(field, 0, n);
    return std::string_view(field, z ? static_cast<std::size_t>(static_cast<const char*>(z) - field) : n);
}
template <std::size_t N>
inline std::string cstr(const char (&field)[N]) {
    return std::string(cstringView(field, N));
}

// Fills a blank-padded field with blanks.
template <std::size_t N>
inline void blank(char (&field)[N]) {
    std::memset(field, ' ', N);
}

// Text of any length as a STRING(n) would hold it: cut to n, padded with blanks.
inline std::string padTo(std::string_view v, std::size_t n) {
    std::string s(v.substr(0, std::min(n, v.size())));
    s.resize(n, ' ');
    return s;
}
inline std::string_view rtrim(std::string_view v) {
    while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.remove_suffix(1);
    return v;
}

}  // namespace rt
