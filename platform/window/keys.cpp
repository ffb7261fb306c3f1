#include "platform/window/keys.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace wnd {
namespace {

struct Named {
    std::string_view name;
    KeyCode code;
};

constexpr std::array<Named, 23> kNames{{
    {"MouseLeft", kKeyMouseLeft}, {"MouseRight", kKeyMouseRight}, {"MouseLeft2", kKeyMouseLeft2},
    {"Backspace", kKeyBackspace}, {"Tab", kKeyTab},          {"Enter", kKeyEnter},
    {"Shift", kKeyShiftKey},      {"Esc", kKeyEscape},       {"PgUp", kKeyPageUp},
    {"PgDn", kKeyPageDown},       {"End", kKeyEnd},          {"Home", kKeyHome},
    {"Left", kKeyLeft},           {"Up", kKeyUp},            {"Right", kKeyRight},
    {"Down", kKeyDown},           {"Insert", kKeyInsert},    {"Delete", kKeyDelete},
    {"Apps", kKeyApps},           {"Escape", kKeyEscape},    {"Return", kKeyEnter},
    {"Space", 0x20},              {"Ins", kKeyInsert},
}};

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<KeyCode> baseKey(std::string_view s) {
    for (const Named& n : kNames)
        if (equalNoCase(n.name, s)) return n.code;
    if (s.size() == 1 && std::isalnum(static_cast<unsigned char>(s[0])))
        return std::toupper(static_cast<unsigned char>(s[0]));
    if (s.size() >= 2 && (s[0] == 'F' || s[0] == 'f')) {
        int n = 0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
            n = n * 10 + (s[i] - '0');
            if (n > 24) return std::nullopt;  // no such key, and a long number would overflow
        }
        if (n >= 1 && n <= 24) return kKeyF1 + n - 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyCode> KeyFromName(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (std::isdigit(static_cast<unsigned char>(name[0]))) {
        const std::string s(name);
        char* end = nullptr;
        const long v = std::strtol(s.c_str(), &end, 0);
        if (*end != '\0' || v <= 0 || v > 0x7FF) return std::nullopt;
        return static_cast<KeyCode>(v);
    }
    KeyCode mods = 0;
    for (;;) {
        const std::size_t plus = name.find('+');
        if (plus == std::string_view::npos || plus + 1 == name.size()) break;
        const std::string_view mod = name.substr(0, plus);
        if (equalNoCase(mod, "Shift")) mods |= kShift;
        else if (equalNoCase(mod, "Ctrl")) mods |= kCtrl;
        else if (equalNoCase(mod, "Alt")) mods |= kAlt;
        else return std::nullopt;
        name.remove_prefix(plus + 1);
    }
    const auto base = baseKey(name);
    if (!base) return std::nullopt;
    return mods | *base;
}

std::string KeyName(KeyCode code) {
    std::string out;
    if (code & kCtrl) out += "Ctrl+";
    if (code & kAlt) out += "Alt+";
    if (code & kShift) out += "Shift+";
    const KeyCode base = code & 0xFF;
    for (const Named& n : kNames)
        if (n.code == base) return out + std::string(n.name);
    if ((base >= '0' && base <= '9') || (base >= 'A' && base <= 'Z')) return out + static_cast<char>(base);
    if (base >= kKeyF1 && base < kKeyF1 + 24) return out + "F" + std::to_string(base - kKeyF1 + 1);
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", base);
    return out + buf;
}

}  // namespace wnd
