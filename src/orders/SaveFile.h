#pragma once

#include <QSaveFile>
#include <string_view>

namespace quillon {

// False on a short write.
inline bool writeAll(QIODevice& file, std::string_view bytes) {
    return file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// Renames a whole new file over the old one. QSaveFile::commit() does not
// notice a failure of its last flush and would rename a cut-short file into
// place, so the flush is checked first; on failure the old file stays.
inline bool commitWhole(QSaveFile& file) {
    if (!file.flush()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

} // namespace quillon
