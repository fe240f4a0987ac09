#pragma once

#include "orders/PictureTable.h"
#include "orders/Plugin.h"
#include "orders/PluginParamTable.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// The shop's plug-in list and the calls the order pipeline makes into it.
//
// Each helper calls every plug-in in list order, and each plug-in sees the
// values the one before it left. The list is fixed between load() and
// release(), so the helpers take no lock and may be called from several
// threads at once; the plug-ins themselves must be safe for that.
class PluginHost {
public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads every plug-in library of `folder`, in the order of their names so
    // that every run loads them alike. A library that cannot be loaded, whose
    // version is not PLUGIN_API_VERSION or that lacks an export is unloaded
    // again and left out. Returns the number of plug-ins in the list.
    std::size_t load(const QString& folder);
    // Calls every ReleaseLibrary in list order, unloads and empties the list.
    void release();

    std::size_t count() const { return m_plugins.size(); }
    bool empty() const { return m_plugins.empty(); }
    std::string caption(std::size_t index) const;
    // The parameter table the plug-in published, or null.
    PluginParam* parameters(std::size_t index) const;
    const std::string& fileName(std::size_t index) const;
    // Writes edited values back into the plug-in's own parameter table, in
    // place; the plug-in is not told. Only on the user-interface thread.
    void writeParameters(std::size_t index, const PluginParamTable& values);

    // Before a number is given; the number and folder may be rewritten.
    void preOrder(uint32_t counter, const std::string& rootpath, std::string& orderNumber,
                  std::string& folder) const;
    // Sets both flags to 0, then lets every plug-in change them.
    void shipping(const std::string& email, const std::string& orderNumber,
                  const std::string& shipping1, const std::string& shipping2,
                  const std::string& shipping3, uint32_t& flag1, uint32_t& flag2) const;
    void beginData(const std::string& email, const std::string& orderNumber,
                   const std::string& folder, const PictureTable& pictures) const;
    // After file `fileIndex` (from 0) is written; `picture` may be null.
    void dataStep(int fileIndex, const std::string& orderNumber, const std::string& folder,
                  const std::string& fileName, const PictureTableEntry* picture) const;
    // After the summary; e-mail, number and folder may be rewritten.
    void endData(std::string& email, std::string& orderNumber, std::string& folder,
                 const PictureTable& pictures) const;
    // After completion; the number and folder may be rewritten.
    void postOrder(std::string& orderNumber, std::string& folder) const;

private:
    std::vector<std::unique_ptr<Plugin>> m_plugins;
};

} // namespace quillon
