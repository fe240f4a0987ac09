#include "netlib/Email.h"

#include "netlib/AnsiText.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <utility>

namespace quillon {

namespace {

std::string contentTypeFor(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    static const std::pair<const char*, const char*> types[] = {
        {".pdf", "application/pdf"}, {".jpg", "image/jpeg"},      {".jpeg", "image/jpeg"},
        {".png", "image/png"},       {".bmp", "image/bmp"},       {".txt", "text/plain"},
        {".xml", "application/xml"}, {".zip", "application/zip"},
    };
    for (const auto& [e, type] : types)
        if (ext == e)
            return type;
    return "application/octet-stream";
}

// The name goes into a quoted header parameter: quotes, backslashes,
// control characters and characters outside ASCII are replaced.
std::string plainFileName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    for (char& c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\')
            c = '_';
    }
    return name.empty() ? "attachment" : name;
}

} // namespace

std::string Email::AddFileAttachment(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = ansiPath(path);
    if (path.empty() || !std::filesystem::is_regular_file(p, ec))
        return {};
    auto size = std::filesystem::file_size(p, ec);
    if (ec || size > kMaxAttachmentSize)
        return {};
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return {};
    std::string data;
    data.reserve(size_t(size));
    // Read with a bound: the file may have grown since it was measured.
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        data.append(buffer, size_t(in.gcount()));
        if (data.size() > kMaxAttachmentSize)
            return {};
    }
    if (in.bad())
        return {};
    EmailAttachment a{plainFileName(path), contentTypeFor(p), std::move(data)};
    std::string type = a.contentType;
    m_attachments.push_back(std::move(a));
    return type;
}

} // namespace quillon
