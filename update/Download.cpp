#include "update/Download.h"

#include <windows.h>
#include <wininet.h>

#include "framework/FileSystem.h"
#include "framework/Handles.h"
#include "framework/LateImport.h"

namespace {
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kPieceSize = 2048;
constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NEED_FILE;
static_assert(kRequestFlags == 0x24200010);
constexpr DWORD_PTR kContext = 1;
// Loaded when the first download starts.
constexpr char kWinInet[] = "wininet.dll";

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { LATE_CALL(kWinInet, InternetCloseHandle, h); }
};
using ScopedInternetHandle = ScopedResource<InternetHandleTraits>;

// The length the server announced, or 0 when it announced none.
DWORD AnnouncedLength(HINTERNET request) {
    DWORD length = 0, size = sizeof(length);
    if (!LATE_CALL(kWinInet, HttpQueryInfoA, request,
                   HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
        return 0;
    return length;
}

// Copies the body into `file`; false when a read or write fails, the body outgrows `limit`
// or ends before the length the server announced.
bool CopyBody(HINTERNET request, HANDLE file, size_t limit) {
    char piece[kPieceSize];
    size_t total = 0;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!LATE_CALL(kWinInet, InternetReadFile, request, piece, sizeof(piece), &got))
            return false;
        if (got == 0) break;
        total += got;
        if (total > limit) return false;
        if (!::WriteFile(file, piece, got, &written, nullptr) || written != got) return false;
    }
    DWORD announced = AnnouncedLength(request);
    return announced == 0 || total >= announced;
}

bool StoreBody(HINTERNET request, const std::string& target, size_t limit) {
    std::string folder = target.substr(0, target.find_last_of('\\') + 1);
    std::string temporary = CreateTempFileUtf8(folder, "upd");
    if (temporary.empty()) return false;
    ScopedHandle file(CreateFileUtf8(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS));
    bool copied = file && CopyBody(request, file.get(), limit);
    file.reset();
    if (copied && MoveFileReplacingUtf8(temporary, target)) return true;
    DeleteFileUtf8(temporary);
    return false;
}

HINTERNET OpenRequest(HINTERNET connection, const std::string& path) {
    return LATE_CALL(kWinInet, HttpOpenRequestA, connection, "GET", path.c_str(), nullptr, nullptr,
                     nullptr, kRequestFlags, kContext);
}
}  // namespace

bool ParseHttpUrl(const std::string& url, HttpUrl& out) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    char path[INTERNET_MAX_PATH_LENGTH] = {};
    char extra[INTERNET_MAX_PATH_LENGTH] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof(path);
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof(extra);
    if (!LATE_CALL(kWinInet, InternetCrackUrlA, url.c_str(), 0, 0, &parts) ||
        parts.nScheme != INTERNET_SCHEME_HTTP || host[0] == '\0')
        return false;
    out.host = host;
    out.port = parts.nPort;
    out.path = std::string(path[0] ? path : "/") + extra;
    return true;
}

bool DownloadToFile(const std::string& url, const std::string& target, const char* agent,
                    size_t limit) {
    HttpUrl parts;
    if (!FitsPathLimit(target) || !ParseHttpUrl(url, parts)) return false;
    ScopedInternetHandle session(LATE_CALL(kWinInet, InternetOpenA, agent,
                                           INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    DWORD timeout = kConnectTimeoutMs;
    if (!LATE_CALL(kWinInet, InternetSetOptionA, session.get(), INTERNET_OPTION_CONNECT_TIMEOUT,
                   &timeout, sizeof(timeout)))
        return false;
    ScopedInternetHandle connection(LATE_CALL(kWinInet, InternetConnectA, session.get(),
                                              parts.host.c_str(), parts.port, nullptr, nullptr,
                                              INTERNET_SERVICE_HTTP, 0, kContext));
    if (!connection) return false;
    ScopedInternetHandle request(OpenRequest(connection.get(), parts.path));
    if (!request || !LATE_CALL(kWinInet, HttpSendRequestA, request.get(), nullptr, 0, nullptr, 0))
        return false;
    // The temporary file is gone before the request closes.
    return StoreBody(request.get(), target, limit);
}
