#include "protocol/StatusMessages.h"

namespace quillon {

StatusQuery::StatusQuery() : Message(11, 9) {
    addField(&shopId);
}

StatusAnswer::StatusAnswer() : Message(11, 9) {
    SessionDetails& d = details;
    for (FieldRef f : FieldList{&result,     &d.attach,   &d.body,         &d.currentNumber,
                                &d.email,    &d.fontSize, &d.notification, &d.numDigit,
                                &d.postfix,  &d.prefix,   &d.purge,        &d.rootOrderNumber,
                                &d.rootPath, &d.sender,   &shopId,         &d.showLast,
                                &d.smtp,     &d.status,   &d.subject,      &d.wrapAround,
                                &d.offline,  &writeTest})
        addField(f);
}

} // namespace quillon
