#include "FaultRules.h"

#include "EventLog.h"
#include "JsonText.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <array>

namespace quillon {

namespace {

constexpr std::array<std::string_view, 18> kKinds{"0/0",  "raw1", "2/0",  "raw3", "4/0",  "4/1",
                                                  "4/2",  "4/3",  "raw5", "6/2",  "6/3",  "6/4",
                                                  "10/2", "11/0", "11/1", "11/3", "11/6", "*"};

// Longest delay a rule may ask for: the shop's idle limits are 10 s, and a
// test wants to go past them, not hang.
constexpr int kMaxDelayMs = 120000;

struct ActionName {
    std::string_view name;
    FaultAction action;
    bool needsValue;
};

constexpr std::array<ActionName, 8> kActions{{
    {"returncode", FaultAction::ReturnCode, true},
    {"refuse", FaultAction::ReturnCode, false},
    {"short", FaultAction::Short, false},
    {"wrong-kind", FaultAction::WrongKind, false},
    {"close", FaultAction::Close, false},
    {"delay", FaultAction::Delay, true},
    {"payment", FaultAction::Payment, true},
    {"empty", FaultAction::Empty, false},
}};

// A rule as read, before its checks.
bool makeRule(const QString& kind, const QString& action, std::optional<qint64> value, qint64 count,
              FaultRule& rule, QString& error) {
    rule.kind = kind.toStdString();
    if (std::find(kKinds.begin(), kKinds.end(), rule.kind) == kKinds.end()) {
        error = QString("unknown kind \"%1\"").arg(kind);
        return false;
    }
    const ActionName* found = nullptr;
    for (const ActionName& a : kActions)
        if (action.toStdString() == a.name)
            found = &a;
    if (!found) {
        error = QString("unknown action \"%1\"").arg(action);
        return false;
    }
    if (found->needsValue && !value) {
        error = QString("action \"%1\" needs a value").arg(action);
        return false;
    }
    rule.action = found->action;
    // A refusal without a value: the service's "action refused".
    rule.value = int32_t(value.value_or(found->name == "refuse" ? -2 : 0));
    if (rule.action == FaultAction::Delay && (rule.value < 0 || rule.value > kMaxDelayMs)) {
        error = QString("a delay lies between 0 and %1 ms").arg(kMaxDelayMs);
        return false;
    }
    if (rule.action == FaultAction::Payment && rule.kind != "6/4") {
        error = "a payment rule is for kind 6/4";
        return false;
    }
    if (count < 0 || count > 1000000) {
        error = "count must lie between 0 (every request) and 1000000";
        return false;
    }
    rule.count = int(count);
    return true;
}

} // namespace

bool FaultPlan::any() const {
    return delayMs > 0 || returncode || payment || shortReply || wrongKind || closeEarly ||
           emptyData;
}

std::string FaultPlan::describe() const {
    std::string out;
    auto add = [&out](const std::string& part) { out += (out.empty() ? "" : ", ") + part; };
    if (delayMs > 0)
        add("delay " + std::to_string(delayMs) + " ms");
    if (returncode)
        add("returncode " + std::to_string(*returncode));
    if (payment)
        add("payment code " + std::to_string(payment->code));
    if (shortReply)
        add("short answer");
    if (wrongKind)
        add("answer of another kind");
    if (closeEarly)
        add("close before the answer");
    if (emptyData)
        add("no data");
    return out;
}

void FaultRules::add(const FaultRule& rule) {
    std::lock_guard lock(m_mutex);
    arm({rule}, m_optionRules);
}

void FaultRules::arm(const std::vector<FaultRule>& rules, std::vector<Armed>& into) {
    for (const FaultRule& r : rules)
        into.push_back({r, r.count == 0 ? -1 : r.count});
}

void FaultRules::reloadFile(EventLog& log) {
    if (m_file.isEmpty())
        return;
    QFile file(m_file);
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    if (content == m_fileContent)
        return;
    m_fileContent = content;
    m_fileRules.clear();
    if (content.trimmed().isEmpty())
        return;
    std::vector<FaultRule> rules;
    QString error;
    if (!parseJson(content, rules, error)) {
        log.write("faults", "control file ignored: " + error.toStdString());
        return;
    }
    arm(rules, m_fileRules);
    log.write("faults", "control file read: " + std::to_string(rules.size()) + " rule(s)");
}

void FaultRules::apply(std::vector<Armed>& rules, std::string_view kind, const std::string& ref1,
                       const std::string& ref2, FaultPlan& plan) {
    for (Armed& a : rules) {
        const FaultRule& r = a.rule;
        if (a.left == 0 || (r.kind != "*" && r.kind != kind))
            continue;
        if (!r.reference.empty() && r.reference != ref1 && r.reference != ref2)
            continue;
        bool terminal = plan.shortReply || plan.wrongKind || plan.closeEarly;
        bool used = true;
        switch (r.action) {
        case FaultAction::Delay:
            plan.delayMs += r.value;
            break;
        case FaultAction::ReturnCode:
            used = !plan.returncode;
            if (used)
                plan.returncode = r.value;
            break;
        case FaultAction::Payment:
            used = !plan.payment;
            if (used)
                plan.payment = PaymentOverride{r.value, r.text1, r.text2};
            break;
        case FaultAction::Short:
            used = !terminal;
            plan.shortReply = plan.shortReply || used;
            break;
        case FaultAction::WrongKind:
            used = !terminal;
            plan.wrongKind = plan.wrongKind || used;
            break;
        case FaultAction::Close:
            used = !terminal;
            plan.closeEarly = plan.closeEarly || used;
            break;
        case FaultAction::Empty:
            used = !plan.emptyData;
            plan.emptyData = true;
            break;
        }
        if (used && a.left > 0)
            --a.left;
    }
}

FaultPlan FaultRules::take(std::string_view kind, const std::string& reference1,
                           const std::string& reference2, EventLog& log) {
    std::lock_guard lock(m_mutex);
    reloadFile(log);
    FaultPlan plan;
    apply(m_optionRules, kind, reference1, reference2, plan);
    apply(m_fileRules, kind, reference1, reference2, plan);
    return plan;
}

std::optional<FaultRule> FaultRules::parseOption(const QString& text, QString& error) {
    // KIND:ACTION[=VALUE][:COUNT]
    QStringList parts = text.split(':');
    if (parts.size() < 2 || parts.size() > 3) {
        error = QString("\"%1\" is not KIND:ACTION[=VALUE][:COUNT]").arg(text);
        return std::nullopt;
    }
    QString action = parts[1].section('=', 0, 0);
    std::optional<qint64> value;
    if (parts[1].contains('=')) {
        bool ok = false;
        value = parts[1].section('=', 1).toLongLong(&ok);
        if (!ok) {
            error = QString("\"%1\" has no number after =").arg(text);
            return std::nullopt;
        }
    }
    qint64 count = 1;
    if (parts.size() == 3) {
        bool ok = false;
        count = parts[2].toLongLong(&ok);
        if (!ok) {
            error = QString("\"%1\" has no count after the last :").arg(text);
            return std::nullopt;
        }
    }
    FaultRule rule;
    if (!makeRule(parts[0], action, value, count, rule, error))
        return std::nullopt;
    return rule;
}

bool FaultRules::parseJson(const QByteArray& json, std::vector<FaultRule>& rules, QString& error) {
    std::optional<QJsonDocument> text = parseJsonText(json, error);
    if (!text)
        return false;
    const QJsonDocument& doc = *text;
    if (!doc.isArray()) {
        error = "the control file must hold a JSON list of rules";
        return false;
    }
    std::vector<FaultRule> parsed;
    int index = 0;
    for (const QJsonValue& v : doc.array()) {
        ++index;
        QJsonObject o = v.toObject();
        std::optional<qint64> value;
        for (const char* key : {"value", "ms", "code"})
            if (o.contains(key))
                value = o[key].toInteger();
        FaultRule rule;
        QString why;
        if (!makeRule(o["kind"].toString(), o["action"].toString(), value, o["count"].toInteger(1),
                      rule, why)) {
            error = QString("rule %1: %2").arg(index).arg(why);
            return false;
        }
        rule.reference = o["reference"].toString().toLatin1().toStdString();
        rule.text1 = o["text1"].toString().toLatin1().toStdString();
        rule.text2 = o["text2"].toString().toLatin1().toStdString();
        parsed.push_back(std::move(rule));
    }
    rules = std::move(parsed);
    return true;
}

const char* FaultRules::formatHelp() {
    return R"TXT(Faults on demand
  A rule makes the next COUNT requests of one kind misbehave. Kinds:
    0/0 shop setup        raw1 setup confirmation   2/0 login
    raw3 logout           4/0 shop info update      4/1 shop info fetch
    4/2 product update    raw5 product list fetch   4/3 password change
    6/2 order check       6/3 order number report   6/4 payment status
    10/2 history          11/0 11/1 11/3 11/6 chat  * every kind
  Actions:
    returncode=N   answer with result/returncode N (-1, -2, -3, ...)
    refuse[=N]     6/2: refuse the order check (result N, default -2)
    short          answer shorter than the shop accepts (8 bytes of a plain
                   opening, the 12-byte header of a session opening, 2 bytes
                   of a raw or 10/2 answer, a torn packet header for raw5)
    wrong-kind     answer with kind 99 (raw1/raw3: first word 99; raw5:
                   protocol ID 2; 10/2: treated as short)
    close          read the request, then close without an answer
    empty          10/2: no rows; 11/x: an empty blob
    delay=MS       wait MS milliseconds, then answer (adds up; combines
                   with the other actions)
    payment=CODE   6/4: payment code CODE (texts only in the control file)
  --fault KIND:ACTION[=VALUE][:COUNT]   e.g. --fault 6/2:returncode=-3:2
      COUNT defaults to 1; 0 means every request.
  --faults FILE   a JSON list of rules, read again before each request:
      [{"kind": "6/2", "action": "returncode", "value": -3, "count": 2},
       {"kind": "4/2", "action": "short"},
       {"kind": "*", "action": "delay", "ms": 1500},
       {"kind": "6/2", "action": "refuse", "reference": "A-1001", "count": 0},
       {"kind": "6/4", "action": "payment", "code": 2, "text1": "Sandbox",
        "text2": "", "reference": "A-1001"}]
      "reference" limits a rule to the order with that first or second
      reference. When the file's content changes, its rules start afresh.)TXT";
}

} // namespace quillon
