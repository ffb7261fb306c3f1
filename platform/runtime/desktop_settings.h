#pragma once
// Desktop-wide settings the program may change for its lifetime (window dragging shows contents or
// outlines). This desktop has no such setting: the default service reports every query as failed,
// so the program never changes anything. Tests install a fake.
#include <memory>

namespace rt {

inline constexpr unsigned kGetDragFullWindows = 38;
inline constexpr unsigned kSetDragFullWindows = 37;
inline constexpr unsigned kUpdateProfileAndBroadcast = 3;

class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;
    // Reads a setting; false when the query failed.
    virtual bool Get(unsigned action, long* value) = 0;
    // Changes a setting; false when refused.
    virtual bool Set(unsigned action, long value, unsigned flags) = 0;
};

DesktopSettings& Desktop();
// Replaces the desktop service (nullptr: back to the default).
void SetDesktop(std::shared_ptr<DesktopSettings> desktop);

}  // namespace rt
