#pragma once

#include <QUrl>
#include <functional>
#include <string>

namespace quillon {

class Prompter;

// Opens an order's summary or folder with the desktop's default program.
class OrderOpener {
public:
    // Hands a local file or folder to the desktop; tests record instead.
    using Launcher = std::function<bool(const QUrl&)>;

    explicit OrderOpener(Prompter& prompter, Launcher launch = {});

    // Opens "<folder>/<number>.pdf" when it can be opened for update (it
    // exists and no one holds it); otherwise says "Order details cannot be
    // found or already opened.". When the desktop has no program for the
    // file or the folder, that is said too.
    bool openSummary(const std::string& folder, const std::string& orderNumber);
    bool openFolder(const std::string& folder);

private:
    bool launch(const std::string& path);

    Prompter& m_prompter;
    Launcher m_launch;
};

} // namespace quillon
