#include "platform/classes/window_resizer.h"

#include <algorithm>
#include <cstdlib>

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

// A control of a row is a line of text high or little more: a prompt, an entry, a combo, a button.
constexpr int kRowHeight = 16;
// Side by side: the gap between two controls of a row at most this (dialog units).
constexpr int kBeside = 6;

}  // namespace

// For each control that moves with the window, the nearest control to its left in the same
// container whose line it shares (their middles within half the taller's height).
void WindowResizer::FindRowMates() {
    rowMates_.clear();
    if (!window_) return;
    for (const auto& [number, d] : designed_) {
        const auto& c = window_->control(number);
        if (grows(c.kind) || d.height <= 0 || d.height > kRowHeight) continue;
        RowMate best;
        int bestRight = 0;
        for (const auto& [other, o] : designed_) {
            if (other == number || o.height <= 0 || o.height > kRowHeight) continue;
            const auto& oc = window_->control(other);
            if (oc.parent != c.parent || grows(oc.kind)) continue;
            const int right = o.x + o.width;
            if (o.x >= d.x || right > d.x + 2) continue;  // not before it in the row
            const int middles = (2 * d.y + d.height) - (2 * o.y + o.height);  // twice the distance
            if (std::abs(middles) > std::max(d.height, o.height)) continue;
            if (best.control && right <= bestRight) continue;
            best = {other, d.x - right <= kBeside};
            bestRight = right;
        }
        if (best.control) rowMates_[number] = best;
    }
}

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
    FindRowMates();
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
        return r;
    }
    // A moving control keeps to its row: level with the control before it and, designed beside
    // it, at the same gap (that control lies to its left, so this ends).
    if (const auto mate = rowMates_.find(control); s == kMove && mate != rowMates_.end()) {
        const wnd::Rect& md = designed_.at(mate->second.control);
        const wnd::Rect m = Place(mate->second.control, md, width, height);
        r.y = m.y + (d.y - md.y);
        if (mate->second.beside) r.x = m.x + m.width + (d.x - (md.x + md.width));
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
