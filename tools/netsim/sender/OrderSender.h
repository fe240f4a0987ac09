#pragma once

#include "ShopEndpoint.h"

#include "protocol/ItemList.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

class Socket;

// One acknowledgement from the shop, and what the sender expected.
struct Acknowledgement {
    std::string step; // "header", "ready", "file-header", "block"
    int64_t value = 0;
    int64_t expected = 0;
    bool matches() const { return value == expected; }
};

struct OrderFile {
    std::string name; // as the file header gives it
    std::string data; // the bytes sent, unless `path` names a file to read them from
    QString path{};
    // Misbehaviour for tests: the file header announces the file this many
    // bytes larger (or smaller) than the data sent.
    int64_t sizeLie = 0;
};

// An order as the network sends it to order server 1.
struct OrderToSend {
    std::string title;
    std::string reference1;
    std::string reference2;
    std::string email;
    std::string number;
    std::string folder;
    float taxRate = 0.0f;
    ItemList items; // as sent, whatever the files are
    std::vector<OrderFile> files;
};

struct SenderOptions {
    ShopEndpoint shop;
    // Announced in the order header; the data go in blocks of this size (of
    // one byte when it is 0).
    int blockSize = 65536;
    // Misbehaviour for tests: close after this many files (-1: never), and
    // fall silent once this many file bytes are sent (-1: never) until the
    // shop closes.
    int disconnectAfterFiles = -1;
    int64_t stallAfterBytes = -1;
};

// The network's sending side of order server 1: the order header, the
// item list as a framed packet, then per file its header and its data block
// by block, waiting for every acknowledgement.
class OrderSender {
public:
    using AckReport = std::function<void(const Acknowledgement&)>;

    OrderSender(SenderOptions options, AckReport report = {});

    // True only when every acknowledgement was as expected and the shop
    // closed after the last file without another word.
    bool send(const OrderToSend& order);
    const std::string& error() const { return m_error; }
    const std::vector<Acknowledgement>& acknowledgements() const { return m_acks; }

private:
    bool expectAck(Socket& socket, const char* step, int64_t expected);
    bool sendFile(Socket& socket, const OrderFile& file);
    bool fail(std::string error);

    SenderOptions m_options;
    AckReport m_report;
    std::vector<Acknowledgement> m_acks;
    std::string m_error;
    int64_t m_fileBytesSent = 0;
    bool m_stalled = false;
};

} // namespace quillon
