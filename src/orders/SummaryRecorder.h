#pragma once

#include <string>
#include <vector>

namespace quillon {

// One drawing step of an order summary, in PDF points from the bottom left.
struct SummaryCommand {
    enum class Kind { Page, Text, Line, Image };
    Kind kind = Kind::Text;
    int page = 0; // page number the step is drawn on
    // Text: the block's position (its first line lies one leading below).
    // Line: the start. Image: the bottom left corner.
    float x = 0;
    float y = 0;
    // Line: the end. Image: width and height.
    float x2 = 0;
    float y2 = 0;
    float size = 0; // text: font size; line: line width
    float leading = 0;
    int line = 0; // text: index of the line within its block
    std::string text;
};

// Keeps what an order summary drew, so its layout can be checked without
// parsing the PDF.
class SummaryRecorder {
public:
    void record(SummaryCommand command) { m_commands.push_back(std::move(command)); }
    const std::vector<SummaryCommand>& commands() const { return m_commands; }

private:
    std::vector<SummaryCommand> m_commands;
};

} // namespace quillon
