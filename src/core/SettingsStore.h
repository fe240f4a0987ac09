#pragma once

#include "orders/Settings.h"

#include <QString>
#include <memory>

class QSettings;

namespace quillon {

// The per-user profile: organisation Tarvex, application Quillon, in the
// platform's native format, or an INI file chosen with --profile. Reads
// never fail (a missing or unreadable value gives its default); writes are
// not reported.
class SettingsStore {
public:
    // An empty path selects the native profile.
    explicit SettingsStore(const QString& iniFile = {});
    ~SettingsStore();

    // Reads every value except hostaddress, in the profile's read order.
    // `defaultRootPath` is the default of rootpath.
    Settings load(const std::string& defaultRootPath) const;
    // Reads hostaddress with `defaultHost` as its default; read last, after
    // the start-up information has named the default host.
    std::string loadHostAddress(const std::string& defaultHost) const;

    // Writes the values the shop changes at run time; never status, email,
    // hostaddress or notifyneworders. The counter board's keys only once the
    // board has been set up.
    void save(const Settings& s);
    void writeStatus(int32_t status);
    void writeEmail(const std::string& email);
    void writeShopId(const std::string& shopid);
    // The counter board's password hash (never the password itself).
    void writeBoardPassword(const std::string& hash);
    // The counter goes to the profile as soon as it advances, so a crash
    // never hands out a number whose folder already exists.
    void writeCurrentNumber(uint32_t currentnumber);

    QString fileName() const;
    // The INI file given at construction; empty for the native profile.
    const QString& iniFile() const { return m_iniFile; }

private:
    void writeValue(const char* key, const QVariant& value);
    void writeText(const char* key, const std::string& value);
    // Writes `value` when it differs from the stored one; a key the profile
    // does not have is written only when `value` is not `absent`.
    void writeUnlessDefault(const char* key, const QString& value, const QString& absent);

    QString m_iniFile;
    std::unique_ptr<QSettings> m_settings;
};

// rootpath's default on this platform: the folder Orders under the working
// directory.
std::string defaultRootPath(const std::string& workingDirectory);

} // namespace quillon
