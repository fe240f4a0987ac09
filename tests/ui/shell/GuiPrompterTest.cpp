#include "ui/shell/GuiPrompter.h"

#include "support/gui/DialogDriver.h"

#include <QMessageBox>
#include <gtest/gtest.h>

using namespace quillon;
using testsupport::WhenShown;

TEST(GuiPrompter, MessageBoxesCarryTheCaption) {
    GuiPrompter prompter;
    QString caption, text;
    Qt::TextInteractionFlags interaction;
    auto answer = [&](QMessageBox::StandardButton button) {
        return [&, button](QMessageBox& box) {
            caption = box.windowTitle();
            text = box.text();
            interaction = box.textInteractionFlags();
            if (QAbstractButton* b = box.button(button))
                return b->click();
            ADD_FAILURE() << "the box has no such button";
            box.done(0);
        };
    };
    {
        WhenShown<QMessageBox> ok(answer(QMessageBox::Ok));
        prompter.showMessage("Password changed.");
    }
    // A SHOP ID in a message can be copied.
    EXPECT_EQ(std::tuple(caption, text, interaction.testFlag(Qt::TextSelectableByMouse)),
              std::tuple("Quillon", "Password changed.", true));
    {
        WhenShown<QMessageBox> yes(answer(QMessageBox::Yes));
        EXPECT_TRUE(prompter.askYesNo("Okay to proceed?"));
    }
    WhenShown<QMessageBox> no(answer(QMessageBox::No));
    EXPECT_FALSE(prompter.askYesNo("Okay to proceed?"));
}
