#include "protocol/ChatMessages.h"

namespace quillon {

ChatOpenRequest::ChatOpenRequest() : Message(11, 0) {
    SessionDetails& d = details;
    for (FieldRef f :
         FieldList{&shopId,     &password,   &d.attach,          &d.body,     &d.currentNumber,
                   &d.email,    &d.fontSize, &d.notification,    &d.numDigit, &d.postfix,
                   &d.prefix,   &d.purge,    &d.rootOrderNumber, &d.rootPath, &d.sender,
                   &d.showLast, &d.smtp,     &d.status,          &d.subject,  &d.wrapAround,
                   &d.offline})
        addField(f);
}

ChatCloseRequest::ChatCloseRequest() : Message(11, 1) {
    addField(&shopId);
    addField(&reserved);
}

ChatSendRequest::ChatSendRequest() : Message(11, 3) {
    addField(&shopId);
    addField(&record);
}

ChatPollRequest::ChatPollRequest() : Message(11, 6) {
    addField(&shopId);
}

ChatReply::ChatReply() : Message(11, 8) {
    addField(&text);
    addField(&result);
    addField(&data);
}

} // namespace quillon
