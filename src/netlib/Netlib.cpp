#include "netlib/Socket.h"

#include <curl/curl.h>
#include <mutex>

namespace quillon {

namespace {
std::once_flag g_initOnce;
}

void netlibInit() {
    std::call_once(g_initOnce, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void netlibCleanup() {
    curl_global_cleanup();
}

} // namespace quillon
