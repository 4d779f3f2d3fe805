#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace zv::test {

// zvsim running beside the test on its own pseudo-terminal, ended with SIGTERM as a user would
// end it. Needs ZVSIM_PATH.
class Zvsim {
  public:
    explicit Zvsim(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(ZVSIM_PATH)};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(ZVSIM_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        ReadUntilReady(out[0]);
        close(out[0]);
    }
    ~Zvsim() { Stop(); }
    Zvsim(const Zvsim&) = delete;
    Zvsim& operator=(const Zvsim&) = delete;

    bool Ready() const { return !device_.empty(); }
    // The terminal's path, from zvsim's line "device: PATH".
    const std::string& Device() const { return device_; }

    void Signal(int signal) const {
        if (pid_ > 0)
            kill(pid_, signal);
    }
    // Ends zvsim as SIGTERM does; its exit code (-1 when it did not end by itself).
    int Stop() {
        if (pid_ <= 0)
            return exit_;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return exit_;
    }

  private:
    void ReadUntilReady(int fd) {
        std::string text;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            char buffer[256];
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0)
                return;
            text.append(buffer, static_cast<std::size_t>(got));
            const auto at = text.find("device: ");
            const auto end = at == std::string::npos ? at : text.find('\n', at);
            if (end != std::string::npos) {
                device_ = text.substr(at + 8, end - at - 8);
                return;
            }
        }
    }

    pid_t pid_ = -1;
    int exit_ = -1;
    std::string device_;
};

}  // namespace zv::test
