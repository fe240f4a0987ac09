#include "orders/PluginParamTable.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A plug-in's table as a plug-in publishes it.
struct PluginTable {
    char label[8] = "label";
    PluginParam entries[8] = {
        {PLUGIN_PARAM_FLAG, "Enabled", {.flag = 7}, 0},
        {PLUGIN_PARAM_INTEGER, "Copies", {.integer = 2}, 0},
        {PLUGIN_PARAM_DECIMAL, "Rate", {.decimal = 1.5f}, 0},
        {PLUGIN_PARAM_TEXT, "Label", {.text = label}, sizeof label},
        {PLUGIN_PARAM_CHOICE, "Size", {.choices = "Small;Large;"}, 1},
        {PLUGIN_PARAM_CHOICE, "Paper", {.choices = "Matt;Gloss"}, 0},
        {PLUGIN_PARAM_TEXT, "Nowhere", {.text = nullptr}, 16},
        {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0},
    };
};

} // namespace

TEST(PluginParamTable, EditsStayInTheCopyUntilWrittenBack) {
    PluginTable plugin;
    PluginParamTable table = PluginParamTable::copyOf(plugin.entries);
    ASSERT_EQ(table.size(), 7u);
    EXPECT_EQ(table.at(0).name, "Enabled");
    EXPECT_EQ(table.at(4).options, (std::vector<std::string>{"Small", "Large"}));
    EXPECT_EQ(table.at(5).options, (std::vector<std::string>{"Matt"})); // no final ";"
    const std::vector<std::string> shown{"True", "2", "1.50", "label", "Large", "Matt", ""};
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(table.valueText(i), shown[i]) << i;

    const PluginParamTable original = table;
    table.setValueText(0, "True"); // the plug-in's own true byte stays
    table.setValueText(2, "x");
    table.setValueText(6, "lost");
    EXPECT_EQ(std::tuple(table.differs(0, original), table.differs(2, original)),
              std::tuple(false, true));

    table.setValueText(1, "12abc");
    table.setValueText(3, "a longer label");
    table.setValueText(4, "Medium"); // no such option: unchanged
    // The label is cut to the buffer less its NUL.
    EXPECT_EQ(std::tuple(table.valueText(1), table.valueText(3), table.valueText(4)),
              std::tuple("12", "a longe", "Large"));
    table.setValueText(4, "Small");
    table.setValueText(5, "Gloss");
    EXPECT_EQ(plugin.entries[1].value.integer, 2); // nothing written yet

    table.writeBack(plugin.entries);
    const PluginParam* e = plugin.entries;
    EXPECT_EQ(std::tuple(e[0].value.flag, e[1].value.integer, e[2].value.decimal,
                         std::string(plugin.label), e[4].sizeOrIndex,
                         std::string(e[4].value.choices), e[5].sizeOrIndex),
              std::tuple(7, 12, 0.0f, "a longe", 0u, "Small;Large;", 0u));

    table.setValueText(0, "true"); // only "True" is true
    table.writeBack(plugin.entries);
    EXPECT_EQ(plugin.entries[0].value.flag, 0);
    EXPECT_TRUE(PluginParamTable::copyOf(nullptr).empty());
}

TEST(PluginParamTable, WriteBackStopsWhereTheTablesDisagree) {
    PluginTable plugin;
    PluginParamTable table = PluginParamTable::copyOf(plugin.entries);
    table.setValueText(1, "5");
    table.setValueText(2, "9");
    plugin.entries[1].type = PLUGIN_PARAM_DECIMAL; // changed under the copy
    plugin.entries[2] = {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0};
    table.writeBack(plugin.entries);
    EXPECT_EQ(std::tuple(plugin.entries[1].value.integer, plugin.entries[2].value.integer,
                         cutToBuffer("abc", 0)),
              std::tuple(2, 0, ""));
}
