#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tesslow::test {

// Runs tests/support/http_fixture_server.py on 127.0.0.1 for the life of the
// object: GET /a/b answers ROOT/a/b.xml, every request is logged, and control
// files beside a fixture make it answer 503 or never (see the script). The
// server is stopped and reaped on destruction. Given a certificate (a PEM file
// with key and certificate) it speaks HTTPS.
class HttpFixtureServer {
public:
    explicit HttpFixtureServer(std::filesystem::path root, const std::filesystem::path& certificate = {});
    ~HttpFixtureServer();
    HttpFixtureServer(const HttpFixtureServer&) = delete;
    HttpFixtureServer& operator=(const HttpFixtureServer&) = delete;

    // "http://127.0.0.1:<port>" (https for a server with a certificate)
    std::string Url() const;

    // The requests so far, in order, as "<path with query>\t<User-Agent>".
    std::vector<std::string> Requests() const;

private:
    void Stop();

    std::filesystem::path root_;
    pid_t pid_ = -1;
    int port_ = 0;
    bool tls_ = false;
};

}  // namespace tesslow::test
