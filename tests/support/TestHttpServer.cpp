// Sockets first: the Windows headers pull in the old socket API otherwise.
#include <winsock2.h>

#include "tests/support/TestHttpServer.h"

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

// Until all is sent or the client has gone.
void SendAll(SOCKET client, const std::string& data) {
    int size = static_cast<int>(data.size());
    for (int sent = 0, n = 0; sent < size; sent += n)
        if ((n = ::send(client, data.data() + sent, size - sent, 0)) <= 0) return;
}
}  // namespace

bool TestHttpServer::Start(std::string response, Mode mode) {
    static WSADATA winsock;
    static const bool started = ::WSAStartup(MAKEWORD(2, 2), &winsock) == 0;
    // Were it stored, the huge body would offer a version and show the window.
    if (mode == Mode::Huge)
        response = HttpResponse(
            "200 OK", "[Koravant]\r\nVERSION=9.9.9.9\r\nCHANGE=" + std::string(10 << 20, 'x'));
    m_response = std::move(response);
    m_mode = mode;
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (!started || m_listener == INVALID_SOCKET ||
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
    m_stopping = true;
    if (m_listener != INVALID_SOCKET) ::closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    if (m_acceptThread.joinable()) m_acceptThread.join();
}

// One client at a time: the program makes one request per check.
void TestHttpServer::AcceptLoop() {
    for (Socket client; (client = ::accept(m_listener, nullptr, nullptr)) != INVALID_SOCKET;) {
        std::string path = ReadRequestPath(client);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_paths.push_back(path);
        }
        if (m_mode != Mode::Stall) SendAll(client, m_response);
        while (m_mode == Mode::Stall && !m_stopping) ::Sleep(20);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
        ++m_finished;
    }
}
