#include "ui/menus/MenuBar.h"

#include "ui/mainwindow/WindowStyle.h"
#include "ui/menus/MenuBarAccessible.h"
#include "ui/menus/MenuBarGeometry.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace quillon {

using G = MenuBarGeometry;

MenuBar::MenuBar(QWidget* parent) : QWidget(parent) {
    installMenuBarAccessibility();
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setFont(WindowStyle::bandFont());
    setAccessibleName(QStringLiteral("Menu bar"));
}

void MenuBar::setMenus(std::vector<Menu> menus) {
    m_menus = std::move(menus);
    if (m_open >= int(m_menus.size()))
        closeDropDown();
    else if (m_open >= 0 &&
             (m_highlight >= int(m_menus[size_t(m_open)].items.size()) ||
              (m_highlight >= 0 && !m_menus[size_t(m_open)].items[size_t(m_highlight)].enabled)))
        m_highlight = -1;
    update();
}

void MenuBar::setClientSize(QSize size) {
    m_client = size;
    applyExtent();
}

void MenuBar::applyExtent() {
    if (isOpen()) {
        setGeometry(QRect(QPoint(0, 0), m_client));
        raise();
    } else {
        setGeometry(0, 0, m_client.width(), G::kBandHeight);
    }
}

void MenuBar::open(int menu, bool byKeyboard) {
    if (menu < 0 || menu >= int(m_menus.size()))
        return;
    if (!isOpen()) {
        m_focusBefore = QApplication::focusWidget();
        m_open = menu;
        applyExtent();
    }
    m_open = menu;
    m_highlight = byKeyboard ? nextEnabled(menu, -1, 1) : -1;
    // The arrows, Enter and Escape come here while the drop-down is open.
    setFocus(Qt::OtherFocusReason);
    update();
    emit stateChanged();
    QAccessibleEvent opened(this, QAccessible::PopupMenuStart);
    opened.setChild(menu);
    QAccessible::updateAccessibility(&opened);
}

void MenuBar::openByKeyboard(int menu) {
    open(menu, true);
}

void MenuBar::closeDropDown() {
    if (!isOpen())
        return;
    const int was = m_open;
    m_open = -1;
    m_highlight = -1;
    applyExtent();
    if (m_focusBefore && m_focusBefore != this)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    else
        clearFocus();
    m_focusBefore.clear();
    update();
    emit stateChanged();
    QAccessibleEvent closed(this, QAccessible::PopupMenuEnd);
    closed.setChild(was);
    QAccessible::updateAccessibility(&closed);
}

void MenuBar::choose(int menu, int item) {
    closeDropDown();
    emit chosen(menu, item);
}

int MenuBar::nextEnabled(int menu, int from, int step) const {
    const auto& items = m_menus[size_t(menu)].items;
    const int n = int(items.size());
    for (int k = 1; k <= n; ++k) {
        const int i = ((from + step * k) % n + n) % n;
        if (items[size_t(i)].enabled)
            return i;
    }
    return -1;
}

int MenuBar::itemUnder(QPoint p) const {
    if (!isOpen())
        return -1;
    const Menu& m = m_menus[size_t(m_open)];
    return G::itemAt(p, m_open, m.dropDownWidth, int(m.items.size()));
}

void MenuBar::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const int title = G::titleAt(p, int(m_menus.size()));
    if (title != m_hoverTitle) {
        m_hoverTitle = title;
        update();
        emit stateChanged();
    }
    if (!isOpen())
        return;
    if (title >= 0 && title != m_open) {
        open(title, false);
        return;
    }
    // Disabled items take no highlight, as they take no click.
    const int item = itemUnder(p);
    const int highlight =
        item >= 0 && m_menus[size_t(m_open)].items[size_t(item)].enabled ? item : -1;
    if (highlight != m_highlight) {
        m_highlight = highlight;
        update();
        emit stateChanged();
        if (highlight >= 0) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void MenuBar::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const int title = G::titleAt(p, int(m_menus.size()));
    if (title >= 0 && e->button() == Qt::LeftButton) {
        if (title == m_open)
            closeDropDown();
        else
            open(title, false);
        return;
    }
    if (!isOpen())
        return;
    const Menu& m = m_menus[size_t(m_open)];
    // A press on the drop-down waits for its release; anywhere else closes.
    if (!G::dropDownRect(m_open, m.dropDownWidth, int(m.items.size())).contains(p))
        closeDropDown();
}

void MenuBar::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const int item = itemUnder(e->position().toPoint());
    // A disabled item does nothing and the drop-down stays open.
    if (item >= 0 && m_menus[size_t(m_open)].items[size_t(item)].enabled)
        choose(m_open, item);
}

void MenuBar::leaveEvent(QEvent*) {
    if (m_hoverTitle >= 0) {
        m_hoverTitle = -1;
        update();
        emit stateChanged();
    }
}

void MenuBar::keyPressEvent(QKeyEvent* e) {
    if (!isOpen()) {
        QWidget::keyPressEvent(e);
        return;
    }
    const int count = int(m_menus.size());
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = e->key() == Qt::Key_Right ? 1 : -1;
        open(((m_open + step) % count + count) % count, true);
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int next =
            nextEnabled(m_open, m_highlight < 0 && e->key() == Qt::Key_Up ? 0 : m_highlight,
                        e->key() == Qt::Key_Down ? 1 : -1);
        if (next != m_highlight) {
            m_highlight = next;
            update();
            emit stateChanged();
            QAccessibleEvent focus(this, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_highlight >= 0)
            choose(m_open, m_highlight);
        break;
    case Qt::Key_Escape:
        closeDropDown();
        break;
    default:
        e->ignore();
        return;
    }
    e->accept();
}

void MenuBar::changeEvent(QEvent* e) {
    // A drop-down left open behind another window would catch the next click.
    if (e->type() == QEvent::ActivationChange && !isActiveWindow())
        closeDropDown();
    QWidget::changeEvent(e);
}

void MenuBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintTitles(p);
    if (isOpen())
        paintDropDown(p);
}

void MenuBar::paintTitles(QPainter& p) const {
    const QRectF band(0, 0, width(), G::kBandHeight);
    p.fillRect(band, WindowStyle::bandBackground());
    p.setPen(WindowStyle::bandLine());
    p.drawLine(QPointF(0, G::kBandHeight - 0.5), QPointF(width(), G::kBandHeight - 0.5));
    for (int m = 0; m < int(m_menus.size()); ++m) {
        const QRectF box = QRectF(G::titleRect(m)).adjusted(0.5, 0.5, -0.5, -0.5);
        if (m == m_open) {
            p.setPen(WindowStyle::openTitleLine());
            p.setBrush(WindowStyle::openTitle());
            p.drawRoundedRect(box, 3, 3);
        } else if (m == m_hoverTitle) {
            p.setPen(Qt::NoPen);
            p.setBrush(WindowStyle::hover());
            p.drawRoundedRect(box, 3, 3);
        }
        p.setPen(WindowStyle::text());
        p.drawText(G::titleRect(m), Qt::AlignCenter, m_menus[size_t(m)].title);
    }
}

void MenuBar::paintDropDown(QPainter& p) const {
    const Menu& m = m_menus[size_t(m_open)];
    const QRectF box = QRectF(G::dropDownRect(m_open, m.dropDownWidth, int(m.items.size())))
                           .adjusted(0.5, 0.5, -0.5, -0.5);
    // A soft shadow lifts the drop-down off the panes below.
    p.setPen(Qt::NoPen);
    for (int k = 1; k <= 4; ++k) {
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(box.translated(0, k * 0.75).adjusted(-k * 0.5, 0, k * 0.5, k * 0.5), 4,
                          4);
    }
    p.setPen(WindowStyle::bandLine().darker(110));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 3, 3);
    for (int i = 0; i < int(m.items.size()); ++i) {
        const MenuItem& item = m.items[size_t(i)];
        const QRect r = G::itemRect(m_open, m.dropDownWidth, i);
        if (i == m_highlight) {
            p.setPen(Qt::NoPen);
            p.setBrush(WindowStyle::highlight());
            p.drawRoundedRect(QRectF(r).adjusted(3, 1, -3, -1), 3, 3);
        }
        p.setPen(!item.enabled      ? WindowStyle::mutedText()
                 : i == m_highlight ? QColor(Qt::white)
                                    : WindowStyle::text());
        p.drawText(r.adjusted(14, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, item.text);
    }
}

} // namespace quillon
