#pragma once

#include "protocol/ProductItem.h"

#include <QDialog>
#include <functional>

class QPushButton;
class QTableWidget;

namespace quillon {

class Prompter;

// "Product list": shows a product list and edits it in place (the caller
// passes a copy). "Update" (OK) is offered once something was added,
// edited or deleted.
class CProductDialog : public QDialog {
    Q_OBJECT
public:
    // Starts sending the edited list; false when it cannot start.
    using Sender = std::function<bool()>;

    CProductDialog(ProductList& list, Prompter& prompter, QWidget* parent = nullptr);

    // With a sender, "Update" sends the list and the dialog waits, busy,
    // until sendFinished() says whether it went (the dialog closes) or not
    // (it stays, with the edits). Without one, "Update" closes it at once.
    void setSender(Sender send) { m_send = std::move(send); }
    void sendFinished(bool sent);

    void accept() override;
    void reject() override;

private:
    void fill();
    void selectionChanged();
    int selectedRow() const;
    void add();
    void edit();
    void remove();
    void changed();

    ProductList& m_list;
    Prompter& m_prompter;
    Sender m_send;
    bool m_sending = false;
    QTableWidget* m_table;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_update;
};

} // namespace quillon
