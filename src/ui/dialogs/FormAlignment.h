#pragma once

#include <vector>

class QFormLayout;
class QWidget;

namespace quillon {

// Lines up the fields of several forms of one dialog, forms inside group
// boxes included, by widening the narrower label columns. Call when the
// dialog shows, so the real indents of the group boxes are known.
void alignForms(QWidget& dialog, const std::vector<QFormLayout*>& forms);

} // namespace quillon
