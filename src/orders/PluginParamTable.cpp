#include "orders/PluginParamTable.h"

#include "orders/NumberText.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

// Bounds for reading a plug-in's texts that lack their NUL.
constexpr std::size_t maxNameLength = 1024;
constexpr std::size_t maxChoicesLength = 65536;

std::string boundedText(const char* text, std::size_t limit) {
    return text ? std::string(text, strnlen(text, limit)) : std::string();
}

} // namespace

std::vector<std::string> splitChoices(const std::string& list) {
    std::vector<std::string> options;
    std::size_t start = 0;
    for (std::size_t end; (end = list.find(';', start)) != std::string::npos; start = end + 1)
        options.push_back(list.substr(start, end - start));
    return options;
}

std::string cutToBuffer(const std::string& text, uint32_t size) {
    if (size == 0)
        return {};
    return text.substr(0, std::min<std::size_t>(text.size(), size - 1));
}

PluginParamTable PluginParamTable::copyOf(const PluginParam* table) {
    PluginParamTable copy;
    for (std::size_t i = 0; table && i < maxEntries && table[i].type != PLUGIN_PARAM_END; ++i) {
        const PluginParam& p = table[i];
        PluginParamValue v;
        v.type = p.type;
        v.name = boundedText(p.name, maxNameLength);
        switch (p.type) {
        case PLUGIN_PARAM_FLAG:
            v.flag = p.value.flag;
            break;
        case PLUGIN_PARAM_INTEGER:
            v.integer = p.value.integer;
            break;
        case PLUGIN_PARAM_DECIMAL:
            v.decimal = p.value.decimal;
            break;
        case PLUGIN_PARAM_TEXT:
            v.bufferSize = p.sizeOrIndex;
            v.text = boundedText(p.value.text, p.sizeOrIndex);
            break;
        case PLUGIN_PARAM_CHOICE:
            v.options = splitChoices(boundedText(p.value.choices, maxChoicesLength));
            v.chosen = p.sizeOrIndex;
            break;
        }
        copy.m_entries.push_back(std::move(v));
    }
    return copy;
}

std::string PluginParamTable::valueText(std::size_t index) const {
    const PluginParamValue& v = m_entries.at(index);
    switch (v.type) {
    case PLUGIN_PARAM_FLAG:
        return v.flag ? "True" : "False";
    case PLUGIN_PARAM_INTEGER:
        return formatInteger(v.integer);
    case PLUGIN_PARAM_DECIMAL:
        return formatDecimal(v.decimal);
    case PLUGIN_PARAM_TEXT:
        return v.text;
    case PLUGIN_PARAM_CHOICE:
        return v.chosen < v.options.size() ? v.options[v.chosen] : std::string();
    }
    return {};
}

void PluginParamTable::setValueText(std::size_t index, const std::string& text) {
    PluginParamValue& v = m_entries.at(index);
    switch (v.type) {
    case PLUGIN_PARAM_FLAG:
        // A true byte the plug-in chose itself stays as it is.
        v.flag = text != "True" ? 0 : v.flag != 0 ? v.flag : 1;
        break;
    case PLUGIN_PARAM_INTEGER:
        v.integer = leadingInteger(text);
        break;
    case PLUGIN_PARAM_DECIMAL:
        v.decimal = leadingDecimal(text);
        break;
    case PLUGIN_PARAM_TEXT:
        // The plug-in reads its buffer as a C text: it ends at a NUL.
        v.text = cutToBuffer(text.substr(0, text.find('\0')), v.bufferSize);
        break;
    case PLUGIN_PARAM_CHOICE: {
        auto found = std::find(v.options.begin(), v.options.end(), text);
        if (found != v.options.end())
            v.chosen = uint32_t(found - v.options.begin());
        break;
    }
    }
}

bool PluginParamTable::differs(std::size_t index, const PluginParamTable& other) const {
    const PluginParamValue& a = m_entries.at(index);
    const PluginParamValue& b = other.m_entries.at(index);
    // Decimals by their bits: a NaN left alone is no change.
    return a.type != b.type || a.flag != b.flag || a.integer != b.integer ||
           std::memcmp(&a.decimal, &b.decimal, sizeof a.decimal) != 0 || a.text != b.text ||
           a.chosen != b.chosen;
}

bool PluginParamTable::differs(const PluginParamTable& other) const {
    if (size() != other.size())
        return true;
    for (std::size_t i = 0; i < size(); ++i)
        if (differs(i, other))
            return true;
    return false;
}

void PluginParamTable::writeBack(PluginParam* table) const {
    for (std::size_t i = 0; table && i < m_entries.size() && table[i].type != PLUGIN_PARAM_END;
         ++i) {
        PluginParam& p = table[i];
        const PluginParamValue& v = m_entries[i];
        if (p.type != v.type)
            continue;
        switch (v.type) {
        case PLUGIN_PARAM_FLAG:
            p.value.flag = v.flag;
            break;
        case PLUGIN_PARAM_INTEGER:
            p.value.integer = v.integer;
            break;
        case PLUGIN_PARAM_DECIMAL:
            p.value.decimal = v.decimal;
            break;
        case PLUGIN_PARAM_TEXT:
            if (p.value.text && p.sizeOrIndex > 0) {
                const std::string text = cutToBuffer(v.text, p.sizeOrIndex);
                std::memcpy(p.value.text, text.data(), text.size());
                p.value.text[text.size()] = '\0';
            }
            break;
        case PLUGIN_PARAM_CHOICE:
            p.sizeOrIndex = v.chosen;
            break;
        }
    }
}

} // namespace quillon
