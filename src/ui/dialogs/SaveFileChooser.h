#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace quillon {

// Where to save a text file, asked starting at `proposed`; empty when the
// user cancelled. Tests give their own answer in its place.
using SaveFileChooser = std::function<QString(QWidget* parent, const QString& proposed)>;

// The save-file dialog for text files: "Text Files (*.txt)" or all files,
// asking before it overwrites a file.
QString askTextFileName(QWidget* parent, const QString& proposed);

// What is said when the file chosen could not be written.
std::string notWrittenText(const QString& path);

} // namespace quillon
