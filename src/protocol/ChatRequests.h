#pragma once

#include "protocol/CentralService.h"
#include "protocol/ChatBlobs.h"
#include "protocol/Prompter.h"
#include "protocol/SessionDetails.h"

#include <string>
#include <vector>

namespace quillon {

// The live chat's actions, each on a connection of its own to the chat
// port: one kind 11 request by the plain exchange, answered by 11/8.

inline constexpr int kChatConnectWaitMs = 10000;

inline constexpr char kChatIncorrectPasswordText[] = "Incorrect password.";
inline constexpr char kChatAlreadyOpenText[] = "A chat session is already opened for your shop ID.";
inline constexpr char kChatCorruptedText[] = "Communication is corrupted. Please try again.";
inline constexpr char kChatUnreachableText[] =
    "Unable to connect to Velorin Photo Network. Please try again.";
inline constexpr char kChatNoConnectionText[] = "Unable to establish connection. Please try again.";
inline constexpr char kChatAlreadyClosedText[] = "The chat session has already been closed.";

enum class ChatOutcome {
    Done,         // the reply's data is used
    Refused,      // result -1: wrong password, or no session
    AlreadyOpen,  // result -2: a session is open already
    Corrupted,    // the request not sent, or a reply of another kind
    TooShort,     // a reply opening shorter than 12 bytes
    NoConnection, // no connection, or the reply did not arrive
    Ignored       // any other result: nothing to show
};

struct ChatOpenResult {
    ChatOutcome outcome = ChatOutcome::NoConnection;
    std::vector<ChatLinePair> pairs;
};
// The password goes in clear text, as the chat service expects; it is kept
// nowhere. Every outcome but Done and Ignored shows its text.
ChatOpenResult openChatSession(const ServiceEndpoint& chat, Prompter& prompter,
                               const std::string& shopId, const std::string& password,
                               const SessionDetails& details);

// A session already gone shows kChatAlreadyClosedText.
ChatOutcome closeChatSession(const ServiceEndpoint& chat, Prompter& prompter,
                             const std::string& shopId);

struct ChatRecordsResult {
    ChatOutcome outcome = ChatOutcome::NoConnection;
    std::vector<ChatRecord> records;
};
// The records that came back with a result of 1 or more; nothing is shown.
ChatRecordsResult sendChatLines(const ServiceEndpoint& chat, const std::string& shopId,
                                const ChatRecord& record);
ChatRecordsResult pollChat(const ServiceEndpoint& chat, const std::string& shopId);

} // namespace quillon
