#include "core/SettingsStore.h"
#include "core/CounterWriter.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
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
    s.readymail = true;
    s.readybody = "Ready: %ORDER%\nat %SHOP%";
    SettingsStore(profile).save(s);
    {
        QSettings raw(profile, QSettings::IniFormat);
        QStringList keys = raw.allKeys();
        keys.sort();
        EXPECT_EQ(keys.join(' '), "attach body currentnumber fontsize notification numdigit "
                                  "postfix prefix purge readybody readymail readysubject "
                                  "rootordernumber rootpath sender shopid shopname showlast smtp "
                                  "subject wraparound");
        EXPECT_EQ(std::tuple(raw.value("showlast").toInt(), raw.value("attach").toInt()),
                  std::tuple(0, 1));
    }
    Settings back = SettingsStore(profile).load("");
    EXPECT_EQ(std::tuple(back.prefix, back.currentnumber, back.status), std::tuple("WEB-", 77u, 0));
    EXPECT_EQ(std::tuple(back.readymail, back.readybody, back.readysubject),
              std::tuple(true, s.readybody, Settings{}.readysubject));

    SettingsStore store(profile);
    store.writeStatus(1);
    store.writeEmail("a@b.c");
    store.writeCurrentNumber(501);
    back = SettingsStore(profile).load("");
    EXPECT_EQ(std::tuple(back.status, back.email, back.currentnumber),
              std::tuple(1, "a@b.c", 501u));
}

// A shop killed right after an order still starts with the next number: the
// counter writer leaves the profile whole on disk, with nothing for an
// orderly end to finish. The child is this test again, in a process of its own.
TEST(SettingsStore, TheNextNumberSurvivesAKillRightAfterAnOrder) {
    const QByteArray childProfile = qgetenv("QUILLON_COUNTER_WRITER_PROFILE");
    if (!childProfile.isEmpty()) {
        CounterWriter writer(QString::fromLocal8Bit(childProfile));
        writer.write(43); // order 42 has its number
        std::getchar();   // the parent kills it here
        std::_Exit(1);
    }
    QTemporaryDir dir;
    const QString profile = dir.filePath("profile.ini");
    {
        QSettings raw(profile, QSettings::IniFormat);
        raw.setValue("prefix", "WEB-");
        raw.setValue("currentnumber", 42);
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_COUNTER_WRITER_PROFILE", profile);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=SettingsStore.TheNextNumberSurvivesAKillRightAfterAnOrder"});
    ASSERT_TRUE(child.waitForStarted());
    // The writer's thread writes the number; the kill follows as soon as the
    // file holds it.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return testsupport::readFile(profile).contains("currentnumber=43"); }));
    child.kill();
    ASSERT_TRUE(child.waitForFinished());
    const Settings after = SettingsStore(profile).load("");
    EXPECT_EQ(std::tuple(after.currentnumber, after.prefix), std::tuple(43u, "WEB-"));
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

    applyNotification({true, "smtp.example", "shop@example", "S %ORDER%", "B", true, true, "Lind",
                       "R %ORDER%", "RB"},
                      working, app);
    for (const Settings* s : {&working, &app}) {
        EXPECT_EQ(std::tie(s->notification, s->smtp, s->sender, s->subject, s->body, s->attach),
                  std::tuple(true, "smtp.example", "shop@example", "S %ORDER%", "B", true));
        EXPECT_EQ(std::tie(s->readymail, s->shopname, s->readysubject, s->readybody),
                  std::tuple(true, "Lind", "R %ORDER%", "RB"));
    }
}
