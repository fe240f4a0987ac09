#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "support/RecordingPrompter.h"
#include "ui/menus/MenuBar.h"
#include "ui/menus/MenuBarGeometry.h"

namespace testsupport {

// Acts on the next dialog of type T as soon as it shows, from inside the
// dialog's own event loop: a test drives a modal dialog that a command opens
// with exec(). A dialog that `act` leaves open is rejected after a bound
// and the test fails, so it never hangs.
template <class T> class WhenShown : public QObject {
public:
    explicit WhenShown(std::function<void(T&)> act) : m_act(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~WhenShown() override { qApp->removeEventFilter(this); }
    bool acted() const { return m_acted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        T* dialog = event->type() == QEvent::Show ? qobject_cast<T*>(watched) : nullptr;
        if (!dialog || m_shown)
            return false;
        m_shown = true;
        QPointer<T> guard(dialog);
        QTimer::singleShot(0, dialog, [this, guard] {
            m_act(*guard);
            m_acted = true;
        });
        QTimer::singleShot(20000, dialog, [guard] {
            if (guard->isVisible()) {
                ADD_FAILURE() << "dialog left open: " << guard->windowTitle().toStdString();
                guard->reject();
            }
        });
        return false;
    }

private:
    std::function<void(T&)> m_act;
    bool m_shown = false;
    bool m_acted = false;
};

// Closes every message box as it shows, with its OK button, and keeps its
// text: a test goes through the real prompter's boxes.
class MessageBoxes : public QObject {
public:
    MessageBoxes() { qApp->installEventFilter(this); }
    ~MessageBoxes() override { qApp->removeEventFilter(this); }
    const QStringList& texts() const { return m_texts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = event->type() == QEvent::Show ? qobject_cast<QMessageBox*>(watched) : nullptr;
        if (!box)
            return false;
        m_texts << box->text();
        QTimer::singleShot(0, box, [box] {
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                return ok->click();
            ADD_FAILURE() << "message box without OK: " << box->text().toStdString();
            box->done(0);
        });
        return false;
    }

private:
    QStringList m_texts;
};

// A child widget by its object name; fails the test when there is none.
template <class W = QLineEdit> W* child(QWidget& parent, const char* name) {
    W* found = parent.findChild<W*>(name);
    EXPECT_TRUE(found) << "no child " << name;
    return found;
}

// Replaces a line edit's text by typing, as the user does.
inline void retype(QWidget& dialog, const char* field, const QString& text) {
    auto* edit = child(dialog, field);
    ASSERT_TRUE(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// OK on `dialog` with `text` in the line or multi-line edit `field` is
// refused: the dialog stays open, the message names the field by `label`,
// and the field has the focus with `selected` selected. The field then gets
// its text back.
inline void expectRefused(QDialog& dialog, const char* field, const QString& text,
                          const QString& selected, const std::string& label,
                          RecordingPrompter& prompter) {
    dialog.show();
    auto* line = dialog.findChild<QLineEdit*>(field);
    auto* plain = dialog.findChild<QPlainTextEdit*>(field);
    ASSERT_TRUE(line || plain) << field;
    const QString original = line ? line->text() : plain->toPlainText();
    line ? line->setText(text) : plain->setPlainText(text);
    const size_t before = prompter.messages().size();
    dialog.accept();
    ASSERT_TRUE(dialog.isVisible()) << field;
    ASSERT_EQ(prompter.messages().size(), before + 1) << field;
    EXPECT_EQ(prompter.messages().back().rfind(label + ": ", 0), 0u) << prompter.messages().back();
    EXPECT_EQ(dialog.focusWidget(), line ? static_cast<QWidget*>(line) : plain) << field;
    EXPECT_EQ(line ? line->selectedText() : plain->textCursor().selectedText(), selected) << field;
    line ? line->setText(original) : plain->setPlainText(original);
}

inline QAbstractButton* findButton(QWidget& dialog, const QString& text) {
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (button->text().remove('&') == text)
            return button;
    return nullptr;
}

// Clicks the dialog's button with this text (mnemonics ignored).
inline void clickButton(QWidget& dialog, const QString& text) {
    QAbstractButton* button = findButton(dialog, text);
    ASSERT_TRUE(button) << "no button " << text.toStdString();
    ASSERT_TRUE(button->isEnabled()) << text.toStdString();
    button->click();
}

// Chooses a menu bar item with the mouse; its command runs once the event
// loop is free.
inline void chooseMenuItem(quillon::MenuBar& bar, int menu, int item) {
    using G = quillon::MenuBarGeometry;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, G::titleRect(menu).center());
    const int width = bar.menus()[size_t(menu)].dropDownWidth;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, G::itemRect(menu, width, item).center());
}

} // namespace testsupport
