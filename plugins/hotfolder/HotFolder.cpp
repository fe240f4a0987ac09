// Hot folder plug-in: when an order is complete, it puts each picture of the
// order into a folder per product code under a hot folder, where a printing
// station or a lab picks them up.
//
// For a picture with product lines (code 10, quantity 2) and (code 20,
// quantity 1) of order 000042 the hot folder gets
//   <hot folder>/10/000042_<file name>
//   <hot folder>/20/000042_<file name>
// or, with "Quantity in file name" on, 10/000042_2x_<file name> and
// 20/000042_1x_<file name>. Lines with a quantity below 1 are left out.
//
// Parameters (edited in the shop's plug-in parameters dialog):
//   "Enabled"                flag, off at first
//   "Hot folder"             text, the folder to fill
//   "Transfer"               choice "Copy" or "Link": a link is a hard link,
//                            made as a copy where the hot folder lies on
//                            another file system
//   "Quantity in file name"  flag
//
// The picture table is only given to OnEndDataTx, on the order's reception
// thread; the plug-in keeps a copy per order and uses it in PostOrderTx on
// the user-interface thread. Plug-ins after this one may rewrite the order
// number or folder in between, so a kept order is found by the number and,
// failing that, by the folder it was kept under.

#include "plugin_api.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <iconv.h>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t keptOrderLimit = 256;

char hotFolderPath[PLUGIN_TEXT_SIZE] = "";

enum ParameterIndex { Enabled, HotFolderPath, Transfer, QuantityInName };

PluginParam parameterTable[] = {
    {PLUGIN_PARAM_FLAG, "Enabled", {.flag = 0}, 0},
    {PLUGIN_PARAM_TEXT, "Hot folder", {.text = hotFolderPath}, sizeof hotFolderPath},
    {PLUGIN_PARAM_CHOICE, "Transfer", {.choices = "Copy;Link;"}, 0},
    {PLUGIN_PARAM_FLAG, "Quantity in file name", {.flag = 0}, 0},
    {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0},
};

struct KeptPicture {
    std::string fileName;
    std::vector<PictureTableItem> items;
};

struct KeptOrder {
    std::string number;
    std::string folder;
    std::vector<KeptPicture> pictures;
};

std::mutex keptMutex;
std::deque<KeptOrder> keptOrders;

std::string bounded(const char* text) {
    return text ? std::string(text, strnlen(text, PLUGIN_TEXT_SIZE)) : std::string();
}

void keep(KeptOrder order) {
    std::lock_guard<std::mutex> lock(keptMutex);
    std::erase_if(keptOrders, [&](const KeptOrder& o) { return o.number == order.number; });
    // Orders that never complete must not pile up.
    if (keptOrders.size() >= keptOrderLimit)
        keptOrders.pop_front();
    keptOrders.push_back(std::move(order));
}

bool takeKept(const std::string& number, const std::string& folder, KeptOrder& order) {
    std::lock_guard<std::mutex> lock(keptMutex);
    auto found = std::find_if(keptOrders.begin(), keptOrders.end(),
                              [&](const KeptOrder& o) { return o.number == number; });
    if (found == keptOrders.end())
        found = std::find_if(keptOrders.begin(), keptOrders.end(),
                             [&](const KeptOrder& o) { return o.folder == folder; });
    if (found == keptOrders.end())
        return false;
    order = std::move(*found);
    keptOrders.erase(found);
    return true;
}

// Picture names come from the network: only a plain name is used.
bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

std::string plainPart(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    return text;
}

// The file a text of the shop names, as the shop names it: the text read as
// Windows-1252, in UTF-8. The five bytes Windows-1252 leaves unassigned
// stand for the control characters of the same number. Empty when the C
// library cannot convert from Windows-1252.
fs::path ansiPath(const std::string& ansi) {
    const iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
    if (converter == iconv_t(-1))
        return {};
    // No character of Windows-1252 takes more than three bytes in UTF-8.
    std::string utf8(3 * ansi.size(), '\0');
    char* in = const_cast<char*>(ansi.data());
    std::size_t inLeft = ansi.size();
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    while (iconv(converter, &in, &inLeft, &out, &outLeft) == std::size_t(-1) && inLeft > 0) {
        // An unassigned byte (0x81, 0x8D, 0x8F, 0x90 or 0x9D).
        const auto byte = static_cast<unsigned char>(*in++);
        --inLeft;
        *out++ = char(0xC0 | (byte >> 6));
        *out++ = char(0x80 | (byte & 0x3F));
        outLeft -= 2;
    }
    iconv_close(converter);
    utf8.resize(utf8.size() - outLeft);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Copies through a temporary name, so that whoever watches the hot folder
// never picks up half a file.
bool copyInto(const fs::path& source, const fs::path& target) {
    std::error_code error;
    fs::path partial = target;
    partial += ".part";
    if (!fs::copy_file(source, partial, fs::copy_options::overwrite_existing, error))
        return false;
    fs::rename(partial, target, error);
    if (error)
        fs::remove(partial, error);
    return !error;
}

bool linkInto(const fs::path& source, const fs::path& target) {
    std::error_code error;
    fs::remove(target, error);
    fs::create_hard_link(source, target, error);
    return !error || copyInto(source, target);
}

fs::path sourceOf(const KeptPicture& picture, const std::string& folder,
                  const std::string& keptFolder) {
    std::error_code error;
    fs::path path = ansiPath(folder) / ansiPath(picture.fileName);
    if (!fs::is_regular_file(path, error))
        path = ansiPath(keptFolder) / ansiPath(picture.fileName);
    return path;
}

void deliver(const KeptOrder& order, const std::string& number, const std::string& folder) {
    const fs::path hotFolder = ansiPath(bounded(hotFolderPath));
    if (hotFolder.empty())
        return;
    const bool link = parameterTable[Transfer].sizeOrIndex == 1;
    const bool withQuantity = parameterTable[QuantityInName].value.flag != 0;
    const std::string prefix = plainPart(number) + "_";
    for (const KeptPicture& picture : order.pictures) {
        if (!isPlainName(picture.fileName))
            continue;
        const fs::path source = sourceOf(picture, folder, order.folder);
        for (const PictureTableItem& item : picture.items) {
            if (item.quantity < 1)
                continue;
            std::error_code error;
            const fs::path codeFolder = hotFolder / std::to_string(item.code);
            fs::create_directories(codeFolder, error);
            std::string name = prefix;
            if (withQuantity)
                name += std::to_string(item.quantity) + "x_";
            name += picture.fileName;
            if (link)
                linkInto(source, codeFolder / ansiPath(name));
            else
                copyInto(source, codeFolder / ansiPath(name));
        }
    }
}

} // namespace

extern "C" {

PLUGIN_EXPORT uint32_t PLUGIN_CALL PluginAPIVersion(void) {
    return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* PLUGIN_CALL PluginCaption(void) {
    return "Hot folder";
}

PLUGIN_EXPORT int32_t PLUGIN_CALL InitLibrary(void** context1, void** context2, void** context3) {
    *context1 = parameterTable;
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL ReleaseLibrary(void* context1, void* context2, void* context3) {
    std::lock_guard<std::mutex> lock(keptMutex);
    keptOrders.clear();
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL PreOrderTx(uint32_t counter, char* rootpath, char* orderNumber,
                                             char* orderFolder, void* context1, void* context2,
                                             void* context3) {
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnShippingHandling(char* email, char* orderNumber,
                                                     char* shipping1, char* shipping2,
                                                     char* shipping3, void* context1,
                                                     void* context2, void* context3,
                                                     uint32_t* flag1, uint32_t* flag2) {
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnBeginDataTx(char* email, char* orderNumber, char* orderFolder,
                                                const PictureTableEntry* pictures,
                                                int32_t pictureCount, void* context1,
                                                void* context2, void* context3) {
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnDataTx(int32_t fileIndex, char* orderNumber, char* orderFolder,
                                           char* fileName, const PictureTableEntry* picture,
                                           void* context1, void* context2, void* context3) {
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnEndDataTx(char* email, char* orderNumber, char* orderFolder,
                                              const PictureTableEntry* pictures,
                                              int32_t pictureCount, void* context1, void* context2,
                                              void* context3) {
    // No exception may cross into the shop.
    try {
        KeptOrder order{bounded(orderNumber), bounded(orderFolder), {}};
        for (int32_t i = 0; pictures && i < pictureCount; ++i) {
            const PictureTableEntry& entry = pictures[i];
            KeptPicture picture{bounded(entry.fileName), {}};
            if (entry.items && entry.itemCount > 0)
                picture.items.assign(entry.items, entry.items + entry.itemCount);
            order.pictures.push_back(std::move(picture));
        }
        keep(std::move(order));
    } catch (...) {
    }
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL PostOrderTx(char* orderNumber, char* orderFolder, void* context1,
                                              void* context2, void* context3) {
    try {
        const std::string number = bounded(orderNumber);
        const std::string folder = bounded(orderFolder);
        KeptOrder order;
        if (!takeKept(number, folder, order))
            return 0;
        if (parameterTable[Enabled].value.flag != 0 && hotFolderPath[0] != '\0')
            deliver(order, number, folder);
    } catch (...) {
    }
    return 0;
}

} // extern "C"
