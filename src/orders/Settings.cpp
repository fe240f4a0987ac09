#include "orders/Settings.h"

namespace quillon {

ConfigurationValues configurationOf(const Settings& s) {
    return {s.rootpath, s.rootordernumber, s.wraparound, s.numdigit,  s.prefix,       s.postfix,
            s.shopid,   s.purge,           s.board,      s.boardport, s.boardpassword};
}

NotificationValues notificationOf(const Settings& s) {
    return {s.notification, s.smtp,      s.sender,   s.subject,      s.body,
            s.attach,       s.readymail, s.shopname, s.readysubject, s.readybody};
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
        s->board = v.board;
        s->boardport = v.boardport;
        s->boardpassword = v.boardpassword;
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
        s->readymail = v.readymail;
        s->shopname = v.shopname;
        s->readysubject = v.readysubject;
        s->readybody = v.readybody;
    }
}

SessionDetails sessionDetailsOf(const Settings& s, bool offline) {
    SessionDetails d;
    d.attach = s.attach ? 1 : 0;
    d.body = s.body;
    d.currentNumber = int32_t(s.currentnumber);
    d.email = s.email;
    d.fontSize = s.fontsize ? 1 : 0;
    d.notification = s.notification ? 1 : 0;
    d.numDigit = s.numdigit;
    d.postfix = s.postfix;
    d.prefix = s.prefix;
    d.purge = s.purge;
    d.rootOrderNumber = int32_t(s.rootordernumber);
    d.rootPath = s.rootpath;
    d.sender = s.sender;
    d.showLast = s.showlast ? 1 : 0;
    d.smtp = s.smtp;
    d.status = s.status;
    d.subject = s.subject;
    d.wrapAround = int32_t(s.wraparound);
    d.offline = offline ? 1 : 0;
    return d;
}

} // namespace quillon
