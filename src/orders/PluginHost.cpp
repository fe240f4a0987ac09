#include "orders/PluginHost.h"

#include "orders/PluginTextBuffer.h"
#include "orders/QtText.h"

#include <QDir>
#include <QFileInfo>

namespace quillon {

namespace {

QStringList libraryPatterns() {
#ifdef Q_OS_WIN
    return {QStringLiteral("*.dll")};
#else
    return {QStringLiteral("*.so")};
#endif
}

using TextBuffer = PluginTextBuffer<PLUGIN_TEXT_SIZE>;
using ShippingBuffer = PluginTextBuffer<PLUGIN_SHIPPING_TEXT_SIZE>;

template <typename Fn> bool resolve(QLibrary& library, const char* name, Fn& entry) {
    entry = reinterpret_cast<Fn>(library.resolve(name));
    return entry != nullptr;
}

bool resolveAll(QLibrary& library, Plugin& p) {
    return resolve(library, "PluginCaption", p.pluginCaption) &&
           resolve(library, "InitLibrary", p.initLibrary) &&
           resolve(library, "ReleaseLibrary", p.releaseLibrary) &&
           resolve(library, "OnShippingHandling", p.onShippingHandling) &&
           resolve(library, "PreOrderTx", p.preOrderTx) &&
           resolve(library, "PostOrderTx", p.postOrderTx) &&
           resolve(library, "OnBeginDataTx", p.onBeginDataTx) &&
           resolve(library, "OnDataTx", p.onDataTx) &&
           resolve(library, "OnEndDataTx", p.onEndDataTx);
}

std::unique_ptr<Plugin> loadPlugin(const QString& path) {
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load())
        return nullptr;
    auto plugin = std::make_unique<Plugin>();
    if (!resolve(*library, "PluginAPIVersion", plugin->pluginAPIVersion) ||
        plugin->pluginAPIVersion() != PLUGIN_API_VERSION || !resolveAll(*library, *plugin)) {
        library->unload();
        return nullptr;
    }
    plugin->library = std::move(library);
    plugin->fileName = fromQString(QFileInfo(path).fileName());
    return plugin;
}

} // namespace

PluginHost::~PluginHost() {
    release();
}

std::size_t PluginHost::load(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(libraryPatterns(), QDir::Files, QDir::Name)) {
        std::unique_ptr<Plugin> plugin = loadPlugin(dir.filePath(name));
        if (!plugin)
            continue;
        plugin->initLibrary(&plugin->context1, &plugin->context2, &plugin->context3);
        m_plugins.push_back(std::move(plugin));
    }
    return m_plugins.size();
}

void PluginHost::release() {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        p->releaseLibrary(p->context1, p->context2, p->context3);
        p->library->unload();
    }
    m_plugins.clear();
}

std::string PluginHost::caption(std::size_t index) const {
    const char* text = m_plugins.at(index)->pluginCaption();
    return text ? std::string(text) : std::string();
}

PluginParam* PluginHost::parameters(std::size_t index) const {
    return static_cast<PluginParam*>(m_plugins.at(index)->context1);
}

const std::string& PluginHost::fileName(std::size_t index) const {
    return m_plugins.at(index)->fileName;
}

void PluginHost::writeParameters(std::size_t index, const PluginParamTable& values) {
    values.writeBack(parameters(index));
}

void PluginHost::preOrder(uint32_t counter, const std::string& rootpath, std::string& orderNumber,
                          std::string& folder) const {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer root(rootpath), number(orderNumber), path(folder);
        p->preOrderTx(counter, root.data(), number.data(), path.data(), p->context1, p->context2,
                      p->context3);
        number.takeBack(orderNumber);
        path.takeBack(folder);
    }
}

void PluginHost::shipping(const std::string& email, const std::string& orderNumber,
                          const std::string& shipping1, const std::string& shipping2,
                          const std::string& shipping3, uint32_t& flag1, uint32_t& flag2) const {
    flag1 = 0;
    flag2 = 0;
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer mail(email), number(orderNumber);
        ShippingBuffer text1(shipping1), text2(shipping2), text3(shipping3);
        p->onShippingHandling(mail.data(), number.data(), text1.data(), text2.data(), text3.data(),
                              p->context1, p->context2, p->context3, &flag1, &flag2);
    }
}

void PluginHost::beginData(const std::string& email, const std::string& orderNumber,
                           const std::string& folder, const PictureTable& pictures) const {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer mail(email), number(orderNumber), path(folder);
        p->onBeginDataTx(mail.data(), number.data(), path.data(), pictures.data(), pictures.count(),
                         p->context1, p->context2, p->context3);
    }
}

void PluginHost::dataStep(int fileIndex, const std::string& orderNumber, const std::string& folder,
                          const std::string& fileName, const PictureTableEntry* picture) const {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer number(orderNumber), path(folder), name(fileName);
        p->onDataTx(fileIndex, number.data(), path.data(), name.data(), picture, p->context1,
                    p->context2, p->context3);
    }
}

void PluginHost::endData(std::string& email, std::string& orderNumber, std::string& folder,
                         const PictureTable& pictures) const {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer mail(email), number(orderNumber), path(folder);
        p->onEndDataTx(mail.data(), number.data(), path.data(), pictures.data(), pictures.count(),
                       p->context1, p->context2, p->context3);
        mail.takeBack(email);
        number.takeBack(orderNumber);
        path.takeBack(folder);
    }
}

void PluginHost::postOrder(std::string& orderNumber, std::string& folder) const {
    for (const std::unique_ptr<Plugin>& p : m_plugins) {
        TextBuffer number(orderNumber), path(folder);
        p->postOrderTx(number.data(), path.data(), p->context1, p->context2, p->context3);
        number.takeBack(orderNumber);
        path.takeBack(folder);
    }
}

} // namespace quillon
