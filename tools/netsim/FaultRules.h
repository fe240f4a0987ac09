#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class EventLog;

enum class FaultAction { ReturnCode, Short, WrongKind, Close, Delay, Payment, Empty };

// One scripted misbehaviour: what the next `count` requests of `kind` get.
struct FaultRule {
    std::string kind; // "6/2", "raw5", ... or "*" for every kind
    FaultAction action = FaultAction::ReturnCode;
    int32_t value = 0; // returncode, delay in ms, or payment code
    int count = 1;     // 0: every request
    // When set, only requests about the order with this reference.
    std::string reference;
    std::string text1; // payment texts
    std::string text2;
};

struct PaymentOverride {
    int32_t code = 1;
    std::string text1;
    std::string text2;
};

// What the rules make of one reply.
struct FaultPlan {
    int delayMs = 0;
    std::optional<int32_t> returncode;
    std::optional<PaymentOverride> payment;
    bool shortReply = false;
    bool wrongKind = false;
    bool closeEarly = false;
    // No history rows, an empty chat blob.
    bool emptyData = false;

    bool any() const;
    // "returncode -2, delay 300 ms": for the log line of the request.
    std::string describe() const;
};

// Rules given on the command line and rules read from a control file. The
// file is read again before each request; when its content changes, its
// rules start afresh with their full counts.
class FaultRules {
public:
    void add(const FaultRule& rule);
    void setControlFile(const QString& path) { m_file = path; }

    FaultPlan take(std::string_view kind, const std::string& reference1,
                   const std::string& reference2, EventLog& log);

    // KIND:ACTION[=VALUE][:COUNT], e.g. "6/2:returncode=-3:2", "4/2:short".
    static std::optional<FaultRule> parseOption(const QString& text, QString& error);
    // A JSON list of rule objects.
    static bool parseJson(const QByteArray& json, std::vector<FaultRule>& rules, QString& error);
    static const char* formatHelp();

private:
    struct Armed {
        FaultRule rule;
        int left = 1; // -1: every request
    };

    void reloadFile(EventLog& log);
    static void arm(const std::vector<FaultRule>& rules, std::vector<Armed>& into);
    static void apply(std::vector<Armed>& rules, std::string_view kind, const std::string& ref1,
                      const std::string& ref2, FaultPlan& plan);

    std::mutex m_mutex;
    std::vector<Armed> m_optionRules;
    std::vector<Armed> m_fileRules;
    QString m_file;
    QByteArray m_fileContent;
};

} // namespace quillon
