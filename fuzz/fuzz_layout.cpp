// Stored window and report layouts (JSON): a damaged one is refused with a reason, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/window/layout.h"
#include "platform/window/window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto layout = wnd::ParseLayout(text, &error);
    if (!layout && error.empty()) std::abort();  // a refusal always says why
    if (layout)  // an accepted layout builds its windows
        for (const auto& w : layout->windows) wnd::Window window(w);
    return 0;
}
