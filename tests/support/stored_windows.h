#pragma once
// Test support: the program's stored window layouts read from a resource folder, and a window run
// with its resizer as every procedure sets it up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/classes/window_resizer.h"
#include "platform/window/layout.h"
#include "platform/window/window.h"

namespace testing_support {

// Calls `each` with every window of every layout file below `folder` (a file that does not parse fails
// the test).
inline void ForEachStoredWindow(const std::string& folder,
                                const std::function<void(const wnd::ProcedureLayout&, const wnd::WindowLayout&)>& each) {
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
        if (file.path().extension() != ".json") continue;
        std::ifstream in(file.path());
        const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        const auto layout = wnd::ParseLayout(json, &error);
        ASSERT_NE(layout, nullptr) << file.path() << ": " << error;
        for (const wnd::WindowLayout& design : layout->windows) each(*layout, design);
    }
}

// Runs an opened window's events with its resizer until it closes.
inline void RunResized(wnd::Window& w) {
    cls::WindowResizer resizer;
    resizer.Init(w, 2, true, false);
    resizer.SetDefaultStrategies();
    while (w.Accept()) {
        if (w.event() == wnd::Event::Resized) resizer.Resize();
        if (w.event() == wnd::Event::CloseWindow) break;
    }
}

}  // namespace testing_support
