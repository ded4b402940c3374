#include "support/http_fixture_server.h"

#include "platform/unique_fd.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace tesslow::test {

HttpFixtureServer::HttpFixtureServer(std::filesystem::path root, const std::filesystem::path& certificate)
    : root_(std::move(root)), tls_(!certificate.empty())
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    const std::string script = std::string(TESSLOW_SOURCE_DIR) + "/tests/support/http_fixture_server.py";
    const std::string rootText = root_.string();
    const std::string certificateText = certificate.string();

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::dup2(writeEnd.Get(), STDOUT_FILENO);
        ::execl("/usr/bin/python3", "python3", script.c_str(), rootText.c_str(),
                tls_ ? certificateText.c_str() : static_cast<char*>(nullptr), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    writeEnd.Reset();

    // "PORT <n>\n", within a generous start-up time.
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd waitFor{readEnd.Get(), POLLIN, 0};
        char buffer[64];
        const ssize_t n = ::poll(&waitFor, 1, 10000) == 1 ? ::read(readEnd.Get(), buffer, sizeof buffer) : -1;
        if (n <= 0) {
            Stop();
            throw std::runtime_error("the HTTP fixture server did not start");
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    port_ = std::stoi(line.substr(line.find(' ') + 1));
}

HttpFixtureServer::~HttpFixtureServer() { Stop(); }

void HttpFixtureServer::Stop()
{
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string HttpFixtureServer::Url() const
{
    return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

std::vector<std::string> HttpFixtureServer::Requests() const
{
    std::vector<std::string> lines;
    std::ifstream log(root_ / "requests.log");
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

}  // namespace tesslow::test
