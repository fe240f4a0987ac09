#pragma once

#include <functional>
#include <string>

namespace quillon {

class ByteData;
class FolderRegistry;
class PluginHost;
class Prompter;
class Socket;
class TrustedCustomers;
struct Settings;

// What order server 2 needs from the shop to answer a connection. The
// conversation runs on the server's accept thread; the shop's state is
// touched only inside `onShop`, which runs a step on the shop's thread and
// waits for it (false when the shop is going away: the conversation then
// ends without an answer).
struct RegistrationContext {
    Settings* settings = nullptr; // the shop's working copy; the counter moves
    const PluginHost* plugins = nullptr;
    const TrustedCustomers* trusted = nullptr;
    FolderRegistry* folders = nullptr;
    const bool* offline = nullptr;
    std::function<bool(const std::function<void()>&)> onShop;
    // Called on the shop's thread.
    std::function<void(const std::string&)> addStatusLine;
    // Called on the shop's thread after the counter has advanced, to keep
    // the application's record and the profile up to date.
    std::function<void()> counterAdvanced;
    // Called on the registering thread before the new number is sent out:
    // returns once the advanced counter is on disk, so a number that a
    // sender may already have made a folder for is never given again after
    // a crash. May be empty.
    std::function<void()> counterStored;
    // Takes the central service's messages; it must not block.
    Prompter* prompter = nullptr;
};

// Answers a connection on order server 2 from what the peer sent first
// (`opening`, one receive of whatever was available): a new-order
// registration (6/1) or a status query (11/9). Anything else is closed
// without an answer; a too short opening of those kinds logs "Bad comm data.".
void handleRegistrationConnection(Socket& connection, const ByteData& opening,
                                  RegistrationContext& context);

} // namespace quillon
