#pragma once

namespace quillon {

class ServiceRequest;

// The live chat on the chat port: open (11/0), close (11/1), send (11/3)
// and poll (11/6), each answered with an 11/8 reply.
void handleChatOpen(ServiceRequest& request);
void handleChatClose(ServiceRequest& request);
void handleChatSend(ServiceRequest& request);
void handleChatPoll(ServiceRequest& request);

} // namespace quillon
