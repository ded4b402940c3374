#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX

namespace tesslow::ape {

// An MD5 digest computed piece by piece (OpenSSL's implementation). Throws
// std::bad_alloc when OpenSSL cannot set it up.
class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const void* data, std::size_t bytes);
    std::array<std::uint8_t, 16> Final();

private:
    evp_md_ctx_st* context_;
};

}  // namespace tesslow::ape
