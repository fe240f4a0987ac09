#pragma once

#include <cstdint>
#include <string>

namespace quillon {

struct Settings;

// The most digits the counter is padded to, so that no setting makes a
// name longer than a folder name may be.
inline constexpr int32_t kMostNumberDigits = 32;

// prefix, the counter zero-padded to at least `numdigit` digits (never cut),
// postfix: "WEB-" 42 "" with 6 digits gives WEB-000042.
std::string formatOrderNumber(const std::string& prefix, uint32_t counter,
                              const std::string& postfix, int32_t numdigit);
std::string formatOrderNumber(const Settings& s);

// The folder of an order: rootpath, a separator, the order number.
std::string orderFolder(const std::string& rootpath, const std::string& orderNumber);

// Moves the counter on after an accepted order. Past `wraparound` (unsigned)
// it restarts at `rootordernumber`; the result tells whether it wrapped.
bool advanceCounter(Settings& s);

// Writes the 20 bytes "This is a test file." to folder/TESTFILE.TXT. 1 when
// the file could be written; 0 when not or when the folder text is empty
// (then nothing is touched).
int writeTestFile(const std::string& folder);

} // namespace quillon
