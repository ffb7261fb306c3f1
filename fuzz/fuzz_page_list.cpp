// The pages a user asks to print ("1, 3-5"), against a report of a given length (first two bytes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "platform/classes/page_previewer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int count = 1 + (data[0] | (data[1] << 8));
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::string error;
    const auto pages = cls::PagePreviewer::ParsePageList(text, count, &error);
    if (pages.empty() && error.empty()) std::abort();
    std::set<int> seen;
    for (int p : pages)
        if (p < 1 || p > count || !seen.insert(p).second) std::abort();  // in the report, each once
    return 0;
}
