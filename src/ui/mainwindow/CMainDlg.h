#pragma once

#include <QWidget>
#include <memory>

namespace quillon {

class BandLabel;
class MenuBar;
class OrderListView;
class OrderOpener;
class OrderSearchField;
class Prompter;
class Shop;
class SplitterBar;
class StatusChoiceBox;
class StatusLinesPane;
class TransferView;

// The main window, "Velorin Photo Network - Quillon": shows the shop's
// state in five bands and turns the user's actions into Shop calls. It
// closes when the shop has shut down; closing it (close box, Escape, Exit)
// asks the shop to shut down first.
class CMainDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kInitialSize{900, 620};

    // `prompter` shows the messages of the window's commands.
    CMainDlg(Shop& shop, Prompter& prompter, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The order list pane: the order list view, unless another pane has
    // taken its place. The window owns the pane.
    void setOrderListPane(QWidget* pane);
    QWidget* orderListPane() const { return m_orderList; }
    OrderListView* orderList() const;
    // The find field at the right end of the state band.
    OrderSearchField* findField() const { return m_find; }
    // The status choice beside it, and the open orders' counts before that.
    StatusChoiceBox* statusChoice() const { return m_statusChoice; }
    QString statusCountsText() const;

    MenuBar* menuBar() const { return m_menuBar; }
    StatusLinesPane* statusLines() const { return m_statusLines; }
    TransferView* transferView() const { return m_transfers; }
    QString stateText() const;
    int splitterPosition() const { return m_splitterX; }

    // F1: "About Quillon".
    void showAbout();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void layoutBands();
    void refreshMenus();
    void showOnline(bool online);
    void showStatusCounts();

    Shop& m_shop;
    Prompter& m_prompter;
    MenuBar* m_menuBar;
    BandLabel* m_state;
    StatusLinesPane* m_statusLines;
    SplitterBar* m_splitter;
    QWidget* m_orderList;
    OrderSearchField* m_find;
    StatusChoiceBox* m_statusChoice;
    BandLabel* m_counts;
    std::unique_ptr<OrderOpener> m_opener;
    TransferView* m_transfers;
    BandLabel* m_clock;
    int m_splitterX;
    bool m_laidOut = false;
    // The shop has written its logs; the window may close now.
    bool m_shopClosed = false;
};

} // namespace quillon
