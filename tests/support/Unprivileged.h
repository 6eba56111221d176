#pragma once
// Runs a piece of a test in a child process that holds no privilege, so that
// a refused permission can be seen also when the tests run as root (root
// passes every permission check): as root the child takes the "nobody"
// user's identity first. The piece's text answer comes back to the parent.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

inline std::string RunUnprivileged(const std::function<std::string()>& piece)
{
    constexpr uid_t kNobody = 65534;
    int fds[2];
    if (pipe(fds) != 0)
    {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = fork();
    if (child == 0)
    {
        close(fds[0]);
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(2);
        const std::string answer = piece();
        const bool written =
            write(fds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        _exit(written ? 0 : 3);
    }
    close(fds[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged child failed";
    return answer;
}
