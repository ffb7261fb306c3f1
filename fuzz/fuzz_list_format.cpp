// Stored list layouts: any text parses to columns that format and parse back to themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/window/list_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto columns = wnd::ParseListFormat(text);
    const std::string once = wnd::FormatListFormat(columns);
    const auto again = wnd::ParseListFormat(once);
    if (again != columns || wnd::FormatListFormat(again) != once) std::abort();
    for (std::size_t f : wnd::ShownFields(columns)) (void)f;
    return 0;
}
