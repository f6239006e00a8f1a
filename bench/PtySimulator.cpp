#include "PtySimulator.h"

#include <array>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How long a simulator may take to print its port before it counts as not started.
constexpr int kPortLineTimeoutMs = 10'000;

// The simulators alive now, for the signal handler: lock-free atomics are safe to read there.
std::array<std::atomic<pid_t>, 32> liveSimulators{};
static_assert(std::atomic<pid_t>::is_always_lock_free);

void remember(pid_t pid) {
    for (auto& slot : liveSimulators) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid))
            return;
    }
}

void forget(pid_t pid) {
    for (auto& slot : liveSimulators) {
        pid_t expected = pid;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

void endSimulatorsAndDie(int signal) {
    for (auto& slot : liveSimulators) {
        const pid_t pid = slot.load();
        if (pid > 0)
            ::kill(pid, SIGTERM);
    }
    // The default action then ends the benchmark as the signal would have.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// The first line the process writes to `fd`, without its newline; empty when nothing came
// within the time limit or the process ended first.
std::string firstLine(int fd) {
    std::string line;
    pollfd readable{fd, POLLIN, 0};
    char c = 0;
    while (::poll(&readable, 1, kPortLineTimeoutMs) == 1 && ::read(fd, &c, 1) == 1) {
        if (c == '\n')
            return line;
        line += c;
    }
    return {};
}

} // namespace

pid_t spawnProcess(const std::vector<std::string>& args, int* out) {
    int pipeFds[2] = {-1, -1};
    if (out && ::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (out) {
        ::close(pipeFds[1]);
        *out = pipeFds[0];
    }
    return pid;
}

PtySimulator::PtySimulator(const std::string& scalectl, int baud) {
    std::vector<std::string> args{scalectl, "simulate", "--pty"};
    if (baud > 0) {
        args.push_back("--baud");
        args.push_back(std::to_string(baud));
    }
    pid_ = spawnProcess(args, &out_);
    if (pid_ <= 0)
        return;
    remember(pid_);
    port_ = firstLine(out_);
}

PtySimulator::~PtySimulator() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        forget(pid_);
    }
    if (out_ >= 0)
        ::close(out_);
}

void endSimulatorsOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGABRT, SIGBUS, SIGFPE})
        ::signal(signal, endSimulatorsAndDie);
}
