#include "netlib/CurlLibrary.h"

#include <dlfcn.h>
#include <mutex>

namespace quillon::curl {

namespace {

// The library by its ABI's name, as the dynamic linker would find it.
constexpr const char* kLibrary = "libcurl.so.4";

struct Functions {
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_perform) easy_perform;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_easy_escape) easy_escape;
    decltype(&::curl_free) free;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
    decltype(&::curl_mime_init) mime_init;
    decltype(&::curl_mime_free) mime_free;
    decltype(&::curl_mime_addpart) mime_addpart;
    decltype(&::curl_mime_data) mime_data;
    decltype(&::curl_mime_type) mime_type;
    decltype(&::curl_mime_filename) mime_filename;
    decltype(&::curl_mime_encoder) mime_encoder;
    decltype(&::curl_url) url;
    decltype(&::curl_url_cleanup) url_cleanup;
    decltype(&::curl_url_get) url_get;
    decltype(&::curl_url_set) url_set;
};

Functions g_functions{};
std::string g_error;
std::once_flag g_loaded;

template <class Function> bool bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// The library stays loaded until the process ends.
void loadOnce() {
    void* library = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        g_error = why ? why : std::string(kLibrary) + " cannot be loaded";
        return;
    }
    Functions f{};
    const bool bound =
        bind(library, "curl_global_init", f.global_init) &&
        bind(library, "curl_easy_init", f.easy_init) &&
        bind(library, "curl_easy_cleanup", f.easy_cleanup) &&
        bind(library, "curl_easy_setopt", f.easy_setopt) &&
        bind(library, "curl_easy_getinfo", f.easy_getinfo) &&
        bind(library, "curl_easy_perform", f.easy_perform) &&
        bind(library, "curl_easy_strerror", f.easy_strerror) &&
        bind(library, "curl_easy_escape", f.easy_escape) && bind(library, "curl_free", f.free) &&
        bind(library, "curl_slist_append", f.slist_append) &&
        bind(library, "curl_slist_free_all", f.slist_free_all) &&
        bind(library, "curl_mime_init", f.mime_init) &&
        bind(library, "curl_mime_free", f.mime_free) &&
        bind(library, "curl_mime_addpart", f.mime_addpart) &&
        bind(library, "curl_mime_data", f.mime_data) &&
        bind(library, "curl_mime_type", f.mime_type) &&
        bind(library, "curl_mime_filename", f.mime_filename) &&
        bind(library, "curl_mime_encoder", f.mime_encoder) && bind(library, "curl_url", f.url) &&
        bind(library, "curl_url_cleanup", f.url_cleanup) &&
        bind(library, "curl_url_get", f.url_get) && bind(library, "curl_url_set", f.url_set);
    if (!bound) {
        g_error = std::string(kLibrary) + " lacks functions this program needs";
        return;
    }
    if (f.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        g_error = std::string(kLibrary) + " could not be set up";
        return;
    }
    g_functions = f;
}

const Functions& f() {
    return g_functions;
}

} // namespace

const std::string& load() {
    std::call_once(g_loaded, loadOnce);
    return g_error;
}

std::string loadFailure() {
    const std::string& why = load();
    return why.empty() ? why : " (" + why + ")";
}

CURL* easy_init() {
    return load().empty() ? f().easy_init() : nullptr;
}

CURLU* url() {
    return load().empty() ? f().url() : nullptr;
}

decltype(&::curl_easy_setopt) easy_setopt_function() {
    return f().easy_setopt;
}

void easy_cleanup(CURL* handle) {
    f().easy_cleanup(handle);
}

CURLcode easy_getinfo(CURL* handle, CURLINFO info, long* value) {
    return f().easy_getinfo(handle, info, value);
}

CURLcode easy_perform(CURL* handle) {
    return f().easy_perform(handle);
}

const char* easy_strerror(CURLcode code) {
    return f().easy_strerror(code);
}

char* easy_escape(CURL* handle, const char* text, int length) {
    return f().easy_escape(handle, text, length);
}

void free(void* p) {
    f().free(p);
}

curl_slist* slist_append(curl_slist* list, const char* text) {
    return f().slist_append(list, text);
}

void slist_free_all(curl_slist* list) {
    f().slist_free_all(list);
}

curl_mime* mime_init(CURL* handle) {
    return f().mime_init(handle);
}

void mime_free(curl_mime* mime) {
    f().mime_free(mime);
}

curl_mimepart* mime_addpart(curl_mime* mime) {
    return f().mime_addpart(mime);
}

CURLcode mime_data(curl_mimepart* part, const char* data, size_t size) {
    return f().mime_data(part, data, size);
}

CURLcode mime_type(curl_mimepart* part, const char* type) {
    return f().mime_type(part, type);
}

CURLcode mime_filename(curl_mimepart* part, const char* name) {
    return f().mime_filename(part, name);
}

CURLcode mime_encoder(curl_mimepart* part, const char* encoding) {
    return f().mime_encoder(part, encoding);
}

void url_cleanup(CURLU* url) {
    f().url_cleanup(url);
}

CURLUcode url_get(CURLU* url, CURLUPart what, char** part, unsigned flags) {
    return f().url_get(url, what, part, flags);
}

CURLUcode url_set(CURLU* url, CURLUPart what, const char* part, unsigned flags) {
    return f().url_set(url, what, part, flags);
}

} // namespace quillon::curl
