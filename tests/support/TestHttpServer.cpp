// Sockets first: the Windows headers pull in the old socket API otherwise.
#include <winsock2.h>

#include "tests/support/TestHttpServer.h"

#include "tests/support/Wait.h"

namespace {
// The path of the request line, once the head has arrived (at most 8 KB are read).
std::string ReadRequestPath(SOCKET client) {
    std::string request;
    char piece[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
        int got = ::recv(client, piece, sizeof(piece), 0);
        if (got <= 0) break;
        request.append(piece, got);
    }
    size_t start = request.find(' ');
    size_t end = request.find(' ', start + 1);
    return end == std::string::npos ? std::string() : request.substr(start + 1, end - start - 1);
}

bool SendAll(SOCKET client, const std::string& data) {
    for (size_t sent = 0; sent < data.size();) {
        int n = ::send(client, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}
void SendHugeBody(SOCKET client) {
    // Were it stored, this would offer a version and show the window.
    std::string start = "[Koravant]\r\nVERSION=9.9.9.9\r\nCHANGE=", filler(64 * 1024, 'x');
    const int pieces = 160;  // 10 MB
    bool sent = SendAll(client, "HTTP/1.1 200 OK\r\nContent-Length: " +
                                    std::to_string(start.size() + pieces * filler.size()) +
                                    "\r\nConnection: close\r\n\r\n" + start);
    for (int i = 0; sent && i < pieces; ++i) sent = SendAll(client, filler);
}
}  // namespace

std::string HttpResponse(const std::string& status, const std::string& body,
                         const std::string& headers) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

TestHttpServer::TestHttpServer() : m_stopEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

TestHttpServer::~TestHttpServer() {
    Stop();
    ::CloseHandle(m_stopEvent);
    ::WSACleanup();
}

bool TestHttpServer::Start(std::string response, Mode mode) {
    m_response = std::move(response);
    m_mode = mode;
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (m_listener == INVALID_SOCKET ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 8) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
    if (mode == Mode::Refuse) Stop();
    return true;
}

void TestHttpServer::Stop() {
    ::SetEvent(m_stopEvent);
    if (m_listener != INVALID_SOCKET) ::closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    if (m_acceptThread.joinable()) m_acceptThread.join();
}

std::string TestHttpServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/update/update.ini";
}

std::vector<std::string> TestHttpServer::RequestedPaths() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paths;
}

bool TestHttpServer::WaitForConnection(DWORD timeoutMs) const {
    if (m_mode == Mode::Stall)
        return WaitUntil([&] { return !RequestedPaths().empty(); }, timeoutMs);
    return WaitUntil([&] { return m_finished > 0; }, timeoutMs);
}

// One client at a time: the program makes one request per check.
void TestHttpServer::AcceptLoop() {
    for (Socket client; (client = ::accept(m_listener, nullptr, nullptr)) != INVALID_SOCKET;) {
        std::string path = ReadRequestPath(client);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_paths.push_back(path);
        }
        if (m_mode == Mode::Reply) SendAll(client, m_response);
        if (m_mode == Mode::Huge) SendHugeBody(client);
        if (m_mode == Mode::Stall) ::WaitForSingleObject(m_stopEvent, INFINITE);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
        ++m_finished;
    }
}
