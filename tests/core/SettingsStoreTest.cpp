#include "core/SettingsStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

TEST(SettingsStore, ReadsFlagsOnlyAsOneAndTheStoredHostWins) {
    QTemporaryDir dir;
    QString profile = dir.filePath("profile.ini");
    const Settings defaults = SettingsStore(profile).load("/shop/Orders");
    EXPECT_EQ(std::tuple(defaults.rootpath, defaults.notifyneworders),
              std::tuple("/shop/Orders", true));
    EXPECT_EQ(SettingsStore(profile).loadHostAddress("from-ftp.example"), "from-ftp.example");
    {
        QSettings raw(profile, QSettings::IniFormat);
        raw.setValue("showlast", 2);
        raw.setValue("notifyneworders", 0);
        raw.setValue("notification", 1);
        raw.setValue("attach", -1);
        raw.setValue("fontsize", "yes");
        raw.setValue("hostaddress", "central.example");
        raw.setValue("currentnumber", "4294967295");
    }
    SettingsStore store(profile);
    Settings s = store.load("");
    EXPECT_EQ(std::tuple(s.showlast, s.notifyneworders, s.notification, s.attach, s.fontsize),
              std::tuple(false, false, true, false, false));
    EXPECT_EQ(s.currentnumber, 4294967295u);
    EXPECT_EQ(store.loadHostAddress("from-ftp.example"), "central.example");
}

TEST(SettingsStore, SaveWritesExactlyTheRunTimeKeysAndStatusGoesAlone) {
    QTemporaryDir dir;
    QString profile = dir.filePath("profile.ini");
    Settings s;
    s.status = 2;
    s.email = "shop@example.com";
    s.hostaddress = "elsewhere";
    s.prefix = "WEB-";
    s.currentnumber = 77;
    s.showlast = false;
    s.attach = true;
    SettingsStore(profile).save(s);
    {
        QSettings raw(profile, QSettings::IniFormat);
        QStringList keys = raw.allKeys();
        keys.sort();
        EXPECT_EQ(keys.join(' '), "attach body currentnumber fontsize notification numdigit "
                                  "postfix prefix purge rootordernumber rootpath sender shopid "
                                  "showlast smtp subject wraparound");
        EXPECT_EQ(std::tuple(raw.value("showlast").toInt(), raw.value("attach").toInt()),
                  std::tuple(0, 1));
    }
    Settings back = SettingsStore(profile).load("");
    EXPECT_EQ(std::tuple(back.prefix, back.currentnumber, back.status), std::tuple("WEB-", 77u, 0));

    SettingsStore store(profile);
    store.writeStatus(1);
    store.writeEmail("a@b.c");
    store.writeCurrentNumber(501);
    back = SettingsStore(profile).load("");
    EXPECT_EQ(std::tuple(back.status, back.email, back.currentnumber),
              std::tuple(1, "a@b.c", 501u));
}

// The profile holds Unicode, the shop 8-bit texts: a text the run did not
// change keeps what 8 bits cannot hold; a changed one is written.
TEST(SettingsStore, TextsTheRunDidNotChangeStayAsTyped) {
    QTemporaryDir dir;
    QString profile = dir.filePath("profile.ini");
    const QString body = QString::fromUtf8("Danke → 10 €");
    {
        QSettings raw(profile, QSettings::IniFormat);
        raw.setValue("body", body);
        raw.setValue("prefix", "A-");
    }
    SettingsStore store(profile);
    Settings s = store.load("");
    s.prefix = "Gro\xDF-";
    store.save(s);
    QSettings raw(profile, QSettings::IniFormat);
    EXPECT_EQ(raw.value("body").toString(), body);
    EXPECT_EQ(raw.value("prefix").toString(), QString::fromUtf8("Groß-"));
}

TEST(SettingsApply, BothCopiesChangeAndTheFirstNumberRaisesTheCounterOnlyWhenHigher) {
    Settings working, app;
    ConfigurationValues v = configurationOf(working);
    // Unsigned comparison: a counter beyond 2^31 is not "lower" than 500.
    const std::tuple<uint32_t, uint32_t, uint32_t> cases[] = {
        {120, 500, 500}, {120, 50, 120}, {0x80000000u, 500, 0x80000000u}};
    for (const auto& [counter, first, expected] : cases) {
        working.currentnumber = app.currentnumber = counter;
        v.rootordernumber = first;
        applyConfiguration(v, working, app);
        EXPECT_EQ(std::tuple(working.currentnumber, app.currentnumber, app.rootordernumber),
                  std::tuple(expected, expected, first));
    }

    applyNotification({true, "smtp.example", "shop@example", "S %ORDER%", "B", true}, working, app);
    for (const Settings* s : {&working, &app})
        EXPECT_EQ(std::tie(s->notification, s->smtp, s->sender, s->subject, s->body, s->attach),
                  std::tuple(true, "smtp.example", "shop@example", "S %ORDER%", "B", true));
}
