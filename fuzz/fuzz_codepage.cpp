// Record text to UTF-8 and back: every byte string survives the trip, and UTF-8 that converts is
// exactly the text the record's bytes show again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/runtime/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto back = rt::utf8ToCp1252(rt::cp1252ToUtf8(bytes));
    if (!back || *back != bytes) std::abort();

    std::string bad;
    const auto record = rt::utf8ToCp1252(bytes, &bad);
    if (record && rt::cp1252ToUtf8(*record) != bytes) std::abort();
    if (!record && bad.empty()) std::abort();

    const std::string up = rt::upper(bytes);
    if (rt::compareNoCase(bytes, up) != 0) std::abort();
    const std::size_t half = size / 2;
    const int ab = rt::compareNoCase(bytes.substr(0, half), bytes.substr(half));
    const int ba = rt::compareNoCase(bytes.substr(half), bytes.substr(0, half));
    if (ab != -ba) std::abort();
    return 0;
}
