#include "globals/globals.h"

#include "globals/program_end.h"
#include "platform/runtime/fixed_string.h"

namespace globals {
namespace {

// Constructed at program load in this order: the word matcher, the reporter, the settings store.
struct Services {
    Services() {
        // After a fatal message the program leaves through its normal shut-down, asking nothing more.
        errors.SetFatalHandler([this](int) {
            errors.SetSilent(true);
            EndProgram(kFatalExitCode);
        });
    }
    cls::WordMatcher words;
    cls::ErrorReporter errors;
    cls::SettingsStore settings;
    SharedText disclaimer{300};
    SharedText person{40};
};

Services& services() {
    static Services s;
    return s;
}

// Make them at load, not at first use from whichever thread comes first.
[[maybe_unused]] const bool kConstructedAtLoad = (services(), true);

}  // namespace

cls::ErrorReporter& AppErrors() { return services().errors; }
cls::SettingsStore& AppSettings() { return services().settings; }
cls::WordMatcher& AppWordMatcher() { return services().words; }
SharedText& DISCLAIMER() { return services().disclaimer; }
SharedText& personname() { return services().person; }

void SharedText::set(std::string_view v) {
    std::string padded = rt::padTo(v, width_);
    std::lock_guard lock(mutex_);
    value_.swap(padded);
}

std::string SharedText::get() const {
    std::lock_guard lock(mutex_);
    return value_;
}

}  // namespace globals
