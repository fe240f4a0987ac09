#pragma once

#include "protocol/Prompter.h"

class QWidget;

namespace quillon {

// Message boxes of the window, with the caption "Quillon". Must be used on
// the UI thread.
class GuiPrompter : public Prompter {
public:
    explicit GuiPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

private:
    QWidget* m_parent;
};

} // namespace quillon
