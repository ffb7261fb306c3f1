#include "platform/classes/window_resizer.h"

#include <algorithm>

#include "platform/window/window.h"

namespace cls {
namespace {

bool grows(wnd::ControlKind kind) {
    using K = wnd::ControlKind;
    switch (kind) {
        case K::List: case K::Text: case K::Sheet: case K::Tab: case K::Region: case K::Group: case K::Option: return true;
        default: return false;
    }
}

bool laidOut(wnd::ControlKind kind) {
    using K = wnd::ControlKind;
    return kind != K::MenuBar && kind != K::Menu && kind != K::Item && kind != K::Separator;
}

}  // namespace

void WindowResizer::Init(wnd::Window& window, int strategy, bool minimumSize, bool maximumSize) {
    window_ = &window;
    strategy_ = strategy;
    minimumSize_ = minimumSize;
    maximumSize_ = maximumSize;
    designWidth_ = window.state().at.width;
    designHeight_ = window.state().at.height;
    designed_.clear();
    strategies_.clear();
    for (const wnd::ControlState& c : window.state().controls)
        if (laidOut(c.kind)) designed_[c.number] = c.at;
}

void WindowResizer::SetDefaultStrategies() {
    if (!window_) return;
    for (const auto& [number, at] : designed_) {
        (void)at;
        const auto& c = window_->control(number);
        strategies_[number] = strategy_ == 2 ? (grows(c.kind) ? kResize : kMove) : kLockPosition;
    }
}

void WindowResizer::SetStrategy(int control, Strategy strategy) { strategies_[control] = strategy; }

wnd::Rect WindowResizer::Place(int control, const wnd::Rect& d, int width, int height) const {
    if (designWidth_ <= 0 || designHeight_ <= 0 || width <= 0 || height <= 0) return d;
    double fx = static_cast<double>(width) / designWidth_;
    double fy = static_cast<double>(height) / designHeight_;
    if (minimumSize_) fx = std::max(fx, 1.0), fy = std::max(fy, 1.0);
    if (maximumSize_) fx = std::min(fx, 1.0), fy = std::min(fy, 1.0);
    const auto it = strategies_.find(control);
    const Strategy s = it == strategies_.end() ? kLockPosition : it->second;
    wnd::Rect r = d;
    if (s == kLockPosition) return r;
    r.x = static_cast<int>(d.x * fx + 0.5);
    r.y = static_cast<int>(d.y * fy + 0.5);
    if (s == kResize) {
        // The far edges follow the window too, so neighbours keep their gaps.
        r.width = static_cast<int>((d.x + d.width) * fx + 0.5) - r.x;
        r.height = static_cast<int>((d.y + d.height) * fy + 0.5) - r.y;
    }
    return r;
}

void WindowResizer::Resize() {
    if (!window_) return;
    const int w = window_->state().at.width, h = window_->state().at.height;
    for (const auto& [number, d] : designed_) {
        if (!window_->Has(number)) continue;
        const wnd::Rect r = Place(number, d, w, h);
        const wnd::Rect& now = window_->control(number).at;
        if (r.x != now.x || r.y != now.y || r.width != now.width || r.height != now.height)
            window_->SetPosition(number, r);
    }
}

}  // namespace cls
