#pragma once

#include <mutex>
#include <set>
#include <string>

namespace quillon {

// The order folders this run handed out at registration. Reception accepts
// a folder named by the sender only when it lies inside the root folder or
// is one of these (a plug-in may have moved it elsewhere). Shared between
// the UI thread and the reception workers.
class FolderRegistry {
public:
    void add(const std::string& folder);
    bool contains(const std::string& folder) const;

private:
    mutable std::mutex m_mutex;
    std::set<std::string> m_folders;
};

} // namespace quillon
