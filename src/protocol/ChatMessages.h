#pragma once

#include "netlib/ByteData.h"
#include "protocol/Message.h"
#include "protocol/SessionDetails.h"

#include <cstdint>
#include <string>

namespace quillon {

// 11/0, plain: opens a chat session.
class ChatOpenRequest : public Message {
public:
    ChatOpenRequest();

    std::string shopId;
    std::string password; // clear text
    SessionDetails details;
};

// 11/1, plain: closes the session.
class ChatCloseRequest : public Message {
public:
    ChatCloseRequest();

    std::string shopId;
    int32_t reserved = 0; // always 0
};

// 11/3, plain: one chat record of the shop's lines.
class ChatSendRequest : public Message {
public:
    ChatSendRequest();

    std::string shopId;
    ByteData record;
};

// 11/6, plain: asks for lines that arrived.
class ChatPollRequest : public Message {
public:
    ChatPollRequest();

    std::string shopId;
};

// 11/8, plain: the reply to every chat request. The blob holds line pairs
// (open) or chat records (send, poll).
class ChatReply : public Message {
public:
    ChatReply();

    std::string text; // not shown
    int32_t result = 0;
    ByteData data;
};

} // namespace quillon
