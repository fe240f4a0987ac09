#pragma once

#include "orders/plugin_api.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One parameter of a plug-in, copied out of its table.
struct PluginParamValue {
    int32_t type = PLUGIN_PARAM_END;
    std::string name;
    uint8_t flag = 0; // the plug-in's own byte: 0 false, other true
    int32_t integer = 0;
    float decimal = 0.0f;
    std::string text;
    uint32_t bufferSize = 0; // text: the plug-in's buffer, terminating NUL included
    std::vector<std::string> options;
    uint32_t chosen = 0; // choice: index into options
};

// A deep copy of a plug-in's parameter table, which the parameters dialog
// edits cell by cell. The plug-in's own table changes only when the copy is
// written back, so a dialog that is cancelled leaves it as it was.
class PluginParamTable {
public:
    // More entries than any dialog could show; a table that lacks its end
    // entry is read no further.
    static constexpr std::size_t maxEntries = 1000;

    // Copies the entries up to the end entry; null gives an empty table.
    static PluginParamTable copyOf(const PluginParam* table);

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const PluginParamValue& at(std::size_t index) const { return m_entries.at(index); }

    // The value as its cell shows it: "True"/"False", "%d", "%1.2f", the
    // text, or the chosen option (empty when the index names none).
    std::string valueText(std::size_t index) const;
    // Takes a cell's text as the entry's new value: a flag is true exactly
    // for "True"; numbers are read as the C library reads them; a text is
    // cut to its buffer size less 1; a choice takes the first equal option
    // and stays as it is when no option is equal.
    void setValueText(std::size_t index, const std::string& text);
    // Whether the entry's value differs from the same entry of `other`.
    bool differs(std::size_t index, const PluginParamTable& other) const;
    bool differs(const PluginParamTable& other) const;

    // Writes every value into the plug-in's table entry by entry, as far as
    // both tables go and the types agree: the flag byte, the integer, the
    // decimal, the text into the plug-in's buffer, the choice index. Names
    // and option lists are never written.
    void writeBack(PluginParam* table) const;

private:
    std::vector<PluginParamValue> m_entries;
};

// The options of a choice list: the text before each ";"; text after the
// last ";" is no option.
std::vector<std::string> splitChoices(const std::string& list);
// A text as it fits a buffer of `size` bytes with its terminating NUL.
std::string cutToBuffer(const std::string& text, uint32_t size);

} // namespace quillon
