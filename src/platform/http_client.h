#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace tesslow {

struct HttpOptions {
    std::string userAgent;
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{30000};  // whole request, redirects included
    std::size_t maxBodyBytes = 16u << 20;
    std::string accept = "application/xml";  // the Accept header
};

struct HttpResponse {
    long status = 0;
    std::string body;
    std::optional<std::chrono::seconds> retryAfter;  // from a Retry-After header
};

// No answer at all: the connection failed or timed out, the answer was larger
// than allowed, or the transfer broke off. what() says why, in English.
class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// HTTP GET over libcurl: HTTPS with certificate and host checks, http and https
// only, redirects followed (at most five, never from https to plain http: a
// request made over https is redirected to https only), the proxy taken from
// the environment as libcurl reads it (http_proxy, https_proxy, no_proxy...),
// compressed answers accepted, never a signal, and every request bounded by the
// connect and total time-outs.
//
// Keeps one connection for reuse. Not thread-safe: one thread at a time.
class HttpClient {
public:
    explicit HttpClient(HttpOptions options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Any status is an answer; throws HttpError when there is none. `limit`,
    // when shorter, replaces the connect and total time-outs for this request.
    HttpResponse Get(const std::string& url, std::optional<std::chrono::milliseconds> limit = std::nullopt);

private:
    struct Handle;
    HttpOptions options_;
    std::unique_ptr<Handle> handle_;
};

}  // namespace tesslow
