#pragma once

#include "orders/TrustedCustomers.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace quillon {

class Prompter;

// "Trusted customers": the list with Add, Edit and Delete. It works on its
// own copy of the list; "Update" and "Close" both end it with the changes
// kept, and the caller takes the copy back when changed() says so.
class CTrustedCustomerDlg : public QDialog {
    Q_OBJECT
public:
    CTrustedCustomerDlg(TrustedCustomers customers, Prompter& prompter, QWidget* parent = nullptr);

    bool changed() const { return m_changed; }
    const TrustedCustomers& customers() const { return m_customers; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void addCustomer();
    void editCustomer();
    void deleteCustomer();
    void selectionChanged();
    void finish(TrustedEditResult result);
    // After each completed Add, Edit or Delete.
    void listChanged();
    int selectedRow() const;

    TrustedCustomers m_customers;
    Prompter& m_prompter;
    bool m_changed = false;
    QTableWidget* m_list;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_update;
};

} // namespace quillon
