#pragma once

#include "protocol/SessionDetails.h"

#include <cstdint>
#include <string>

namespace quillon {

// The shop's configuration: one field per profile value, plus the fixed
// connection parameters. The application holds one record for the whole
// run and the shop keeps a working copy.
struct Settings {
    int32_t status = 0; // 0 not set up, 1 waiting for confirmation, 2 confirmed
    std::string shopid;
    std::string email;
    uint32_t rootordernumber = 1;
    uint32_t currentnumber = 1;
    uint32_t wraparound = 999999;
    int32_t numdigit = 6;
    int32_t purge = 0;
    std::string rootpath;
    std::string prefix;
    std::string postfix;
    std::string sender;
    std::string smtp;
    std::string subject = "Order %ORDER%";
    std::string body = "Thank you. Your order %ORDER% is being processed.";
    bool notification = false;
    bool attach = false;
    // The customer's e-mail when an order becomes ready for pick-up, through
    // the notification's sender and SMTP server.
    bool readymail = false;
    // The shop's name as %SHOP% gives it; the shop information has none.
    std::string shopname;
    std::string readysubject = "Your order %ORDER% is ready for pick-up";
    std::string readybody = "Hello,\n\nyour order %ORDER% (%ITEMS% items, total %AMOUNT%) is "
                            "ready for pick-up.\n\nThank you for your order.\n%SHOP%";
    bool fontsize = false; // large font in the order list
    bool showlast = true;  // move the order list to each new order
    // A window that is not the active one asks for attention when an order
    // arrives. Read from the profile, never written to it.
    bool notifyneworders = true;
    std::string hostaddress = "localhost";
    // The counter board: on or off, where it listens (empty: every
    // interface), the salted hash of its password (never the password),
    // and an optional certificate and key for TLS.
    bool board = false;
    int32_t boardport = 8080;
    std::string boardaddress;
    std::string boardpassword;
    std::string boardcert;
    std::string boardkey;

    // Fixed connection parameters, not in the profile.
    int centralServicePort = 8890;
    int chatPort = 8891;
};

// The values the Configuration dialog edits.
struct ConfigurationValues {
    std::string rootpath;
    uint32_t rootordernumber = 1;
    uint32_t wraparound = 999999;
    int32_t numdigit = 6;
    std::string prefix;
    std::string postfix;
    std::string shopid;
    int32_t purge = 0;
    // The counter board: on or off, its port and its password's hash.
    bool board = false;
    int32_t boardport = 8080;
    std::string boardpassword;
};

// The values the E-mail notification dialog edits.
struct NotificationValues {
    bool notification = false;
    std::string smtp;
    std::string sender;
    std::string subject;
    std::string body;
    bool attach = false;
    bool readymail = false;
    std::string shopname;
    std::string readysubject;
    std::string readybody;
};

ConfigurationValues configurationOf(const Settings& s);

// The settings as the status answer and the chat opening report them, with
// the off-line flag (1 while the order servers are not running).
SessionDetails sessionDetailsOf(const Settings& s, bool offline);
NotificationValues notificationOf(const Settings& s);

// Takes the Configuration dialog's values into both copies; the counter is
// raised to the new first number when it lies below it (unsigned compare).
void applyConfiguration(const ConfigurationValues& v, Settings& working, Settings& application);
// Takes the E-mail notification dialog's values into both copies.
void applyNotification(const NotificationValues& v, Settings& working, Settings& application);

} // namespace quillon
