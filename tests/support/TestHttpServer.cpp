// Sockets first: the Windows headers pull in the old socket API otherwise.
#include <winsock2.h>

#include "tests/support/TestHttpServer.h"

#include <algorithm>

#include "tests/support/Wait.h"

namespace {
sockaddr_in Loopback(unsigned short port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// The request head, up to its blank line (at most 8 KB).
std::string ReadRequest(SOCKET client) {
    std::string request;
    char piece[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
        int got = ::recv(client, piece, sizeof(piece), 0);
        if (got <= 0) break;
        request.append(piece, got);
    }
    return request;
}

std::string RequestPath(const std::string& request) {
    size_t start = request.find(' ');
    size_t end = request.find(' ', start + 1);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : request.substr(start + 1, end - start - 1);
}

bool SendAll(SOCKET client, const std::string& data) {
    for (size_t sent = 0; sent < data.size();) {
        int n = ::send(client, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}
}  // namespace

std::string HttpResponse(const std::string& status, const std::string& body,
                         const std::string& headers) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

unsigned short UnusedPort() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int size = sizeof(address);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::closesocket(probe);
    ::WSACleanup();
    return ntohs(address.sin_port);
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

void TestHttpServer::Reply(std::string response) {
    m_mode = Mode::Reply;
    m_response = std::move(response);
}

void TestHttpServer::Stall() { m_mode = Mode::Stall; }

void TestHttpServer::SendHuge(size_t bytes) {
    m_mode = Mode::Huge;
    m_hugeBytes = bytes;
}

bool TestHttpServer::Start() {
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int size = sizeof(address);
    if (m_listener == INVALID_SOCKET ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 8) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
    return true;
}

void TestHttpServer::Stop() {
    ::SetEvent(m_stopEvent);
    if (m_listener != INVALID_SOCKET) ::closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    if (m_acceptThread.joinable()) m_acceptThread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (Socket client : m_openClients) ::shutdown(client, SD_BOTH);
    }
    for (std::thread& client : m_clients) client.join();
    m_clients.clear();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> TestHttpServer::RequestedPaths() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paths;
}

bool TestHttpServer::WaitForRequest(DWORD timeoutMs) const {
    return WaitUntil([&] { return !RequestedPaths().empty(); }, timeoutMs);
}

bool TestHttpServer::WaitForFinishedConnection(DWORD timeoutMs) const {
    return WaitUntil([&] { return m_finished > 0; }, timeoutMs);
}

void TestHttpServer::AcceptLoop() {
    for (;;) {
        Socket client = ::accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openClients.push_back(client);
        m_clients.emplace_back([this, client] { Serve(client); });
    }
}

void TestHttpServer::Serve(Socket client) {
    std::string path = RequestPath(ReadRequest(client));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paths.push_back(path);
    }
    if (m_mode == Mode::Reply) SendAll(client, m_response);
    if (m_mode == Mode::Huge) SendHugeBody(client);
    if (m_mode == Mode::Stall) ::WaitForSingleObject(m_stopEvent, INFINITE);
    ::shutdown(client, SD_SEND);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openClients.erase(std::find(m_openClients.begin(), m_openClients.end(), client));
    }
    ::closesocket(client);
    ++m_finished;
}

void TestHttpServer::SendHugeBody(Socket client) {
    std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(m_hugeBytes) +
                       "\r\nConnection: close\r\n\r\n";
    // Were it stored, this would offer a version and show the window.
    std::string start = "[Koravant]\r\nVERSION=9.9.9.9\r\nCHANGE=";
    if (!SendAll(client, head + start)) return;
    std::string filler(64 * 1024, 'x');
    for (size_t sent = start.size(); sent < m_hugeBytes; sent += filler.size()) {
        size_t piece = std::min(filler.size(), m_hugeBytes - sent);
        if (!SendAll(client, filler.substr(0, piece))) return;
    }
}
