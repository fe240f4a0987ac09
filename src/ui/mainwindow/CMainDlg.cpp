#include "ui/mainwindow/CMainDlg.h"

#include "core/Shop.h"
#include "orders/PluginHost.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/mainwindow/BandLabel.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/SplitterBar.h"
#include "ui/mainwindow/StatusLinesPane.h"
#include "ui/mainwindow/TransferView.h"
#include "ui/mainwindow/WindowStyle.h"
#include "ui/menus/MainMenus.h"
#include "ui/menus/MenuBar.h"
#include "ui/menus/MenuCommands.h"
#include "ui/orderlist/OrderListBinding.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/OrderOpener.h"
#include "ui/orderlist/OrderSearchField.h"
#include "ui/orderlist/StatusChoiceBox.h"
#include "ui/shell/ProgramIcon.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>

namespace quillon {

using L = MainWindowLayout;

CMainDlg::CMainDlg(Shop& shop, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_shop(shop), m_prompter(prompter), m_menuBar(new MenuBar(this)),
      m_state(new BandLabel(Qt::AlignLeft, this)), m_statusLines(new StatusLinesPane(this)),
      m_splitter(new SplitterBar(this)), m_orderList(new OrderListView(shop.orderBook(), this)),
      m_find(new OrderSearchField(this)), m_statusChoice(new StatusChoiceBox(this)),
      m_counts(new BandLabel(Qt::AlignRight, this)),
      m_opener(std::make_unique<OrderOpener>(prompter)),
      m_transfers(new TransferView(shop.intake().transfers(), this)),
      m_clock(new BandLabel(Qt::AlignRight, this)), m_splitterX(L::kInitialStatusWidth) {
    setWindowTitle(QStringLiteral("Velorin Photo Network - Quillon"));
    setWindowIcon(programIcon());
    setAutoFillBackground(true);
    QPalette bands = palette();
    bands.setColor(QPalette::Window, WindowStyle::bandBackground());
    setPalette(bands);
    resize(kInitialSize);
    setMinimumSize(kInitialSize);

    bindOrderList(shop, *orderList(), *m_find, *m_opener);
    connect(m_statusChoice, &StatusChoiceBox::filterChanged, orderList(),
            &OrderListView::setStatusFilter);
    connect(orderList(), &OrderListView::statusCountsChanged, this, &CMainDlg::showStatusCounts);
    m_statusChoice->setFixedHeight(OrderSearchField::kHeight);
    m_counts->setAccessibleDescription(QStringLiteral("Orders by status"));
    showStatusCounts();
    m_clock->setAccessibleDescription(QStringLiteral("Clock"));
    m_state->setAccessibleDescription(QStringLiteral("System state"));

    m_statusLines->setLines(shop.statusLines().lines());
    showOnline(!shop.servers().isOffline());
    refreshMenus();

    // The menu bar's choice is carried out once its event is over, so a
    // dialog never opens inside the menu bar's mouse handling.
    connect(
        m_menuBar, &MenuBar::chosen, this,
        [this](int menu, int item) { runMenuCommand(m_shop, m_prompter, this, menu, item); },
        Qt::QueuedConnection);
    connect(m_splitter, &SplitterBar::dragged, this, [this](int x) {
        m_splitterX = L::clampSplitter(x, width());
        layoutBands();
    });
    connect(&shop.statusLines(), &StatusLines::lineAdded, m_statusLines, &StatusLinesPane::addLine);
    connect(&shop.servers(), &OrderServers::onlineChanged, this, [this](bool online) {
        showOnline(online);
        refreshMenus();
    });
    connect(&shop.account(), &AccountSession::loginChanged, this, &CMainDlg::refreshMenus);
    connect(&shop, &Shop::settingsChanged, this, &CMainDlg::refreshMenus);
    // The plug-ins are loaded during start-up.
    connect(&shop, &Shop::ordersLoaded, this, &CMainDlg::refreshMenus);
    connect(&shop, &Shop::ready, this, &CMainDlg::refreshMenus);
    connect(&shop, &Shop::clockTextChanged, m_clock, &BandLabel::setText);
    connect(&shop, &Shop::closeRequested, this, [this] {
        m_shopClosed = true;
        close();
    });

    const std::pair<QKeySequence, int> openers[] = {{QKeySequence(Qt::ALT | Qt::Key_S), 0},
                                                    {QKeySequence(Qt::ALT | Qt::Key_A), 1},
                                                    {QKeySequence(Qt::ALT | Qt::Key_D), 2},
                                                    {QKeySequence(Qt::Key_F10), 0}};
    for (const auto& [keys, menu] : openers)
        connect(new QShortcut(keys, this), &QShortcut::activated, m_menuBar,
                [this, menu = menu] { m_menuBar->openByKeyboard(menu); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &CMainDlg::showAbout);
}

CMainDlg::~CMainDlg() = default;

OrderListView* CMainDlg::orderList() const {
    return qobject_cast<OrderListView*>(m_orderList);
}

void CMainDlg::setOrderListPane(QWidget* pane) {
    if (!pane || pane == m_orderList)
        return;
    delete m_orderList;
    m_orderList = pane;
    pane->setParent(this);
    pane->stackUnder(m_menuBar);
    pane->show();
    layoutBands();
}

QString CMainDlg::statusCountsText() const {
    return m_counts->text();
}

void CMainDlg::showStatusCounts() {
    if (OrderListView* list = orderList())
        m_counts->setText(quillon::statusCountsText(list->rows().statusCounts()));
}

QString CMainDlg::stateText() const {
    return m_state->text();
}

void CMainDlg::showOnline(bool online) {
    m_state->setText(online ? QStringLiteral("System ON-LINE") : QStringLiteral("System OFF-LINE"));
    m_state->setDot(online ? WindowStyle::online() : WindowStyle::offline());
}

void CMainDlg::refreshMenus() {
    MenuState s;
    s.loggedIn = m_shop.account().isLoggedIn();
    s.offline = m_shop.servers().isOffline();
    s.hasPlugins = m_shop.plugins().count() > 0;
    s.largeFont = m_shop.settings().fontsize;
    s.followNewest = m_shop.settings().showlast;
    m_menuBar->setMenus(mainMenus(s));
}

void CMainDlg::showAbout() {
    auto* box = new AboutBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void CMainDlg::resizeEvent(QResizeEvent* e) {
    // Every resize after the first layout puts the splitter at half the width.
    if (m_laidOut)
        m_splitterX = L::clampSplitter(width() / 2, width());
    m_laidOut = true;
    layoutBands();
    QWidget::resizeEvent(e);
}

void CMainDlg::layoutBands() {
    const WindowBands b = L::bands(size(), minimumSize(), m_splitterX);
    m_splitterX = b.splitter.left();
    m_menuBar->setClientSize(size());
    m_state->setGeometry(b.state);
    // The find field sits at the band's right end; the label's text stays
    // where it is.
    m_find->move(b.state.right() - m_find->width() - 1,
                 b.state.top() + (b.state.height() - m_find->height()) / 2);
    m_statusChoice->move(m_find->x() - m_statusChoice->width() - 4, m_find->y());
    // The counts end before the choice and leave the state's text its room.
    const int countsLeft = b.state.left() + b.state.width() / 3;
    m_counts->setGeometry(countsLeft, b.state.top(), m_statusChoice->x() - 8 - countsLeft,
                          b.state.height());
    m_statusLines->setGeometry(b.statusLines);
    m_splitter->setGeometry(b.splitter);
    m_orderList->setGeometry(b.orderList);
    m_transfers->setGeometry(b.transfers);
    m_clock->setGeometry(b.clock);
}

void CMainDlg::keyPressEvent(QKeyEvent* e) {
    // An open drop-down takes its own Escape; this one means Exit.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        m_shop.exit();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CMainDlg::closeEvent(QCloseEvent* e) {
    // Like Exit: the window stays until the servers have stopped and the
    // logs are written, which off-line happens at once.
    if (!m_shopClosed)
        m_shop.exit();
    if (m_shopClosed)
        e->accept();
    else
        e->ignore();
}

} // namespace quillon
