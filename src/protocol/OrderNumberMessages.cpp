#include "protocol/OrderNumberMessages.h"

namespace quillon {

OrderNumberReport::OrderNumberReport() : Message(6, 3) {
    addField(&reference1);
    addField(&reference2);
    addField(&reserved);
    addField(&orderNumber);
}

OrderNumberAnswer::OrderNumberAnswer() : Message(6, 3) {
    addField(&result);
}

} // namespace quillon
