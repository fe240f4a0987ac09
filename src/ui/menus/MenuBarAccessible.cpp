#include "ui/menus/MenuBarAccessible.h"

#include "ui/menus/MenuBar.h"
#include "ui/menus/MenuBarGeometry.h"

namespace quillon {

namespace {

using G = MenuBarGeometry;

// A title (item -1) or an item of the menu bar.
class MenuElement : public QAccessibleInterface {
public:
    MenuElement(const MenuBarAccessible* owner, int menu, int item)
        : m_owner(owner), m_menu(menu), m_item(item) {}

    bool isValid() const override {
        const MenuBar* b = m_owner->bar();
        if (!b || m_menu >= int(b->menus().size()))
            return false;
        return m_item < int(b->menus()[size_t(m_menu)].items.size());
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return m_item < 0 ? const_cast<MenuBarAccessible*>(m_owner) : m_owner->element(m_menu, -1);
    }
    int childCount() const override {
        return m_item < 0 && isValid() ? int(menu().items.size()) : 0;
    }
    QAccessibleInterface* child(int index) const override {
        return m_item < 0 && index >= 0 && index < childCount() ? m_owner->element(m_menu, index)
                                                                : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        for (int i = 0; i < childCount(); ++i)
            if (m_owner->element(m_menu, i) == c)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name)
            return {};
        return m_item < 0 ? menu().title : menu().items[size_t(m_item)].text;
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const MenuBar* b = m_owner->bar();
        if (!isValid())
            return {};
        const QRect local =
            m_item < 0 ? G::titleRect(m_menu) : G::itemRect(m_menu, menu().dropDownWidth, m_item);
        return QRect(b->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const MenuBar* b = m_owner->bar();
        if (!isValid())
            return s;
        if (m_item < 0) {
            s.expandable = true;
            s.expanded = b->openMenu() == m_menu;
            s.hotTracked = b->hoveredTitle() == m_menu;
        } else {
            s.invisible = b->openMenu() != m_menu;
            s.disabled = !menu().items[size_t(m_item)].enabled;
            s.focusable = !s.disabled;
            s.focused = !s.invisible && b->highlightedItem() == m_item;
        }
        return s;
    }

private:
    const Menu& menu() const { return m_owner->bar()->menus()[size_t(m_menu)]; }

    const MenuBarAccessible* m_owner;
    int m_menu;
    int m_item;
};

QAccessibleInterface* menuBarFactory(const QString&, QObject* object) {
    if (auto* bar = qobject_cast<MenuBar*>(object))
        return new MenuBarAccessible(bar);
    return nullptr;
}

} // namespace

MenuBarAccessible::MenuBarAccessible(MenuBar* bar) : QAccessibleWidget(bar, QAccessible::MenuBar) {}

MenuBarAccessible::~MenuBarAccessible() {
    for (const auto& [key, id] : m_elements)
        QAccessible::deleteAccessibleInterface(id);
}

MenuBar* MenuBarAccessible::bar() const {
    return static_cast<MenuBar*>(widget());
}

QAccessibleInterface* MenuBarAccessible::element(int menu, int item) const {
    auto it = m_elements.find({menu, item});
    if (it != m_elements.end())
        return QAccessible::accessibleInterface(it->second);
    auto* made = new MenuElement(this, menu, item);
    m_elements[{menu, item}] = QAccessible::registerAccessibleInterface(made);
    return made;
}

int MenuBarAccessible::childCount() const {
    return int(bar()->menus().size());
}

QAccessibleInterface* MenuBarAccessible::child(int index) const {
    return index >= 0 && index < childCount() ? element(index, -1) : nullptr;
}

int MenuBarAccessible::indexOfChild(const QAccessibleInterface* c) const {
    for (int i = 0; i < childCount(); ++i)
        if (element(i, -1) == c)
            return i;
    return -1;
}

QAccessibleInterface* MenuBarAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i)
        if (child(i)->rect().contains(x, y))
            return child(i);
    return nullptr;
}

QAccessibleInterface* MenuBarAccessible::focusChild() const {
    const MenuBar* b = bar();
    if (b->openMenu() < 0)
        return nullptr;
    return b->highlightedItem() >= 0 ? element(b->openMenu(), b->highlightedItem())
                                     : element(b->openMenu(), -1);
}

void installMenuBarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(menuBarFactory);
        return true;
    }();
    (void)installed;
}

} // namespace quillon
