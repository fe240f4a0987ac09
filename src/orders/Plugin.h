#pragma once

#include "orders/plugin_api.h"

#include <QLibrary>
#include <memory>
#include <string>

namespace quillon {

// One loaded plug-in: its library, its ten entry points and the three
// contexts its InitLibrary filled. Records never move once made, because the
// plug-in was given the contexts' addresses.
struct Plugin {
    std::unique_ptr<QLibrary> library;
    std::string fileName;

    PluginAPIVersionFn pluginAPIVersion = nullptr;
    PluginCaptionFn pluginCaption = nullptr;
    InitLibraryFn initLibrary = nullptr;
    ReleaseLibraryFn releaseLibrary = nullptr;
    OnShippingHandlingFn onShippingHandling = nullptr;
    PreOrderTxFn preOrderTx = nullptr;
    PostOrderTxFn postOrderTx = nullptr;
    OnBeginDataTxFn onBeginDataTx = nullptr;
    OnDataTxFn onDataTx = nullptr;
    OnEndDataTxFn onEndDataTx = nullptr;

    void* context1 = nullptr; // the parameter table or null
    void* context2 = nullptr;
    void* context3 = nullptr;
};

} // namespace quillon
