// Calls queued from task threads run on the GUI thread, each thread's in the order it posted them,
// and a queued call still pending when the queue goes is dropped, not run.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt/gui_queue.h"
#include "qt/qt_test_support.h"

namespace {

TEST(QtGuiQueue, CallsFromManyThreadsRunOnTheGuiThreadInTheirOrder) {
    qtp::GuiQueue queue;
    const std::thread::id gui = std::this_thread::get_id();
    std::map<int, std::vector<std::string>> seen;  // touched on the GUI thread only
    bool elsewhere = false;
    constexpr int kThreads = 4, kCalls = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i)
                queue.Post([&, t, text = std::to_string(i)] {
                    elsewhere = elsewhere || std::this_thread::get_id() != gui;
                    seen[t].push_back(text);
                });
        });
    for (auto& th : threads) th.join();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        std::size_t n = 0;
        for (const auto& [t, texts] : seen) n += texts.size();
        return n == kThreads * kCalls;
    }, qttest::kWaitMs));
    EXPECT_FALSE(elsewhere);
    for (const auto& [t, texts] : seen)
        for (int i = 0; i < kCalls; ++i) ASSERT_EQ(texts[static_cast<std::size_t>(i)], std::to_string(i)) << "thread " << t;
}

TEST(QtGuiQueue, PendingCallsGoWithTheQueue) {
    auto ran = std::make_shared<int>(0);
    {
        qtp::GuiQueue queue;
        std::thread([&queue, ran] { queue.Post([ran] { ++*ran; }); }).join();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(*ran, 0);
    EXPECT_EQ(ran.use_count(), 1);  // the dropped call let its data go
}

}  // namespace
