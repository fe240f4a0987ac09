#include "core/TextLines.h"

#include "orders/SaveFile.h"

namespace quillon {

bool writeTextLines(const QString& path, const std::vector<std::string>& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const std::string& line : lines)
        if (!writeAll(file, line) || !writeAll(file, "\r\n")) {
            file.cancelWriting();
            return false;
        }
    return commitWhole(file);
}

} // namespace quillon
