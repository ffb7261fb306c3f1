#pragma once
// Runs one test of this test program in a process of its own: fork, then exec of the same binary
// with a filter, so the child starts threads as a fresh program does (a forked copy of a threaded
// test program may not). Its standard output goes to /dev/null.
#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// test: "Suite.DISABLED_Name"; env: one more NAME=value; fds: (descriptor, number it gets in the
// child; descriptors to keep from it should be close-on-exec). asNobody: the child gives up root before it starts (exit 10 when it cannot). The pid, or
// -1 when no process could be made.
inline pid_t runTestInOwnProcess(const std::string& test, const std::string& env, std::vector<std::pair<int, int>> fds = {},
                                 bool asNobody = false) {
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) vars.emplace_back(*e);
    vars.push_back(env);
    std::vector<char*> envp;
    for (auto& v : vars) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=" + test, disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
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
