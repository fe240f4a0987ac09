// The menu bar: where it draws and hits, how it opens, switches and
// closes, what it delivers, and what its items read for each state.
#include "ui/menus/MenuBar.h"
#include "ui/menus/MainMenus.h"
#include "ui/menus/MenuBarGeometry.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using G = MenuBarGeometry;

namespace {

struct Bar {
    QWidget window;
    MenuBar* bar = new MenuBar(&window);
    QSignalSpy chosen{bar, &MenuBar::chosen};
    explicit Bar(MenuState state = {}) {
        window.resize(900, 640);
        bar->setMenus(mainMenus(state));
        bar->setClientSize(window.size());
        window.show();
    }
    void move(QPoint p) { QTest::mouseMove(bar, p); }
    void click(QPoint p) { QTest::mouseClick(bar, Qt::LeftButton, {}, p); }
    QPoint item(int menu, int i) const {
        return G::itemRect(menu, bar->menus()[size_t(menu)].dropDownWidth, i).center();
    }
};

} // namespace

TEST(MenuBar, HoversOpensSwitchesAndCloses) {
    Bar b;
    b.move(G::titleRect(1).center());
    EXPECT_EQ(std::tuple(b.bar->hoveredTitle(), b.bar->isOpen(), b.bar->height()),
              std::tuple(1, false, G::kBandHeight));

    b.click(G::titleRect(0).center());
    EXPECT_EQ(std::tuple(b.bar->openMenu(), b.bar->geometry()),
              std::tuple(0, QRect(0, 0, 900, 640))); // covers the panes
    b.move(G::titleRect(2).center());
    EXPECT_EQ(b.bar->openMenu(), 2); // switched by moving over another title
    b.move(b.item(2, 1));
    EXPECT_EQ(b.bar->highlightedItem(), 1);
    b.click(G::titleRect(2).center());
    // Clicking the open title closes it.
    EXPECT_EQ(std::tuple(b.bar->isOpen(), b.bar->height()), std::tuple(false, G::kBandHeight));

    b.click(G::titleRect(1).center());
    b.click({500, 400}); // anywhere else
    EXPECT_EQ(std::tuple(b.bar->isOpen(), b.chosen.count()), std::tuple(false, 0));
}

TEST(MenuBar, DeliversEnabledItemsOnlyAndDisabledItemsKeepTheDropDownOpen) {
    Bar b; // logged out: items 1 to 4 of System are disabled
    b.click(G::titleRect(0).center());
    b.move(b.item(0, 3));
    EXPECT_EQ(b.bar->highlightedItem(), -1);
    b.click(b.item(0, 3));
    EXPECT_EQ(std::tuple(b.bar->openMenu(), b.chosen.count()), std::tuple(0, 0));

    b.click(b.item(0, 8));
    EXPECT_EQ(std::tuple(b.bar->isOpen(), b.chosen.count()), std::tuple(false, 1));
    EXPECT_EQ(b.chosen.value(0), (QVariantList{0, 8}));

    b.click(G::titleRect(1).center());
    b.click(b.item(1, 1));
    EXPECT_EQ(b.chosen.last(), (QVariantList{1, 1}));
}

TEST(MenuBar, KeyboardWalksEnabledItemsAcrossMenus) {
    Bar b;
    b.bar->openByKeyboard(0);
    EXPECT_EQ(b.bar->highlightedItem(), 0);
    QTest::keyClick(b.bar, Qt::Key_Down); // skips the four disabled items
    EXPECT_EQ(b.bar->highlightedItem(), 5);
    QTest::keyClick(b.bar, Qt::Key_Up);
    QTest::keyClick(b.bar, Qt::Key_Up); // wraps to "Exit"
    EXPECT_EQ(b.bar->highlightedItem(), 8);
    QTest::keyClick(b.bar, Qt::Key_Left); // wraps to Display
    EXPECT_EQ(b.bar->openMenu(), 2);
    QTest::keyClick(b.bar, Qt::Key_Right);
    QTest::keyClick(b.bar, Qt::Key_Right);
    EXPECT_EQ(b.bar->openMenu(), 1);
    QTest::keyClick(b.bar, Qt::Key_Down);
    QTest::keyClick(b.bar, Qt::Key_Return);
    EXPECT_EQ(std::tuple(b.chosen.last(), b.bar->isOpen()), std::tuple(QVariantList{1, 1}, false));
}

// The other items' texts and commands are met by the window's tests through
// the menus; here the System menu's changes with the session and plug-ins.
TEST(MenuBar, ItemsFollowTheShopsState) {
    std::vector<Menu> out = mainMenus({});
    ASSERT_EQ(out[0].items.size(), 9u);
    for (size_t i = 0; i < 9; ++i) // logged out: only what needs no session
        EXPECT_EQ(out[0].items[i].enabled, i == 0 || i > 4) << i;

    MenuState in;
    in.loggedIn = in.hasPlugins = true;
    out = mainMenus(in);
    ASSERT_EQ(out[0].items.size(), 10u);
    for (const MenuItem& i : out[0].items)
        EXPECT_TRUE(i.enabled) << i.text.toStdString();
    EXPECT_EQ(std::tuple(out[0].items[0].text, out[0].items[8].text),
              std::tuple("Logout", "Plugin Parameters..."));
    EXPECT_EQ(std::tuple(menuCommandAt(0, 8, true), menuCommandAt(0, 9, true),
                         menuCommandAt(0, 9, false)),
              std::tuple(MenuCommand::PluginParameters, MenuCommand::Exit, MenuCommand::None));
}
