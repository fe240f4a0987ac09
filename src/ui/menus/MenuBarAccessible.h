#pragma once

#include <QAccessibleWidget>
#include <map>
#include <utility>

namespace quillon {

class MenuBar;

// Gives assistive technology the menu bar's titles and items, which are
// painted rather than made of widgets: the titles are its children and
// each title's items are the title's children (invisible while closed).
class MenuBarAccessible : public QAccessibleWidget {
public:
    explicit MenuBarAccessible(MenuBar* bar);
    ~MenuBarAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // The interface of a title (item -1) or of an item, made once.
    QAccessibleInterface* element(int menu, int item) const;
    MenuBar* bar() const;

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_elements;
};

// Lets Qt find MenuBarAccessible for every MenuBar.
void installMenuBarAccessibility();

} // namespace quillon
