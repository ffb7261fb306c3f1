// The settings store writes each change to its file at once: a run that ends without tearing the
// store down (killed, or the machine stopped) keeps what it changed.
#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/classes/settings_store.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("settings-store-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(folder_.string()));
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The file as it stands on disk, not as QSettings holds it in memory.
    static std::string onDisk(const cls::SettingsStore& store) {
        std::ifstream in(store.location());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path folder_;
};

TEST_F(SettingsStoreTest, EachChangeIsOnDiskBeforeTearDown) {
    const std::string name = "Store" + std::to_string(::getpid());
    const mode_t umask = ::umask(022);
    cls::SettingsStore store;
    store.Init(name, cls::SettingsStore::Kind::Registry, cls::SettingsStore::Root::ClassesRoot);
    store.Update("Preview", "Width", "640");
    std::string text = onDisk(store);
    EXPECT_NE(text.find("Width=640"), std::string::npos) << text;
    EXPECT_NE(text.find("__Dont_Touch_Me__=Preview"), std::string::npos) << text;

    store.Update("Preview", "Width", "700");
    store.Update("Window", "Height", "300");
    text = onDisk(store);
    EXPECT_NE(text.find("Width=700"), std::string::npos) << text;
    EXPECT_NE(text.find("Height=300"), std::string::npos) << text;
    EXPECT_NE(text.find("__Dont_Touch_Me__=Preview|Window"), std::string::npos) << text;

    // The settings are the user's alone, whatever the umask, and stay so over every rewrite.
    struct stat st {};
    ASSERT_EQ(::stat(store.location().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::umask(umask);

    // A second run reads what the first wrote although the first never tore down.
    cls::SettingsStore next;
    next.Init(name, cls::SettingsStore::Kind::Registry, cls::SettingsStore::Root::ClassesRoot);
    EXPECT_EQ(next.Fetch("Preview", "Width"), "700");
    EXPECT_EQ(next.sections(), (std::set<std::string>{"Preview", "Window"}));
}

TEST_F(SettingsStoreTest, ChangesFromManyThreadsAreAllWritten) {
    cls::SettingsStore store;
    store.Init("Threads" + std::to_string(::getpid()), cls::SettingsStore::Kind::Registry,
               cls::SettingsStore::Root::ClassesRoot);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&store, t] {
            for (int i = 0; i < 20; ++i) {
                store.Update("Thread" + std::to_string(t), "Entry" + std::to_string(i), std::to_string(i * t));
                (void)store.Fetch("Thread0", "Entry0");
            }
        });
    for (auto& th : threads) th.join();
    const std::string text = onDisk(store);
    for (int t = 0; t < 4; ++t)
        EXPECT_NE(text.find("[Thread" + std::to_string(t) + "]"), std::string::npos) << text;
    EXPECT_NE(text.find("Entry19=57"), std::string::npos) << text;  // thread 3's last
    EXPECT_EQ(store.sections().size(), 4u);
}

}  // namespace
