#pragma once
// The update description's download over HTTP (WinINet). Whatever body arrives is stored,
// whatever the status; a redirect is stored, not followed.
#include <cstddef>
#include <string>

// Far above any real description: a body that never ends must not fill the disk.
constexpr size_t kDownloadLimit = 64 * 1024;

struct HttpUrl {
    std::string host;
    unsigned short port = 0;
    std::string path;  // with its query, if any
};

// False for anything but a well-formed http:// URL.
bool ParseHttpUrl(const std::string& url, HttpUrl& out);

// Downloads `url` into `target`: through a temporary file beside it, which replaces `target`
// only once the whole body (at most `limit` bytes) has arrived. On any failure `target` keeps
// its previous content and the temporary file is gone. `agent` names the program to the server.
bool DownloadToFile(const std::string& url, const std::string& target, const char* agent,
                    size_t limit = kDownloadLimit);
