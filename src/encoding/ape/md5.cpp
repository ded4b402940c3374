#include "encoding/ape/md5.h"

#include <openssl/evp.h>

#include <new>

namespace tesslow::ape {

Md5::Md5() : context_(EVP_MD_CTX_new())
{
    if (!context_ || EVP_DigestInit_ex(context_, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(context_);
        throw std::bad_alloc();
    }
}

Md5::~Md5() { EVP_MD_CTX_free(context_); }

void Md5::Update(const void* data, std::size_t bytes) { EVP_DigestUpdate(context_, data, bytes); }

std::array<std::uint8_t, 16> Md5::Final()
{
    std::array<std::uint8_t, 16> digest{};
    unsigned size = 0;
    EVP_DigestFinal_ex(context_, digest.data(), &size);
    return digest;
}

}  // namespace tesslow::ape
