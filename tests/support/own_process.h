#pragma once
// Runs a child test of this test program in a process of its own: fork, then exec of the same
// binary with a filter, so the child starts threads as a fresh program does (a forked copy of a
// threaded test program may not). Its standard output goes to /dev/null.
//
// A child test is declared with CHILD_TEST or CHILD_TEST_F instead of TEST or TEST_F. It exists
// only in the process its parent starts (the parent names it in PRESCRIPTS_TEST_CHILD), so a test
// run neither lists it nor reports it as a test that did not run.
#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline constexpr const char* kChildTestVariable = "PRESCRIPTS_TEST_CHILD";

// Registers Test (a subclass of Fixture) as Suite.Name when this process is that child.
template <class Fixture, class Test>
bool RegisterChildTest(const char* suite, const char* name, const char* file, int line) {
    const char* child = std::getenv(kChildTestVariable);
    if (!child || std::string(child) != std::string(suite) + "." + name) return false;
    testing::RegisterTest(suite, name, nullptr, nullptr, file, line, []() -> Fixture* { return new Test; });
    return true;
}

// test: "Suite.Name" of a child test; env: one more NAME=value; fds: (descriptor, number it gets in
// the child; descriptors to keep from it should be close-on-exec). asNobody: the child gives up root
// before it starts (exit 10 when it cannot). The pid, or -1 when no process could be made.
inline pid_t runTestInOwnProcess(const std::string& test, const std::string& env, std::vector<std::pair<int, int>> fds = {},
                                 bool asNobody = false) {
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) vars.emplace_back(*e);
    vars.push_back(env);
    vars.push_back(std::string(kChildTestVariable) + "=" + test);
    std::vector<char*> envp;
    for (auto& v : vars) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=" + test;
    char* argv[] = {self.data(), filter.data(), nullptr};
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    for (const auto& [fd, number] : fds) ::dup2(fd, number);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    if (asNobody && ::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    ::execve(argv[0], argv, envp.data());
    ::_exit(127);
}

}  // namespace testing_support

#define PRESCRIPTS_CHILD_TEST_(suite, name, fixture)                                                  \
    class suite##_##name##_ChildTest final : public fixture {                                       \
    public:                                                                                         \
        void TestBody() override;                                                                   \
    };                                                                                              \
    [[maybe_unused]] const bool suite##_##name##_registered =                                       \
        testing_support::RegisterChildTest<fixture, suite##_##name##_ChildTest>(#suite, #name, __FILE__, __LINE__); \
    void suite##_##name##_ChildTest::TestBody()

#define CHILD_TEST(suite, name) PRESCRIPTS_CHILD_TEST_(suite, name, ::testing::Test)
#define CHILD_TEST_F(fixture, name) PRESCRIPTS_CHILD_TEST_(fixture, name, fixture)
