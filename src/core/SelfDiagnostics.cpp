#include "core/SelfDiagnostics.h"

#include "orders/FilePaths.h"
#include "orders/OrderNumbering.h"
#include "orders/Settings.h"

namespace quillon {

int runSelfDiagnostics(const DiagnosticsInput& in,
                       const std::function<void(const std::string&)>& addStatusLine) {
    const Settings& s = *in.settings;
    const std::string correct = "You should correct the errors and re-start.";

    addStatusLine("Perform Self Diagnostics...");
    addStatusLine("Checking Root Folder...");
    if (!pathExists(s.rootpath)) {
        addStatusLine("Error: Root Folder not available.");
        addStatusLine(correct);
        return 0;
    }
    addStatusLine("       Root Folder checked.");
    addStatusLine("Checking folder for next order...");

    std::string name = formatOrderNumber(s);
    std::string folder = orderFolder(s.rootpath, name);
    if (in.preOrder)
        in.preOrder(s.currentnumber, s.rootpath, name, folder);
    if (pathExists(folder)) {
        addStatusLine("Error: Folder \"" + folder + "\" already exists.");
        addStatusLine(correct);
        return 0;
    }
    addStatusLine("       Next order number checked.");

    addStatusLine("Checking product list availability...");
    if (!in.productListFetched) {
        addStatusLine("Error: Unable to retrieve product list.");
        addStatusLine("       Make sure your computer is connected.");
        addStatusLine(correct);
        return 0;
    }
    addStatusLine("       Product list checked.");
    addStatusLine("Self Diagnostics completed.");
    return 1;
}

} // namespace quillon
