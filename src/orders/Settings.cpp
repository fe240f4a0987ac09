#include "orders/Settings.h"

namespace quillon {

ConfigurationValues configurationOf(const Settings& s) {
    return {s.rootpath, s.rootordernumber, s.wraparound, s.numdigit,
            s.prefix,   s.postfix,         s.shopid,     s.purge};
}

NotificationValues notificationOf(const Settings& s) {
    return {s.notification, s.smtp, s.sender, s.subject, s.body, s.attach};
}

void applyConfiguration(const ConfigurationValues& v, Settings& working, Settings& application) {
    for (Settings* s : {&working, &application}) {
        s->rootpath = v.rootpath;
        s->rootordernumber = v.rootordernumber;
        s->wraparound = v.wraparound;
        s->numdigit = v.numdigit;
        s->prefix = v.prefix;
        s->postfix = v.postfix;
        s->shopid = v.shopid;
        s->purge = v.purge;
    }
    if (working.currentnumber < v.rootordernumber) {
        working.currentnumber = v.rootordernumber;
        application.currentnumber = v.rootordernumber;
    }
}

void applyNotification(const NotificationValues& v, Settings& working, Settings& application) {
    for (Settings* s : {&working, &application}) {
        s->notification = v.notification;
        s->smtp = v.smtp;
        s->sender = v.sender;
        s->subject = v.subject;
        s->body = v.body;
        s->attach = v.attach;
    }
}

} // namespace quillon
