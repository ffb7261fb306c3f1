#include "platform/runtime/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace rt {
namespace {
std::mutex gMutex;
bool gFixed = false;
StdDate gDate = 0;
StdTime gTime = 0;

std::tm localNow(int* hundredths) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    *hundredths = static_cast<int>(ms / 10);
    return tm;
}
}  // namespace

StdDate today() {
    {
        std::lock_guard lock(gMutex);
        if (gFixed) return gDate;
    }
    int hs = 0;
    std::tm tm = localNow(&hs);
    return dateFromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday).value_or(0);
}

StdTime clockNow() {
    {
        std::lock_guard lock(gMutex);
        if (gFixed) return gTime;
    }
    int hs = 0;
    std::tm tm = localNow(&hs);
    return timeFromHms(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec, hs).value_or(1);
}

void setFixedClock(StdDate date, StdTime time) {
    std::lock_guard lock(gMutex);
    gFixed = true;
    gDate = date;
    gTime = time;
}

void useSystemClock() {
    std::lock_guard lock(gMutex);
    gFixed = false;
}

}  // namespace rt
