// The plug-in parameters command on a shop with the test and hot-folder
// plug-ins: the selection and parameter dialogs, and what reaches the
// plug-ins.
#include "core/WorkingFolders.h"
#include "orders/PluginHost.h"
#include "ui/dialogs/CPluginParamDlg.h"
#include "ui/dialogs/CPluginSelectionDlg.h"
#include "ui/menus/SettingsCommands.h"

#include "support/PluginFolder.h"
#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

using namespace quillon;
using namespace testsupport;

namespace {

enum Row { Enabled, Copies, Rate, Label, Size }; // the test plug-in's table

QTableWidget& grid(QDialog& d) {
    return *d.findChild<QTableWidget*>();
}

QComboBox& dropDown(QDialog& d, int row) {
    return *qobject_cast<QComboBox*>(grid(d).cellWidget(row, 1));
}

// Types into a value cell as the shop would and leaves it with Enter, which
// the view takes on its next turn of the event loop.
void typeInto(QDialog& d, int row, const QString& text) {
    QTableWidget& g = grid(d);
    g.setCurrentCell(row, 1);
    g.editItem(g.item(row, 1));
    QPointer<QLineEdit> editor;
    for (QLineEdit* e : g.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    ASSERT_TRUE(editor);
    editor->selectAll();
    editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(processUntil([&] { return !editor || !editor->isVisible(); }));
}

void choose(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

} // namespace

TEST(PluginParamDlg, AcceptedEditsReachThePluginsAndCancelledOnesDoNot) {
    ShopHarness h;
    for (auto [built, as] : {std::pair{"hotfolder", "hotfolder"},
                             {"testplugin", "testplugin_a"},
                             {"testplugin", "testplugin_b"}})
        ASSERT_TRUE(PluginFolder::copy(h.folder.filePath(kPluginFolder), built, as));
    TestPluginSettings plugin({{"TESTPLUGIN_B_NOPARAMS", "1"}});
    h.create();
    const QString hotFolder = h.folder.filePath("Hot");

    auto cancelled = [](CPluginParamDlg& d) {
        EXPECT_EQ(grid(d).rowCount(), 5);
        EXPECT_FALSE(findButton(d, "Accept")->isEnabled());
        typeInto(d, Copies, "12abc");
        EXPECT_EQ(grid(d).item(Copies, 1)->text(), "12");
        QTest::keyClick(&dropDown(d, Enabled), Qt::Key_Up); // changed, then cancelled
        clickButton(d, "Cancel");
    };
    auto accepted = [](CPluginParamDlg& d) {
        typeInto(d, Copies, "12abc");
        typeInto(d, Rate, "2.5kg");
        typeInto(d, Label, QString(40, 'L'));
        dropDown(d, Size).setCurrentText("Small");
        clickButton(d, "Accept");
    };
    auto hotFolderAccepted = [&](CPluginParamDlg& d) {
        dropDown(d, 0).setCurrentText("True");
        typeInto(d, 1, hotFolder);
        dropDown(d, 2).setCurrentText("Link");
        clickButton(d, "Accept");
    };

    WhenShown<CPluginSelectionDlg> select([&](CPluginSelectionDlg& d) {
        auto& list = *d.findChild<QListWidget*>();
        ASSERT_EQ(list.count(), 3); // in the host's order; its test pins the captions
        EXPECT_FALSE(findButton(d, "Continue")->isEnabled());

        choose(list, 2);
        clickButton(d, "Continue");
        EXPECT_EQ(h.prompter.messages().back(), "There's no parameter defined by this plugin.");

        choose(list, 1);
        {
            WhenShown<CPluginParamDlg> edit(cancelled);
            clickButton(d, "Continue");
        }
        const PluginParam* table = h.shop->plugins().parameters(1);
        EXPECT_EQ(std::tuple(table[Copies].value.integer, table[Enabled].value.flag),
                  std::tuple(2, 1));
        WhenShown<CPluginParamDlg> edit(accepted);
        clickButton(d, "Continue");
        choose(list, 0);
        WhenShown<CPluginParamDlg> hot(hotFolderAccepted);
        clickButton(d, "Continue");
        clickButton(d, "Exit");
    });
    openPluginParameters(*h.shop, h.prompter, nullptr);
    ASSERT_TRUE(select.acted());

    // The test plug-in reports what it now holds when it is next called.
    plugin.set("TESTPLUGIN_A_PARAMS", "1");
    std::string number = "000001", folder = "f";
    h.shop->plugins().preOrder(1, "root", number, folder);
    EXPECT_TRUE(plugin.calls().contains(
        "testplugin_a|Parameters|Enabled=1|Copies=12|Rate=2.50|Label=" + QString(31, 'L') +
        "|Size=0"))
        << plugin.calls().join('\n').toStdString();

    const PluginParam* hot = h.shop->plugins().parameters(0);
    EXPECT_EQ(std::tuple(hot[0].value.flag, QString(hot[1].value.text), hot[2].sizeOrIndex),
              std::tuple(1, hotFolder, 1u));
}

// A plug-in gets its text in its own 8-bit buffer: a character that cannot
// go there is refused when the cell is left, naming the parameter, and the
// cell keeps the value the plug-in has.
TEST(PluginParamDlg, TextThatThePluginCannotHoldIsRefused) {
    char folder[32] = "Hot";
    const PluginParam table[] = {
        {PLUGIN_PARAM_TEXT, "Folder", {.text = folder}, sizeof folder},
        {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0},
    };
    RecordingPrompter prompter;
    CPluginParamDlg d(PluginParamTable::copyOf(table), prompter);
    d.show();
    typeInto(d, 0, QString::fromUtf8("Łódź"));
    ASSERT_TRUE(processUntil([&] { return !prompter.messages().empty(); }));
    EXPECT_EQ(prompter.messages().front().rfind("Folder: ", 0), 0u) << prompter.messages().front();
    EXPECT_EQ(std::tuple(grid(d).item(0, 1)->text(), d.table().at(0).text, grid(d).currentRow(),
                         findButton(d, "Accept")->isEnabled()),
              std::tuple("Hot", "Hot", 0, false));

    typeInto(d, 0, QString::fromUtf8("Zamówienia"));
    EXPECT_EQ(d.table().at(0).text, "Zam\xF3wienia");
    EXPECT_TRUE(findButton(d, "Accept")->isEnabled());
}
