#pragma once

#include <QLineEdit>

namespace quillon {

// The small find field the window puts at the right end of its state label
// band. Its text filters the order list as it is typed; Ctrl+F anywhere in
// its window puts the cursor in it, and Escape empties it (showing every
// order again) without reaching the window.
class OrderSearchField : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kWidth = 180;
    static constexpr int kHeight = 18; // fits the 20-px band

    explicit OrderSearchField(QWidget* parent = nullptr);

    // Gives the field its clear button, whose icon comes from the icon
    // theme: loading the theme would hold up the window's first showing, so
    // the window asks for it once its orders are listed, and the field at
    // its first focus at the latest. The first message box then finds the
    // theme loaded too.
    void showClearButton();

signals:
    // The field took the focus: the user is about to look for an order.
    void opened();
    // Escape was pressed: the window may hand the focus back to the list.
    void dismissed();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillon
