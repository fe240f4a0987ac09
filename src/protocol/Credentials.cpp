#include "protocol/Credentials.h"

#include <nettle/arctwo.h>
#include <nettle/cbc.h>
#include <nettle/md5.h>

#include <cstdint>
#include <cstring>

namespace quillon {

namespace {

constexpr size_t kBlock = ARCTWO_BLOCK_SIZE; // 8

// The key a Windows Base provider derives from the MD5 of the pass phrase
// for RC2 with flags 0: 40 bits of the hash followed by 11 zero bytes of
// salt, 40 effective key bits.
void setKey(arctwo_ctx& ctx) {
    uint8_t hash[MD5_DIGEST_SIZE];
    md5_ctx md5;
    md5_init(&md5);
    md5_update(&md5, std::strlen(kCredentialPassPhrase),
               reinterpret_cast<const uint8_t*>(kCredentialPassPhrase));
    md5_digest(&md5, sizeof hash, hash);
    uint8_t key[16] = {};
    std::memcpy(key, hash, 5);
    arctwo_set_key_ekb(&ctx, sizeof key, key, 40);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string encryptCredential(const std::string& text) {
    uint8_t plain[2 * kBlock];
    std::memset(plain, ' ', kBlock);
    std::memcpy(plain, text.data(), std::min(text.size(), kBlock));
    // A full block of padding: eight bytes of 8.
    std::memset(plain + kBlock, kBlock, kBlock);

    arctwo_ctx ctx;
    setKey(ctx);
    uint8_t iv[kBlock] = {};
    uint8_t cipher[2 * kBlock];
    cbc_encrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(arctwo_encrypt), kBlock, iv,
                sizeof plain, cipher, plain);

    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(32);
    for (uint8_t b : cipher) {
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 15]);
    }
    return hex;
}

std::optional<std::string> decryptCredential(const std::string& hex32) {
    if (hex32.size() != 4 * kBlock)
        return std::nullopt;
    uint8_t cipher[2 * kBlock];
    for (size_t i = 0; i < sizeof cipher; ++i) {
        int hi = hexValue(hex32[2 * i]), lo = hexValue(hex32[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        cipher[i] = uint8_t(hi << 4 | lo);
    }
    arctwo_ctx ctx;
    setKey(ctx);
    uint8_t iv[kBlock] = {};
    uint8_t plain[2 * kBlock];
    cbc_decrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(arctwo_decrypt), kBlock, iv,
                sizeof cipher, plain, cipher);
    uint8_t pad = plain[sizeof plain - 1];
    if (pad < 1 || pad > kBlock)
        return std::nullopt;
    for (size_t i = sizeof plain - pad; i < sizeof plain; ++i)
        if (plain[i] != pad)
            return std::nullopt;
    return std::string(reinterpret_cast<const char*>(plain), sizeof plain - pad);
}

std::optional<Ticket> decryptTicket(const std::string& hex32) {
    auto plain = decryptCredential(hex32);
    if (!plain || plain->size() < 8 || (*plain)[0] != 'O')
        return std::nullopt;
    // "%1d%06d": one digit, then six digits.
    const std::string& p = *plain;
    for (size_t i = 1; i < 8; ++i)
        if (p[i] < '0' || p[i] > '9')
            return std::nullopt;
    Ticket t;
    t.first = p[1] - '0';
    t.shopNumber = std::stoi(p.substr(2, 6));
    return t;
}

} // namespace quillon
