#include "platform/http_client.h"

#include <curl/curl.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <mutex>

namespace tesslow {

namespace {

struct Transfer {
    std::string body;
    std::size_t limit = 0;
    bool tooLarge = false;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->limit) {
        transfer->tooLarge = true;
        return 0;  // makes libcurl abort the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
}

// Retry-After carries either seconds or an HTTP date.
std::optional<std::chrono::seconds> RetryAfter(CURL* curl)
{
    curl_header* header = nullptr;
    if (curl_easy_header(curl, "Retry-After", 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header->value)
        return std::nullopt;
    const std::string_view value = header->value;
    long long seconds = 0;
    const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error == std::errc() && stop == value.data() + value.size() && seconds >= 0)
        return std::chrono::seconds(seconds);
    const time_t when = curl_getdate(header->value, nullptr);
    if (when < 0) return std::nullopt;
    const time_t now = std::time(nullptr);
    return std::chrono::seconds(when > now ? when - now : 0);
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

struct HttpClient::Handle {
    CURL* curl = nullptr;
    std::unique_ptr<curl_slist, SlistFree> headers;
    ~Handle()
    {
        if (curl) curl_easy_cleanup(curl);
    }
};

HttpClient::HttpClient(HttpOptions options) : options_(std::move(options)), handle_(std::make_unique<Handle>())
{
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        // A look-up abandoned at its deadline may still be inside TLS while
        // the program exits; OpenSSL's exit-time clean-up would free what it
        // uses. The process's end frees everything anyway.
        OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
    handle_->curl = curl_easy_init();
    if (!handle_->curl) throw HttpError("cannot start an HTTP session");
    handle_->headers.reset(curl_slist_append(nullptr, ("Accept: " + options_.accept).c_str()));
}

HttpClient::~HttpClient() = default;

HttpResponse HttpClient::Get(const std::string& url, std::optional<std::chrono::milliseconds> limit)
{
    const auto bounded = [&](std::chrono::milliseconds timeout) {
        return static_cast<long>(std::max<std::int64_t>(1, (limit ? std::min(timeout, *limit) : timeout).count()));
    };
    CURL* curl = handle_->curl;
    Transfer transfer;
    transfer.limit = options_.maxBodyBytes;
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // An address given as plain http may be sent on to http or https (a test's
    // server on 127.0.0.1, or a service that moves to https); https stays https.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, url.starts_with("http:") ? "http,https" : "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, options_.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, handle_->headers.get());
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, bounded(options_.connectTimeout));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, bounded(options_.totalTimeout));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options_.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);

    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw HttpError("the answer is larger than " + std::to_string(options_.maxBodyBytes) + " bytes");
    if (result != CURLE_OK) throw HttpError(errorText[0] ? errorText : curl_easy_strerror(result));

    HttpResponse response;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(transfer.body);
    response.retryAfter = RetryAfter(curl);
    return response;
}

}  // namespace tesslow
