#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillon {

struct Settings;

struct DiagnosticsInput {
    const Settings* settings = nullptr;
    bool productListFetched = false;
    // Lets the plug-ins rewrite the next order's name and folder, as they
    // will at registration. May be empty.
    std::function<void(uint32_t counter, const std::string& rootpath, std::string& name,
                       std::string& folder)>
        preOrder;
};

// Checks the root folder, the next order's folder and the product list,
// reporting each step as a status line. 1 when all passed, else 0.
int runSelfDiagnostics(const DiagnosticsInput& in,
                       const std::function<void(const std::string&)>& addStatusLine);

} // namespace quillon
