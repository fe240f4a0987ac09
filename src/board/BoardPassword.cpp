#include "board/BoardPassword.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <nettle/pbkdf2.h>

#include <cstdint>
#include <vector>

namespace quillon {

namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr unsigned kIterations = 200000;
constexpr unsigned kMaxIterations = 10000000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

QByteArray derive(std::string_view password, unsigned iterations, const QByteArray& salt,
                  int length) {
    QByteArray out(length, '\0');
    pbkdf2_hmac_sha256(password.size(), reinterpret_cast<const uint8_t*>(password.data()),
                       iterations, size_t(salt.size()),
                       reinterpret_cast<const uint8_t*>(salt.constData()), size_t(length),
                       reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

std::string hex(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}

} // namespace

std::string randomHex(int bytes) {
    QByteArray data(bytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(data.data()),
                                          qsizetype(bytes / sizeof(quint32)));
    return hex(data);
}

std::string hashBoardPassword(std::string_view password) {
    const QByteArray salt = QByteArray::fromHex(QByteArray::fromStdString(randomHex(kSaltBytes)));
    return std::string(kScheme) + "$" + std::to_string(kIterations) + "$" + hex(salt) + "$" +
           hex(derive(password, kIterations, salt, kHashBytes));
}

bool boardPasswordMatches(std::string_view password, std::string_view stored) {
    const QList<QByteArray> parts = QByteArray(stored.data(), qsizetype(stored.size())).split('$');
    if (parts.size() != 4 || parts[0] != QByteArray(kScheme.data(), kScheme.size()))
        return false;
    bool ok = false;
    const unsigned iterations = parts[1].toUInt(&ok);
    const QByteArray salt = QByteArray::fromHex(parts[2]);
    const QByteArray expected = QByteArray::fromHex(parts[3]);
    if (!ok || iterations == 0 || iterations > kMaxIterations || salt.isEmpty() ||
        expected.size() < 16 || expected.size() > 64)
        return false;
    const QByteArray got = derive(password, iterations, salt, int(expected.size()));
    // Every byte is compared, so the time says nothing about where they differ.
    unsigned char diff = 0;
    for (qsizetype i = 0; i < got.size(); ++i)
        diff |= static_cast<unsigned char>(got[i] ^ expected[i]);
    return diff == 0;
}

} // namespace quillon
