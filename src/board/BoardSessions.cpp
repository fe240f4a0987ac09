#include "board/BoardSessions.h"

#include "board/BoardPassword.h"
#include "orders/Clock.h"

#include <algorithm>

namespace quillon {

namespace {
// 256 bits each.
constexpr int kTokenBytes = 32;
// Bounds what a flood of logins from many addresses can make the board keep.
constexpr size_t kMaxSessions = 10000;
constexpr size_t kMaxAddresses = 10000;
} // namespace

BoardSessions::BoardSessions(const Clock& clock, std::string passwordHash)
    : m_clock(clock), m_passwordHash(std::move(passwordHash)) {}

void BoardSessions::setPasswordHash(const std::string& passwordHash) {
    if (passwordHash == m_passwordHash)
        return;
    m_passwordHash = passwordHash;
    m_sessions.clear();
}

void BoardSessions::forgetOldAttempts(int64_t now) {
    for (auto it = m_attempts.begin(); it != m_attempts.end();) {
        auto& failures = it->second.failures;
        failures.erase(
            std::remove_if(failures.begin(), failures.end(),
                           [now](int64_t t) { return now - t >= kFailureWindowSeconds; }),
            failures.end());
        if (failures.empty() && it->second.lockedUntil <= now)
            it = m_attempts.erase(it);
        else
            ++it;
    }
}

BoardSessions::LoginOutcome BoardSessions::login(const std::string& address,
                                                 const std::string& password) {
    const int64_t now = m_clock.now();
    forgetOldAttempts(now);
    auto found = m_attempts.find(address);
    if (found != m_attempts.end() && found->second.lockedUntil > now)
        return {Login::TooMany, {}, {}};
    if (m_passwordHash.empty() || !boardPasswordMatches(password, m_passwordHash)) {
        if (found == m_attempts.end()) {
            if (m_attempts.size() >= kMaxAddresses)
                return {Login::TooMany, {}, {}};
            found = m_attempts.emplace(address, Attempts{}).first;
        }
        Attempts& attempts = found->second;
        attempts.failures.push_back(now);
        if (int(attempts.failures.size()) > kFailuresAllowed) {
            attempts.lockedUntil = now + kLockoutSeconds;
            return {Login::TooMany, {}, {}};
        }
        return {Login::Refused, {}, {}};
    }
    if (m_sessions.size() >= kMaxSessions) {
        // The session unused longest makes room.
        auto oldest = std::min_element(
            m_sessions.begin(), m_sessions.end(),
            [](const auto& a, const auto& b) { return a.second.lastUsed < b.second.lastUsed; });
        m_sessions.erase(oldest);
    }
    LoginOutcome outcome{Login::Accepted, randomHex(kTokenBytes), randomHex(kTokenBytes)};
    m_sessions[outcome.token] = Session{outcome.csrf, now};
    return outcome;
}

void BoardSessions::logout(const std::string& token) {
    m_sessions.erase(token);
}

const std::string* BoardSessions::csrfOf(const std::string& token) {
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return nullptr;
    const int64_t now = m_clock.now();
    if (now - it->second.lastUsed >= kIdleLimitSeconds) {
        m_sessions.erase(it);
        return nullptr;
    }
    it->second.lastUsed = now;
    return &it->second.csrf;
}

} // namespace quillon
