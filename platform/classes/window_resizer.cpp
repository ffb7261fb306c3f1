#include "platform/classes/window_resizer.h"

#include <algorithm>
#include <cmath>

#include "platform/window/window.h"

namespace cls {
namespace {

using K = wnd::ControlKind;

bool grows(wnd::ControlKind kind) {
    switch (kind) {
        case K::List: case K::Text: case K::Sheet: case K::Tab: case K::Region: case K::Group: case K::Option: return true;
        default: return false;
    }
}

bool laidOut(wnd::ControlKind kind) { return kind != K::MenuBar && kind != K::Menu && kind != K::Item && kind != K::Separator; }
bool isLabel(wnd::ControlKind kind) { return kind == K::Prompt || kind == K::String; }
bool isInput(wnd::ControlKind kind) {
    return kind == K::Entry || kind == K::Combo || kind == K::DropCombo || kind == K::DropList || kind == K::Spin;
}

// A control of a row is a line of text high or little more: a prompt, an entry, a combo, a button.
constexpr int kRowHeight = 16;
// Side by side: the gap between two controls of a row at most this (dialog units).
constexpr int kBeside = 6;
// Left edges this close (dialog units) are one column.
constexpr int kColumn = 3;
// A button that ends this close to the window's right edge stands at that edge.
constexpr int kRightEdge = 12;

int scaled(int v, double f) { return static_cast<int>(std::lround(v * f)); }

}  // namespace

void WindowResizer::Init(wnd::Window& window, int strategy, bool minimumSize, bool maximumSize) {
    window_ = &window;
    strategy_ = strategy;
    minimumSize_ = minimumSize;
    maximumSize_ = maximumSize;
    designWidth_ = window.state().at.width;
    designHeight_ = window.state().at.height;
    parts_.clear();
    strategies_.clear();
    for (const wnd::ControlState& c : window.state().controls)
        if (laidOut(c.kind)) parts_[c.number] = Part{c.at, c.kind};
    Analyse();
}

// Finds the columns, the rows, the ties between columns and the columns held at the right edge.
void WindowResizer::Analyse() {
    ties_.clear();
    order_.clear();
    growOrder_.clear();
    rightEdge_.clear();
    if (!window_) return;
    // Columns: runs of left edges, each within kColumn of the one before.
    // A box's controls (an option's radios) keep their place in their box, whatever it holds.
    for (auto& [n, p] : parts_) {
        const int parent = window_->control(n).parent;
        const auto box = parts_.find(parent);
        p.box = box != parts_.end() && (box->second.kind == K::Group || box->second.kind == K::Option) ? parent : 0;
    }
    std::vector<int> lefts;
    for (const auto& [n, p] : parts_)
        if (!p.box) lefts.push_back(p.at.x);
    std::sort(lefts.begin(), lefts.end());
    std::map<int, int> columnOf;
    for (std::size_t i = 0; i < lefts.size(); ++i)
        columnOf[lefts[i]] = i > 0 && lefts[i] - lefts[i - 1] <= kColumn ? columnOf[lefts[i - 1]] : lefts[i];
    // Rows: controls a line high whose middles lie within a unit of the one before.
    std::vector<std::pair<int, int>> middles;  // twice the middle, control
    for (auto& [n, p] : parts_) {
        p.column = p.box ? 0 : columnOf[p.at.x];
        p.row = -1;
        p.widenTo = 0;
        if (!p.box && !grows(p.kind) && p.at.height > 0 && p.at.height <= kRowHeight) middles.emplace_back(2 * p.at.y + p.at.height, n);
    }
    std::sort(middles.begin(), middles.end());
    for (std::size_t i = 0; i < middles.size();) {
        std::size_t end = i + 1;
        while (end < middles.size() && middles[end].first - middles[end - 1].first <= 2) ++end;
        int top = parts_[middles[i].second].at.y;
        for (std::size_t k = i; k < end; ++k) top = std::min(top, parts_[middles[k].second].at.y);
        for (std::size_t k = i; k < end; ++k) parts_[middles[k].second].row = top;
        i = end;
    }
    // Order: a control that stands on the left of another in their container, on a level with it,
    // never comes nearer to it than designed (whatever moves their columns).
    // One that grows keeps its designed gap from its right edge, which follows the window.
    for (const auto& [n, p] : parts_) {
        if (p.box) continue;
        const int parent = window_->control(n).parent;
        for (const auto& [m, o] : parts_) {
            const int right = o.at.x + o.at.width;
            if (o.box || o.column >= p.column || right > p.at.x + 2 || o.at.y >= p.at.y + p.at.height ||
                p.at.y >= o.at.y + o.at.height || window_->control(m).parent != parent)
                continue;
            order_[p.column].insert(o.column);
            if (grows(o.kind)) growOrder_[p.column].insert(right);
        }
    }
    // Ties: a control and the nearest one before it in its row and its container, designed beside it.
    std::map<int, std::set<int>> buttonTies;
    for (auto& [n, p] : parts_) {
        if (p.row < 0) continue;
        const int parent = window_->control(n).parent;
        int mate = 0;
        for (const auto& [m, o] : parts_) {
            if (m == n || o.row != p.row || window_->control(m).parent != parent) continue;
            const int right = o.at.x + o.at.width;
            if (o.at.x >= p.at.x || right > p.at.x + 2 || p.at.x - right > kBeside) continue;
            if (!mate || right > parts_[mate].at.x + parts_[mate].at.width) mate = m;
        }
        if (!mate) continue;
        Part& before = parts_[mate];
        const bool button = p.kind == K::Button;
        if (isInput(before.kind)) before.widenTo = n;
        const bool tied = isLabel(before.kind) || (button && (isInput(before.kind) || before.kind == K::Button));
        if (!tied || before.column == p.column) continue;
        ties_[p.column].insert(before.column);
        if (button && before.kind == K::Button) buttonTies[p.column].insert(before.column);
    }
    // The window's own controls that end at its right edge stay there (where a sheet above them
    // ends), with the buttons of their row.
    auto edge = [this](int column, int right) {
        int& r = rightEdge_[column];
        if (right <= r) return false;
        r = right;
        return true;
    };
    for (const auto& [n, p] : parts_)
        if (!grows(p.kind) && window_->control(n).parent == 0 && p.at.width > 0 && p.at.x + p.at.width >= designWidth_ - kRightEdge)
            edge(p.column, p.at.x + p.at.width);
    // The row's buttons before them follow, up to a column where something grows (a list that
    // shares its left edge with the row's first button stays where it is, and so does that button).
    std::set<int> others;
    for (const auto& [n, p] : parts_)
        if (!p.box && grows(p.kind)) others.insert(p.column);
    for (bool more = true; more;) {
        more = false;
        for (const auto& [column, before] : buttonTies)
            if (const auto r = rightEdge_.find(column); r != rightEdge_.end())
                for (int b : before)
                    if (!others.count(b)) more |= edge(b, r->second);
    }
}

std::map<int, int> WindowResizer::Columns(double fx, int width) const {
    std::set<int> columns;
    for (const auto& [n, p] : parts_)
        if (!p.box) columns.insert(p.column);
    std::map<int, int> at;
    for (int c : columns) {
        int x = scaled(c, fx);
        if (const auto t = ties_.find(c); t != ties_.end()) {
            x = 0;
            for (int b : t->second) x = std::max(x, at[b] + (c - b));
        }
        // A column at the right edge ends its row where the window's width, in proportion, puts it.
        if (const auto r = rightEdge_.find(c); r != rightEdge_.end())
            x = std::max(x, std::min(width, scaled(r->second, fx)) - (r->second - c));
        // Never nearer a column before it in a row than designed.
        if (const auto o = order_.find(c); o != order_.end())
            for (int b : o->second) x = std::max(x, at[b] + (c - b));
        if (const auto o = growOrder_.find(c); o != growOrder_.end())
            for (int right : o->second) x = std::max(x, scaled(right, fx) + (c - right));
        at[c] = x;
    }
    return at;
}

std::map<int, int> WindowResizer::Rows(double fy) const {
    std::set<int> rows;
    for (const auto& [n, p] : parts_)
        if (p.row >= 0) rows.insert(p.row);
    std::map<int, int> at;
    int before = 0, beforeAt = 0;
    bool first = true;
    for (int r : rows) {
        int y = scaled(r, fy);
        if (!first) y = std::max(y, beforeAt + (r - before));
        at[r] = y;
        before = r, beforeAt = y, first = false;
    }
    return at;
}

void WindowResizer::SetDefaultStrategies() {
    if (!window_) return;
    for (const auto& [number, p] : parts_) strategies_[number] = strategy_ == 2 ? (grows(p.kind) ? kResize : kMove) : kLockPosition;
}

void WindowResizer::SetStrategy(int control, Strategy strategy) { strategies_[control] = strategy; }

wnd::Rect WindowResizer::Place(int control, const wnd::Rect& designed, int width, int height) const {
    const auto part = parts_.find(control);
    if (part == parts_.end() || designWidth_ <= 0 || designHeight_ <= 0 || width <= 0 || height <= 0) return designed;
    double fx = static_cast<double>(width) / designWidth_;
    double fy = static_cast<double>(height) / designHeight_;
    if (minimumSize_) fx = std::max(fx, 1.0), fy = std::max(fy, 1.0);
    if (maximumSize_) fx = std::min(fx, 1.0), fy = std::min(fy, 1.0);
    const auto it = strategies_.find(control);
    const Strategy s = it == strategies_.end() ? kLockPosition : it->second;
    const Part& p = part->second;
    if (s == kLockPosition) return p.at;
    if (p.box) {
        const Part& box = parts_.at(p.box);
        const wnd::Rect b = Place(p.box, box.at, width, height);
        return {b.x + (p.at.x - box.at.x), b.y + (p.at.y - box.at.y), p.at.width, p.at.height};
    }
    const int laidWidth = scaled(designWidth_, fx);
    const std::map<int, int> columns = Columns(fx, laidWidth);
    wnd::Rect r = p.at;
    r.x = columns.at(p.column) + (p.at.x - p.column);
    if (p.row >= 0) r.y = Rows(fy).at(p.row) + (p.at.y - p.row);
    else r.y = scaled(p.at.y, fy);
    if (s == kResize) {
        // The far edges follow the window too, so neighbours keep their gaps.
        r.width = std::max(p.at.width, scaled(p.at.x + p.at.width, fx) - r.x);
        r.height = std::max(p.at.height, scaled(p.at.y + p.at.height, fy) - r.y);
    } else if (p.widenTo) {
        // An input keeps its gap to the control designed beside it on its right.
        const Part& next = parts_.at(p.widenTo);
        const int nextX = columns.at(next.column) + (next.at.x - next.column);
        r.width = std::max(p.at.width, nextX - (next.at.x - (p.at.x + p.at.width)) - r.x);
    }
    return r;
}

void WindowResizer::Resize() {
    if (!window_) return;
    const int w = window_->state().at.width, h = window_->state().at.height;
    for (const auto& [number, p] : parts_) {
        if (!window_->Has(number)) continue;
        const wnd::Rect r = Place(number, p.at, w, h);
        const wnd::Rect& now = window_->control(number).at;
        if (r.x != now.x || r.y != now.y || r.width != now.width || r.height != now.height)
            window_->SetPosition(number, r);
    }
}

}  // namespace cls
