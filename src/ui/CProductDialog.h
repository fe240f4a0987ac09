#pragma once

#include "protocol/ProductItem.h"

#include <QDialog>

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
    CProductDialog(ProductList& list, Prompter& prompter, QWidget* parent = nullptr);

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
    QTableWidget* m_table;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_update;
};

} // namespace quillon
