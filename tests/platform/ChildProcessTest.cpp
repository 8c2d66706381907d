// SPDX-License-Identifier: GPL-3.0-or-later
// A child started with EndWithParent ends when the process that started it is killed.
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <unistd.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>

namespace {

// A killed orphan stays a zombie until the system's first process takes it, which in a container may be
// never: a zombie counts as ended.
bool Alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const std::size_t end = line.rfind(") ");
    return end != std::string::npos && end + 2 < line.size() && line[end + 2] != 'Z';
}

// The middle process starts `sleep 60` (with or without EndWithParent), tells its pid and is killed.
pid_t SleeperOfAKilledParent(bool endWithParent) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t middle = fork();
    if (middle == 0) {
        const pid_t sleeper = fork();
        if (sleeper == 0) {
            if (endWithParent)
                EndWithParent();
            execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
            _exit(127);
        }
        (void)!write(pipeEnds[1], &sleeper, sizeof sleeper);
        pause();  // until killed
        _exit(0);
    }
    close(pipeEnds[1]);
    pid_t sleeper = -1;
    if (read(pipeEnds[0], &sleeper, sizeof sleeper) != sizeof sleeper)
        sleeper = -1;
    close(pipeEnds[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the sleeper has set itself up
    kill(middle, SIGKILL);
    waitpid(middle, nullptr, 0);
    return sleeper;
}

bool EndsWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (Alive(pid) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !Alive(pid);
}

TEST(ChildProcess, EndsWhenItsParentIsKilled) {
    const pid_t sleeper = SleeperOfAKilledParent(true);
    ASSERT_GT(sleeper, 0);
    EXPECT_TRUE(EndsWithin(sleeper, std::chrono::seconds(5)));
}

// Without it the child lives on: the check above is not true of every child.
TEST(ChildProcess, WithoutItTheChildOutlivesItsParent) {
    const pid_t sleeper = SleeperOfAKilledParent(false);
    ASSERT_GT(sleeper, 0);
    EXPECT_FALSE(EndsWithin(sleeper, std::chrono::milliseconds(300)));
    kill(sleeper, SIGKILL);
}

}  // namespace
