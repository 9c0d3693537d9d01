// Tests that need a process of their own: one that cannot write where the
// file modes forbid it, or whose files cannot grow (as on a full disk).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace zu::platform::test_support {

// Runs `body` in a child process and returns its exit code (-1 when it did
// not exit by itself).
inline int RunInChild(const std::function<void()>& prepare, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// `body` under a user that is not root (root reads and writes any file
// whatever its mode: the child runs as the unprivileged user 65534).
inline int RunAsUnprivileged(const std::function<int()>& body) {
    return RunInChild(
        [] {
            if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(90);
        },
        body);
}

// `body` with files that cannot grow beyond `bytes`: a write past it fails.
inline int RunWithFileSizeLimit(rlim_t bytes, const std::function<int()>& body) {
    return RunInChild(
        [bytes] {
            std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead
            const rlimit limit{bytes, bytes};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(91);
        },
        body);
}

}  // namespace zu::platform::test_support
