#pragma once
// What the program's threads share on purpose: the three service objects, the two text globals
// (read and written under their own lock, so a reader never sees half a value), and the per-thread
// request and response cells.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/classes/error_reporter.h"
#include "platform/classes/settings_store.h"
#include "platform/classes/word_matcher.h"

namespace globals {

cls::ErrorReporter& AppErrors();
cls::SettingsStore& AppSettings();
cls::WordMatcher& AppWordMatcher();

// A blank-padded text of fixed width shared between threads: copied in and out under a lock.
class SharedText {
public:
    explicit SharedText(std::size_t width) : width_(width), value_(width, ' ') {}
    void set(std::string_view v);
    std::string get() const;  // always `width` characters
    std::size_t width() const { return width_; }

private:
    const std::size_t width_;
    mutable std::mutex mutex_;
    std::string value_;
};

// STRING(300): set by the frame when its window opens; printed in the reading reports' footers.
SharedText& DISCLAIMER();
// STRING(40): the person whose quick list, profile or readings are shown or printed.
SharedText& personname();

inline constexpr const char* kDisclaimerText =
    "Varnholt does not provide medical advice, or suggest medical procedures. Please consult your doctor for advice "
    "concerning any medical condition.";

// Request codes and response codes of the calling protocol.
enum Request : std::uint8_t { kRequestNone = 0, kInsert = 1, kChange = 2, kDelete = 3, kSelect = 4, kPrint = 5, kView = 6 };
enum Response : std::uint8_t { kResponseNone = 0, kCompleted = 1, kCancelled = 2 };

// Per-thread cells.
inline thread_local std::uint8_t CallRequest = 0;
inline thread_local std::uint8_t CallResponse = 0;
inline thread_local std::int32_t NavigationRequest = 0;
// This thread's error details; made at the thread's start, released at its end.
inline thread_local std::unique_ptr<cls::ErrorState> ThreadErrorState;

}  // namespace globals
