#include "core/SettingsStore.h"

#include "core/WorkingFolders.h"
#include "orders/FilePaths.h"
#include "orders/QtText.h"

#include <QSettings>

namespace quillon {

SettingsStore::SettingsStore(const QString& iniFile) : m_iniFile(iniFile) {
    if (iniFile.isEmpty())
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 "Tarvex", "Quillon");
    else
        m_settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

Settings SettingsStore::load(const std::string& defaultRoot) const {
    const QSettings& q = *m_settings;
    auto readInt = [&q](const char* key, int64_t def) -> int64_t {
        QVariant v = q.value(key);
        if (!v.isValid())
            return def;
        bool ok = false;
        qlonglong n = v.toLongLong(&ok);
        return ok ? n : def;
    };
    auto readU32 = [&](const char* key, uint32_t def) { return uint32_t(readInt(key, def)); };
    auto readI32 = [&](const char* key, int32_t def) { return int32_t(readInt(key, def)); };
    // A flag is set only when the stored number is exactly 1.
    auto readBool = [&](const char* key, bool def) { return readInt(key, def ? 1 : 0) == 1; };
    auto readString = [&q](const char* key, const std::string& def) {
        QVariant v = q.value(key);
        return v.isValid() ? fromQString(v.toString()) : def;
    };

    Settings s;
    s.status = readI32("status", 0);
    s.shopid = readString("shopid", "");
    s.email = readString("email", "");
    s.rootordernumber = readU32("rootordernumber", 1);
    s.currentnumber = readU32("currentnumber", 1);
    s.wraparound = readU32("wraparound", 999999);
    s.numdigit = readI32("numdigit", 6);
    s.purge = readI32("purge", 0);
    s.rootpath = readString("rootpath", defaultRoot);
    s.prefix = readString("prefix", "");
    s.postfix = readString("postfix", "");
    s.sender = readString("sender", "");
    s.smtp = readString("smtp", "");
    s.subject = readString("subject", Settings{}.subject);
    s.body = readString("body", Settings{}.body);
    s.notification = readBool("notification", false);
    s.attach = readBool("attach", false);
    s.readymail = readBool("readymail", false);
    s.shopname = readString("shopname", "");
    s.readysubject = readString("readysubject", Settings{}.readysubject);
    s.readybody = readString("readybody", Settings{}.readybody);
    s.fontsize = readBool("fontsize", false);
    s.showlast = readBool("showlast", true);
    s.notifyneworders = readBool("notifyneworders", true);
    s.board = readBool("board", false);
    s.boardport = readI32("boardport", Settings{}.boardport);
    s.boardaddress = readString("boardaddress", "");
    s.boardpassword = readString("boardpassword", "");
    s.boardcert = readString("boardcert", "");
    s.boardkey = readString("boardkey", "");
    return s;
}

std::string SettingsStore::loadHostAddress(const std::string& defaultHost) const {
    QVariant v = m_settings->value("hostaddress");
    return v.isValid() ? fromQString(v.toString()) : defaultHost;
}

void SettingsStore::writeText(const char* key, const std::string& value) {
    // The profile holds Unicode and the shop 8-bit texts: a value the shop
    // did not change keeps the characters that 8 bits cannot hold.
    const QVariant stored = m_settings->value(key);
    if (!stored.isValid() || fromQString(stored.toString()) != value)
        m_settings->setValue(key, toQString(value));
}

void SettingsStore::writeUnlessDefault(const char* key, const QString& value,
                                       const QString& absent) {
    const QVariant stored = m_settings->value(key);
    if (stored.isValid() ? stored.toString() != value : value != absent)
        m_settings->setValue(key, value);
}

void SettingsStore::save(const Settings& s) {
    QSettings& q = *m_settings;
    writeText("rootpath", s.rootpath);
    q.setValue("rootordernumber", quint32(s.rootordernumber));
    q.setValue("currentnumber", quint32(s.currentnumber));
    q.setValue("wraparound", quint32(s.wraparound));
    q.setValue("numdigit", qint32(s.numdigit));
    q.setValue("purge", qint32(s.purge));
    writeText("shopid", s.shopid);
    writeText("prefix", s.prefix);
    writeText("postfix", s.postfix);
    writeText("sender", s.sender);
    writeText("smtp", s.smtp);
    writeText("subject", s.subject);
    writeText("body", s.body);
    q.setValue("notification", s.notification ? 1 : 0);
    q.setValue("attach", s.attach ? 1 : 0);
    q.setValue("readymail", s.readymail ? 1 : 0);
    writeText("shopname", s.shopname);
    writeText("readysubject", s.readysubject);
    writeText("readybody", s.readybody);
    q.setValue("fontsize", s.fontsize ? 1 : 0);
    q.setValue("showlast", s.showlast ? 1 : 0);
    // A profile that never had the counter board gets none of its keys.
    const Settings defaults;
    writeUnlessDefault("board", s.board ? "1" : "0", defaults.board ? "1" : "0");
    writeUnlessDefault("boardport", QString::number(s.boardport),
                       QString::number(defaults.boardport));
    writeUnlessDefault("boardpassword", toQString(s.boardpassword), {});
    q.sync();
}

void SettingsStore::writeValue(const char* key, const QVariant& value) {
    m_settings->setValue(key, value);
    m_settings->sync();
}

void SettingsStore::writeStatus(int32_t status) {
    writeValue("status", qint32(status));
}

void SettingsStore::writeEmail(const std::string& email) {
    writeText("email", email);
    m_settings->sync();
}

void SettingsStore::writeShopId(const std::string& shopid) {
    writeText("shopid", shopid);
    m_settings->sync();
}

void SettingsStore::writeBoardPassword(const std::string& hash) {
    writeText("boardpassword", hash);
    m_settings->sync();
}

void SettingsStore::writeCurrentNumber(uint32_t n) {
    writeValue("currentnumber", quint32(n));
}

std::string defaultRootPath(const std::string& workingDirectory) {
    return joinPath(workingDirectory, kOrdersFolder);
}

} // namespace quillon
