#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon {

class Clock;

// Who is logged in to the board: sessions named by a random token (the
// cookie), each with its own random CSRF token, ending after 12 hours
// unused, at logout, and all at once when the password changes. Logins are
// limited per client address: from the 6th failure within a minute every
// login from there is refused for the next minute, right password or not.
// Used on the board's thread only.
class BoardSessions {
public:
    static constexpr int64_t kIdleLimitSeconds = 12 * 60 * 60;
    static constexpr int kFailuresAllowed = 5;
    static constexpr int64_t kFailureWindowSeconds = 60;
    static constexpr int64_t kLockoutSeconds = 60;

    enum class Login { Accepted, Refused, TooMany };
    struct LoginOutcome {
        Login result = Login::Refused;
        std::string token;
        std::string csrf;
    };

    BoardSessions(const Clock& clock, std::string passwordHash);

    // A new hash ends every session.
    void setPasswordHash(const std::string& passwordHash);
    bool hasPassword() const { return !m_passwordHash.empty(); }

    LoginOutcome login(const std::string& address, const std::string& password);
    void logout(const std::string& token);
    // The CSRF token of the session named by `token`, or null when there is
    // no such session (any more); a session found counts as used.
    const std::string* csrfOf(const std::string& token);

private:
    struct Session {
        std::string csrf;
        int64_t lastUsed = 0;
    };
    struct Attempts {
        std::vector<int64_t> failures; // within the last window
        int64_t lockedUntil = 0;
    };
    void forgetOldAttempts(int64_t now);

    const Clock& m_clock;
    std::string m_passwordHash;
    std::map<std::string, Session> m_sessions;
    std::map<std::string, Attempts> m_attempts;
};

} // namespace quillon
