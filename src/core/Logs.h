#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace quillon {

// "%02d.%02d.%02d %02d:%02d  " (two-digit year, month, day, hour, minute and
// two blanks) followed by the text.
std::string formatStatusLine(const std::tm& localTime, const std::string& text);

// The clock band's text: "%02d-%02d-%02d %02d:%02d".
std::string formatClock(const std::tm& localTime);

// folder/PREFIXnnnnnn.EXT with the first six-digit number not taken, or
// folder/PREFIXOVERFLOW.EXT when all are. Numbers freed by a deletion are
// used again.
std::string nextLogFileName(const std::string& folder, const std::string& prefix,
                            const std::string& extension);

// Writes every status line, each ended by CR LF, to the next free
// SystemLog/SYSLOGnnnnnn.TXT. A file that cannot be written is skipped
// silently; the result says whether it was written.
bool writeSystemLog(const std::string& workingDirectory, const std::vector<std::string>& lines);

// The next free OrderLog/ORDERLOGnnnnnn.XML.
std::string nextOrderLogFileName(const std::string& workingDirectory);

// Decides when the automatic purge runs: once in the minute 00:00 of each
// day, when purging is on. Ticks come every few seconds.
class MidnightPurgeTrigger {
public:
    // True when the purge should run now.
    bool tick(const std::tm& localTime, int purgeSetting);

private:
    bool m_purgedThisMinute = false;
};

} // namespace quillon
