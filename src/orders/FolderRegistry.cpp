#include "orders/FolderRegistry.h"

namespace quillon {

void FolderRegistry::add(const std::string& folder) {
    std::lock_guard lock(m_mutex);
    m_folders.insert(folder);
}

bool FolderRegistry::contains(const std::string& folder) const {
    std::lock_guard lock(m_mutex);
    return m_folders.count(folder) != 0;
}

} // namespace quillon
