#include "ui/GuiPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Answers the next message box with `button` once it is up, and notes
// what it showed.
struct BoxWatcher {
    QString caption, text;
    explicit BoxWatcher(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] { answer(button, 0); });
    }
    void answer(QMessageBox::StandardButton button, int tries) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ASSERT_LT(tries, 500) << "no message box appeared";
            QTimer::singleShot(10, [this, button, tries] { answer(button, tries + 1); });
            return;
        }
        caption = box->windowTitle();
        text = box->text();
        box->button(button)->click();
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
