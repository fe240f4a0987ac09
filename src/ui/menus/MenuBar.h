#pragma once

#include "ui/menus/MainMenus.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace quillon {

// The window's menu bar: titles in the top band and one drop-down at a
// time, drawn and hit-tested by MenuBarGeometry. While a drop-down is open
// the bar covers the whole window, so it can draw the drop-down over the
// panes and see a click anywhere else (which closes it). The keyboard opens
// a menu with openByKeyboard(); arrows, Enter and Escape then work in it.
class MenuBar : public QWidget {
    Q_OBJECT
public:
    explicit MenuBar(QWidget* parent = nullptr);

    // Texts and enabled states change while a drop-down may be open.
    void setMenus(std::vector<Menu> menus);
    const std::vector<Menu>& menus() const { return m_menus; }
    // The window's client size: the band's width, and the area an open
    // drop-down covers.
    void setClientSize(QSize size);

    bool isOpen() const { return m_open >= 0; }
    int openMenu() const { return m_open; }
    int hoveredTitle() const { return m_hoverTitle; }
    int highlightedItem() const { return m_highlight; }

    // Opens `menu` with its first enabled item highlighted and takes the
    // keyboard.
    void openByKeyboard(int menu);
    void closeDropDown();

signals:
    // An enabled item was chosen; the drop-down is closed already.
    void chosen(int menu, int item);
    // A drop-down opened, closed or switched, or the highlight moved.
    void stateChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void open(int menu, bool byKeyboard);
    void choose(int menu, int item);
    void applyExtent();
    // The next enabled item from `from` in direction `step` (wrapping); -1
    // when the menu has none.
    int nextEnabled(int menu, int from, int step) const;
    int itemUnder(QPoint p) const;
    void paintTitles(QPainter& p) const;
    void paintDropDown(QPainter& p) const;

    std::vector<Menu> m_menus;
    QSize m_client;
    int m_open = -1;
    int m_hoverTitle = -1;
    int m_highlight = -1;
    QPointer<QWidget> m_focusBefore;
};

} // namespace quillon
