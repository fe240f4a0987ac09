#include "ui/dialogs/FormAlignment.h"

#include <QFormLayout>
#include <QWidget>
#include <algorithm>

namespace quillon {

namespace {

std::vector<QWidget*> labelsOf(QFormLayout& form) {
    std::vector<QWidget*> labels;
    for (int row = 0; row < form.rowCount(); ++row)
        if (QLayoutItem* item = form.itemAt(row, QFormLayout::LabelRole); item && item->widget())
            labels.push_back(item->widget());
    return labels;
}

} // namespace

void alignForms(QWidget& dialog, const std::vector<QFormLayout*>& forms) {
    dialog.layout()->activate();
    std::vector<int> starts;
    int end = 0;
    for (QFormLayout* form : forms) {
        const int start = form->parentWidget()->mapTo(&dialog, form->contentsRect().topLeft()).x();
        int width = 0;
        for (QWidget* label : labelsOf(*form))
            width = std::max(width, label->sizeHint().width());
        starts.push_back(start);
        end = std::max(end, start + width);
    }
    for (std::size_t i = 0; i < forms.size(); ++i)
        for (QWidget* label : labelsOf(*forms[i]))
            label->setMinimumWidth(end - starts[i]);
}

} // namespace quillon
