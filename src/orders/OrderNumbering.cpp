#include "orders/OrderNumbering.h"

#include "orders/FilePaths.h"
#include "orders/SaveFile.h"
#include "orders/Settings.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace quillon {

std::string formatOrderNumber(const std::string& prefix, uint32_t counter,
                              const std::string& postfix, int32_t numdigit) {
    // The counter is unsigned; printing it signed would turn numbers past
    // 2^31 negative. The width is bounded also for a setting that did not
    // come through the Configuration dialog.
    int width = std::clamp(numdigit, 0, kMostNumberDigits);
    char digits[48];
    std::snprintf(digits, sizeof digits, "%0*u", width, counter);
    return prefix + digits + postfix;
}

std::string formatOrderNumber(const Settings& s) {
    return formatOrderNumber(s.prefix, s.currentnumber, s.postfix, s.numdigit);
}

std::string orderFolder(const std::string& rootpath, const std::string& orderNumber) {
    return joinPath(rootpath, orderNumber);
}

bool advanceCounter(Settings& s) {
    // Compared before adding, so a counter at 2^32 - 1 wraps to the first
    // number instead of overflowing to 0.
    if (s.currentnumber >= s.wraparound) {
        s.currentnumber = s.rootordernumber;
        return true;
    }
    s.currentnumber += 1;
    return false;
}

int writeTestFile(const std::string& folder) {
    if (folder.empty())
        return 0;
    QFile f(qtPath(joinPath(folder, "TESTFILE.TXT")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    bool ok = writeAll(f, "This is a test file.") && f.flush();
    f.close();
    return ok ? 1 : 0;
}

} // namespace quillon
