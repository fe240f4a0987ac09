#pragma once

// libcurl, loaded the first time a mail or a file transfer needs it rather
// than with the program: it brings some twenty libraries of its own, whose
// loading held up every start of the shop. The functions are libcurl's, by
// the same names without the "curl_" prefix.
#include <curl/curl.h>

#include <string>

namespace quillon::curl {

// Loads the library and sets it up, once; empty when it is loaded, else why
// not. Thread-safe.
const std::string& load();

// " (why)" to add to a failure when the library could not be loaded, else
// nothing.
std::string loadFailure();

decltype(&::curl_easy_setopt) easy_setopt_function();

// Make a handle; none when the library cannot be loaded. The other functions
// take only what these made.
CURL* easy_init();
CURLU* url();

void easy_cleanup(CURL* handle);
// The option's value as libcurl's own curl_easy_setopt() takes it: a long, a
// curl_off_t, or a pointer.
template <class Value> CURLcode easy_setopt(CURL* handle, CURLoption option, Value value) {
    return easy_setopt_function()(handle, option, value);
}
CURLcode easy_getinfo(CURL* handle, CURLINFO info, long* value);
CURLcode easy_perform(CURL* handle);
const char* easy_strerror(CURLcode code);
char* easy_escape(CURL* handle, const char* text, int length);
void free(void* p);
curl_slist* slist_append(curl_slist* list, const char* text);
void slist_free_all(curl_slist* list);
curl_mime* mime_init(CURL* handle);
void mime_free(curl_mime* mime);
curl_mimepart* mime_addpart(curl_mime* mime);
CURLcode mime_data(curl_mimepart* part, const char* data, size_t size);
CURLcode mime_type(curl_mimepart* part, const char* type);
CURLcode mime_filename(curl_mimepart* part, const char* name);
CURLcode mime_encoder(curl_mimepart* part, const char* encoding);
void url_cleanup(CURLU* url);
CURLUcode url_get(CURLU* url, CURLUPart what, char** part, unsigned flags);
CURLUcode url_set(CURLU* url, CURLUPart what, const char* part, unsigned flags);

} // namespace quillon::curl
