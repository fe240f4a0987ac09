#include "ui/GuiPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Answers the next message box with `button` once it is up, and notes what
// it showed. When none comes up in time, or it lacks the button, the test
// fails and the box is closed, so a fault never leaves the test hanging.
struct BoxWatcher {
    QString caption, text;
    explicit BoxWatcher(QMessageBox::StandardButton button) { poll(button, 0); }
    void poll(QMessageBox::StandardButton button, int tries) {
        QTimer::singleShot(10, [this, button, tries] {
            QMessageBox* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && qobject_cast<QMessageBox*>(w))
                    box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                if (tries < 300)
                    poll(button, tries + 1);
                else
                    ADD_FAILURE() << "no message box appeared";
                return;
            }
            caption = box->windowTitle();
            text = box->text();
            if (QAbstractButton* b = box->button(button))
                return b->click();
            ADD_FAILURE() << "the box has no such button";
            box->done(0);
        });
    }
};

} // namespace

TEST(GuiPrompter, MessageBoxesCarryTheCaption) {
    GuiPrompter prompter;
    BoxWatcher ok(QMessageBox::Ok);
    prompter.showMessage("Password changed.");
    EXPECT_EQ(ok.caption, "Quillon");
    EXPECT_EQ(ok.text, "Password changed.");

    BoxWatcher yes(QMessageBox::Yes);
    EXPECT_TRUE(prompter.askYesNo("Okay to proceed?"));
    BoxWatcher no(QMessageBox::No);
    EXPECT_FALSE(prompter.askYesNo("Okay to proceed?"));
}

int main(int argc, char** argv) {
    // Widget tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
