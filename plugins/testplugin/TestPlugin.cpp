// A plug-in for the shop's tests: it records every call it gets and rewrites
// texts when asked to.
//
// Several copies of the library may be loaded at once (testplugin_a.so,
// testplugin_b.so, ...). Each copy takes its tag from its own file name
// without the extension: the log tag is that name ("testplugin_a"), the
// environment tag is it upper-cased with every other character than a
// letter or digit turned into "_" ("TESTPLUGIN_A").
//
// Environment variables, read at each call:
//   QUILLON_TESTPLUGIN_LOG             file every copy appends one line per
//                                      call to: "<tag>|<export>|<args>..."
//   QUILLON_TESTPLUGIN_<TAG>_PRE       PreOrderTx prepends it to the order
//                                      number, to the folder's last part and
//                                      to the rootpath buffer
//   QUILLON_TESTPLUGIN_<TAG>_FLAGS     "a,b": OnShippingHandling adds a to
//                                      flag 1 and b to flag 2
//   QUILLON_TESTPLUGIN_<TAG>_END       OnEndDataTx prepends it to the e-mail
//                                      address, the number and the folder's
//                                      last part
//   QUILLON_TESTPLUGIN_<TAG>_POST      PostOrderTx prepends it to the number
//                                      and the folder's last part
//   QUILLON_TESTPLUGIN_<TAG>_FILL      "1": every step that may rewrite texts
//                                      fills those buffers with "Z" to the
//                                      last byte, leaving no NUL
//   QUILLON_TESTPLUGIN_<TAG>_NOPARAMS  "1": InitLibrary publishes no
//                                      parameter table
//   QUILLON_TESTPLUGIN_<TAG>_PARAMS    "1": PreOrderTx first logs the
//                                      parameters as it sees them:
//                                      "<tag>|Parameters|Enabled=1|Copies=2|
//                                      Rate=1.50|Label=label|Size=1"
//
// A call whose contexts differ from what InitLibrary handed out gets
// "|bad-context" at the end of its line.
//
// Built with TESTPLUGIN_BAD_VERSION the library reports a version the shop
// refuses; built with TESTPLUGIN_NO_END_DATA it lacks OnEndDataTx.

#include "plugin_api.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::mutex logMutex;
char labelText[32] = "label";
int contextMark = 0;

PluginParam parameterTable[] = {
    {PLUGIN_PARAM_FLAG, "Enabled", {.flag = 1}, 0},
    {PLUGIN_PARAM_INTEGER, "Copies", {.integer = 2}, 0},
    {PLUGIN_PARAM_DECIMAL, "Rate", {.decimal = 1.5f}, 0},
    {PLUGIN_PARAM_TEXT, "Label", {.text = labelText}, sizeof labelText},
    {PLUGIN_PARAM_CHOICE, "Size", {.choices = "Small;Large;"}, 1},
    {PLUGIN_PARAM_END, nullptr, {.integer = 0}, 0},
};

std::string libraryPath() {
#ifdef _WIN32
    HMODULE module = nullptr;
    char path[MAX_PATH] = {};
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&libraryPath), &module))
        GetModuleFileNameA(module, path, MAX_PATH);
    return path;
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryPath), &info) && info.dli_fname)
        return info.dli_fname;
    return {};
#endif
}

const std::string& logTag() {
    static const std::string tag = [] {
        std::string path = libraryPath();
        std::size_t slash = path.find_last_of("/\\");
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        return name.substr(0, name.find('.'));
    }();
    return tag;
}

std::string setting(const char* key) {
    std::string name = "QUILLON_TESTPLUGIN_";
    for (char c : logTag())
        name += std::isalnum(static_cast<unsigned char>(c))
                    ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                    : '_';
    name += '_';
    name += key;
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

void writeLine(std::string line) {
    const char* path = std::getenv("QUILLON_TESTPLUGIN_LOG");
    if (!path || !*path)
        return;
    line += '\n';
    // One write per line on a file opened for appending, so lines of copies
    // and threads writing at the same time never mix.
    std::lock_guard<std::mutex> lock(logMutex);
#ifdef _WIN32
    int fd = _open(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
        _write(fd, line.data(), static_cast<unsigned>(line.size()));
        _close(fd);
    }
#else
    int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ssize_t written = ::write(fd, line.data(), line.size());
        (void)written;
        ::close(fd);
    }
#endif
}

std::string bounded(const char* text, std::size_t size) {
    return text ? std::string(text, strnlen(text, size)) : std::string("(null)");
}

bool contextsValid(void* c1, void* c2, void* c3) {
    void* table = setting("NOPARAMS") == "1" ? nullptr : parameterTable;
    return c1 == table && c2 == &logMutex && c3 == &contextMark;
}

void log(std::string line, void* c1, void* c2, void* c3) {
    if (!contextsValid(c1, c2, c3))
        line += "|bad-context";
    writeLine(logTag() + "|" + line);
}

std::string describe(const PictureTableEntry* picture) {
    if (!picture)
        return "-";
    std::string text = bounded(picture->fileName, PLUGIN_TEXT_SIZE) + ":";
    for (int32_t i = 0; i < picture->itemCount; ++i) {
        if (i > 0)
            text += "+";
        text += std::to_string(picture->items[i].code) + "*" +
                std::to_string(picture->items[i].quantity);
    }
    return text;
}

std::string describe(const PictureTableEntry* pictures, int32_t count) {
    std::string text = std::to_string(count);
    for (int32_t i = 0; i < count && pictures; ++i)
        text += "|" + describe(&pictures[i]);
    return text;
}

void store(char* buffer, const std::string& text) {
    std::size_t length = std::min(text.size(), std::size_t(PLUGIN_TEXT_SIZE - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void fill(char* buffer) {
    std::memset(buffer, 'Z', PLUGIN_TEXT_SIZE);
}

void prependToText(char* buffer, const std::string& prefix) {
    store(buffer, prefix + bounded(buffer, PLUGIN_TEXT_SIZE));
}

void prependToLastPart(char* buffer, const std::string& prefix) {
    std::string path = bounded(buffer, PLUGIN_TEXT_SIZE);
    std::size_t slash = path.find_last_of("/\\");
    std::size_t at = slash == std::string::npos ? 0 : slash + 1;
    store(buffer, path.insert(at, prefix));
}

std::string describeParameters() {
    std::string text = "Parameters";
    for (const PluginParam* p = parameterTable; p->type != PLUGIN_PARAM_END; ++p) {
        text += std::string("|") + p->name + "=";
        char rate[32];
        switch (p->type) {
        case PLUGIN_PARAM_FLAG:
            text += std::to_string(p->value.flag);
            break;
        case PLUGIN_PARAM_INTEGER:
            text += std::to_string(p->value.integer);
            break;
        case PLUGIN_PARAM_DECIMAL:
            text.append(rate, std::to_chars(rate, rate + sizeof rate, p->value.decimal,
                                            std::chars_format::fixed, 2)
                                  .ptr);
            break;
        case PLUGIN_PARAM_TEXT:
            text += bounded(p->value.text, p->sizeOrIndex);
            break;
        case PLUGIN_PARAM_CHOICE:
            text += std::to_string(p->sizeOrIndex);
            break;
        }
    }
    return text;
}

void addFlag(uint32_t* flag, const std::string& amount) {
    if (flag && !amount.empty())
        *flag += static_cast<uint32_t>(std::strtoul(amount.c_str(), nullptr, 10));
}

} // namespace

extern "C" {

PLUGIN_EXPORT uint32_t PLUGIN_CALL PluginAPIVersion(void) {
    writeLine(logTag() + "|PluginAPIVersion");
#ifdef TESTPLUGIN_BAD_VERSION
    return 0x00010000u;
#else
    return PLUGIN_API_VERSION;
#endif
}

PLUGIN_EXPORT const char* PLUGIN_CALL PluginCaption(void) {
    static const std::string caption = "Test plug-in " + logTag();
    return caption.c_str();
}

PLUGIN_EXPORT int32_t PLUGIN_CALL InitLibrary(void** context1, void** context2, void** context3) {
    bool clean = *context1 == nullptr && *context2 == nullptr && *context3 == nullptr;
    writeLine(logTag() + "|InitLibrary" + (clean ? "" : "|bad-context"));
    *context1 = setting("NOPARAMS") == "1" ? nullptr : parameterTable;
    *context2 = &logMutex;
    *context3 = &contextMark;
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL ReleaseLibrary(void* context1, void* context2, void* context3) {
    log("ReleaseLibrary", context1, context2, context3);
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL PreOrderTx(uint32_t counter, char* rootpath, char* orderNumber,
                                             char* orderFolder, void* context1, void* context2,
                                             void* context3) {
    if (setting("PARAMS") == "1")
        log(describeParameters(), context1, context2, context3);
    log("PreOrderTx|" + std::to_string(counter) + "|" + bounded(rootpath, PLUGIN_TEXT_SIZE) + "|" +
            bounded(orderNumber, PLUGIN_TEXT_SIZE) + "|" + bounded(orderFolder, PLUGIN_TEXT_SIZE),
        context1, context2, context3);
    if (setting("FILL") == "1") {
        fill(orderNumber);
        fill(orderFolder);
    } else if (std::string prefix = setting("PRE"); !prefix.empty()) {
        prependToText(rootpath, prefix);
        prependToText(orderNumber, prefix);
        prependToLastPart(orderFolder, prefix);
    }
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnShippingHandling(char* email, char* orderNumber,
                                                     char* shipping1, char* shipping2,
                                                     char* shipping3, void* context1,
                                                     void* context2, void* context3,
                                                     uint32_t* flag1, uint32_t* flag2) {
    log("OnShippingHandling|" + bounded(email, PLUGIN_TEXT_SIZE) + "|" +
            bounded(orderNumber, PLUGIN_TEXT_SIZE) + "|" +
            bounded(shipping1, PLUGIN_SHIPPING_TEXT_SIZE) + "|" +
            bounded(shipping2, PLUGIN_SHIPPING_TEXT_SIZE) + "|" +
            bounded(shipping3, PLUGIN_SHIPPING_TEXT_SIZE) + "|" +
            (flag1 ? std::to_string(*flag1) : "-") + "|" + (flag2 ? std::to_string(*flag2) : "-"),
        context1, context2, context3);
    std::string flags = setting("FLAGS");
    std::size_t comma = flags.find(',');
    if (comma != std::string::npos) {
        addFlag(flag1, flags.substr(0, comma));
        addFlag(flag2, flags.substr(comma + 1));
    }
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnBeginDataTx(char* email, char* orderNumber, char* orderFolder,
                                                const PictureTableEntry* pictures,
                                                int32_t pictureCount, void* context1,
                                                void* context2, void* context3) {
    log("OnBeginDataTx|" + bounded(email, PLUGIN_TEXT_SIZE) + "|" +
            bounded(orderNumber, PLUGIN_TEXT_SIZE) + "|" + bounded(orderFolder, PLUGIN_TEXT_SIZE) +
            "|" + describe(pictures, pictureCount),
        context1, context2, context3);
    return 0;
}

PLUGIN_EXPORT int32_t PLUGIN_CALL OnDataTx(int32_t fileIndex, char* orderNumber, char* orderFolder,
                                           char* fileName, const PictureTableEntry* picture,
                                           void* context1, void* context2, void* context3) {
    log("OnDataTx|" + std::to_string(fileIndex) + "|" + bounded(orderNumber, PLUGIN_TEXT_SIZE) +
            "|" + bounded(orderFolder, PLUGIN_TEXT_SIZE) + "|" +
            bounded(fileName, PLUGIN_TEXT_SIZE) + "|" + describe(picture),
        context1, context2, context3);
    return 0;
}

#ifndef TESTPLUGIN_NO_END_DATA
PLUGIN_EXPORT int32_t PLUGIN_CALL OnEndDataTx(char* email, char* orderNumber, char* orderFolder,
                                              const PictureTableEntry* pictures,
                                              int32_t pictureCount, void* context1, void* context2,
                                              void* context3) {
    log("OnEndDataTx|" + bounded(email, PLUGIN_TEXT_SIZE) + "|" +
            bounded(orderNumber, PLUGIN_TEXT_SIZE) + "|" + bounded(orderFolder, PLUGIN_TEXT_SIZE) +
            "|" + describe(pictures, pictureCount),
        context1, context2, context3);
    if (setting("FILL") == "1") {
        fill(email);
        fill(orderNumber);
        fill(orderFolder);
    } else if (std::string prefix = setting("END"); !prefix.empty()) {
        prependToText(email, prefix);
        prependToText(orderNumber, prefix);
        prependToLastPart(orderFolder, prefix);
    }
    return 0;
}
#endif

PLUGIN_EXPORT int32_t PLUGIN_CALL PostOrderTx(char* orderNumber, char* orderFolder, void* context1,
                                              void* context2, void* context3) {
    log("PostOrderTx|" + bounded(orderNumber, PLUGIN_TEXT_SIZE) + "|" +
            bounded(orderFolder, PLUGIN_TEXT_SIZE),
        context1, context2, context3);
    if (setting("FILL") == "1") {
        fill(orderNumber);
        fill(orderFolder);
    } else if (std::string prefix = setting("POST"); !prefix.empty()) {
        prependToText(orderNumber, prefix);
        prependToLastPart(orderFolder, prefix);
    }
    return 0;
}

} // extern "C"
