#include "core/SettingsStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct Profile {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("profile.ini"); }
};

} // namespace

TEST(SettingsStore, EmptyProfileGivesEveryDefault) {
    Profile p;
    SettingsStore store(p.path());
    Settings s = store.load("/shop/Orders");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.shopid, "");
    EXPECT_EQ(s.email, "");
    EXPECT_EQ(s.rootordernumber, 1u);
    EXPECT_EQ(s.currentnumber, 1u);
    EXPECT_EQ(s.wraparound, 999999u);
    EXPECT_EQ(s.numdigit, 6);
    EXPECT_EQ(s.purge, 0);
    EXPECT_EQ(s.rootpath, "/shop/Orders");
    EXPECT_EQ(s.subject, "Order %ORDER%");
    EXPECT_EQ(s.body, "Thank you. Your order %ORDER% is being processed.");
    EXPECT_FALSE(s.notification);
    EXPECT_FALSE(s.attach);
    EXPECT_FALSE(s.fontsize);
    EXPECT_TRUE(s.showlast);
    EXPECT_EQ(store.loadHostAddress("localhost"), "localhost");
    EXPECT_EQ(store.loadHostAddress("service.example"), "service.example");
}

TEST(SettingsStore, FlagsAreSetOnlyByOne) {
    Profile p;
    {
        QSettings raw(p.path(), QSettings::IniFormat);
        raw.setValue("showlast", 2);
        raw.setValue("notification", 1);
        raw.setValue("attach", -1);
        raw.setValue("fontsize", "yes");
        raw.setValue("hostaddress", "central.example");
        raw.setValue("currentnumber", "4294967295");
    }
    SettingsStore store(p.path());
    Settings s = store.load("");
    EXPECT_FALSE(s.showlast);
    EXPECT_TRUE(s.notification);
    EXPECT_FALSE(s.attach);
    EXPECT_FALSE(s.fontsize);
    EXPECT_EQ(s.currentnumber, 4294967295u);
    // A stored host wins over the default from the start-up information.
    EXPECT_EQ(store.loadHostAddress("from-ftp.example"), "central.example");
}

TEST(SettingsStore, SaveWritesExactlyTheRunTimeKeys) {
    Profile p;
    Settings s;
    s.status = 2;
    s.email = "shop@example.com";
    s.hostaddress = "elsewhere";
    s.prefix = "WEB-";
    s.currentnumber = 77;
    s.showlast = false;
    s.attach = true;
    SettingsStore(p.path()).save(s);

    QSettings raw(p.path(), QSettings::IniFormat);
    QStringList keys = raw.allKeys();
    keys.sort();
    QStringList expected{"attach",  "body",    "currentnumber",   "fontsize", "notification",
                         "numdigit", "postfix", "prefix",         "purge",    "rootordernumber",
                         "rootpath", "sender",  "shopid",         "showlast", "smtp",
                         "subject",  "wraparound"};
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(raw.value("showlast").toInt(), 0);
    EXPECT_EQ(raw.value("attach").toInt(), 1);

    Settings back = SettingsStore(p.path()).load("");
    EXPECT_EQ(back.prefix, "WEB-");
    EXPECT_EQ(back.currentnumber, 77u);
    EXPECT_EQ(back.status, 0); // status is written only on its own
}

// The profile holds Unicode, the shop 8-bit texts: a text the run did not
// change keeps what 8 bits cannot hold; a changed one is written.
TEST(SettingsStore, TextsTheRunDidNotChangeStayAsTyped) {
    Profile p;
    const QString body = QString::fromUtf8("Danke → 10 €");
    {
        QSettings raw(p.path(), QSettings::IniFormat);
        raw.setValue("body", body);
        raw.setValue("prefix", "A-");
    }
    SettingsStore store(p.path());
    Settings s = store.load("");
    s.prefix = "Gro\xDF-";
    store.save(s);
    QSettings raw(p.path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("body").toString(), body);
    EXPECT_EQ(raw.value("prefix").toString(), QString::fromUtf8("Groß-"));
}

TEST(SettingsStore, SingleValueWrites) {
    Profile p;
    SettingsStore store(p.path());
    store.writeStatus(1);
    store.writeEmail("a@b.c");
    store.writeCurrentNumber(501);
    Settings s = SettingsStore(p.path()).load("");
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.email, "a@b.c");
    EXPECT_EQ(s.currentnumber, 501u);
}

TEST(SettingsApply, FirstNumberRaisesTheCounterOnlyWhenHigher) {
    Settings working, app;
    working.currentnumber = app.currentnumber = 120;
    ConfigurationValues v = configurationOf(working);
    v.rootordernumber = 500;
    applyConfiguration(v, working, app);
    EXPECT_EQ(working.currentnumber, 500u);
    EXPECT_EQ(app.currentnumber, 500u);

    working.currentnumber = app.currentnumber = 120;
    v.rootordernumber = 50;
    applyConfiguration(v, working, app);
    EXPECT_EQ(working.currentnumber, 120u);
    EXPECT_EQ(app.rootordernumber, 50u);

    // Unsigned comparison: a counter beyond 2^31 is not "lower" than 500.
    working.currentnumber = app.currentnumber = 0x80000000u;
    v.rootordernumber = 500;
    applyConfiguration(v, working, app);
    EXPECT_EQ(working.currentnumber, 0x80000000u);
}

TEST(SettingsApply, NotificationGoesIntoBothCopies) {
    Settings working, app;
    NotificationValues v{true, "smtp.example", "shop@example", "S %ORDER%", "B", true};
    applyNotification(v, working, app);
    for (const Settings* s : {&working, &app}) {
        EXPECT_TRUE(s->notification);
        EXPECT_EQ(s->smtp, "smtp.example");
        EXPECT_EQ(s->sender, "shop@example");
        EXPECT_EQ(s->subject, "S %ORDER%");
        EXPECT_EQ(s->body, "B");
        EXPECT_TRUE(s->attach);
    }
}
