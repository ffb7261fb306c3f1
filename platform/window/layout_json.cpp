#include "platform/window/layout_json.h"

#include "platform/runtime/codepage.h"
#include "platform/runtime/picture.h"

namespace wnd::layout_json {

std::string text(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key)) return "";
    if (!j[key].is_string()) throw LayoutError(where + ": \"" + key + "\" must be text");
    auto single = rt::utf8ToCp1252(j[key].get<std::string>());
    if (!single) throw LayoutError(where + ": \"" + key + "\" holds a character the code page lacks");
    return *single;
}

std::string picture(const json& j, const std::string& where) {
    std::string source = text(j, "picture", where);
    std::string error;
    if (!source.empty() && !rt::Picture::Parse(source, &error)) throw LayoutError(where + ": " + error);
    return source;
}

bool flag(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key)) return false;
    if (!j[key].is_boolean()) throw LayoutError(where + ": \"" + key + "\" must be true or false");
    return j[key].get<bool>();
}

int number(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key)) return 0;
    if (!j[key].is_number_integer()) throw LayoutError(where + ": \"" + key + "\" must be a whole number");
    return j[key].get<int>();
}

KeyCode key(const json& j, const std::string& where) {
    if (j.is_number_integer()) return j.get<int>();
    if (j.is_string())
        if (auto k = KeyFromName(j.get<std::string>())) return *k;
    throw LayoutError(where + ": unknown key " + j.dump());
}

Rect rect(const json& j, const std::string& where) {
    if (!j.is_array() || (j.size() != 2 && j.size() != 4))
        throw LayoutError(where + ": \"at\" must be [width, height] or [x, y, width, height]");
    for (const json& v : j)
        if (!v.is_number_integer()) throw LayoutError(where + ": \"at\" must hold whole numbers");
    if (j.size() == 2) return Rect{0, 0, j[0].get<int>(), j[1].get<int>()};
    return Rect{j[0].get<int>(), j[1].get<int>(), j[2].get<int>(), j[3].get<int>()};
}

}  // namespace wnd::layout_json
