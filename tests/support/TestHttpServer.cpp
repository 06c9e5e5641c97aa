// Sockets first: the Windows headers pull in the old socket API otherwise.
#include <winsock2.h>

#include "tests/support/TestHttpServer.h"

#include <algorithm>

namespace {
// How long the server waits on a client that neither reads nor writes before it gives up.
constexpr double kIdleLimitMs = 15000;
constexpr long kPollMs = 50;

// Waits at most one poll interval for `socket` to be readable (or writable). Every call is
// tried again after it anyway: Wine has been seen to miss a reset connection's event, which
// left a blocking send waiting for good.
void AwaitReady(SOCKET socket, bool forWriting) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait = {0, kPollMs * 1000};
    ::select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &wait);
}

bool WouldBlock(int result) { return result < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK; }
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
    u_long nonBlocking = 1;
    if (!started || m_listener == INVALID_SOCKET ||
        ::ioctlsocket(m_listener, FIONBIO, &nonBlocking) != 0 ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 8) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    if (mode == Mode::Refuse)
        Stop();
    else
        m_acceptThread = std::thread([this] { AcceptLoop(); });
    return true;
}

// The thread never blocks for longer than a poll, so it sees the stop at once; the listener
// is closed only after it has ended, so no call of its can meet a handle that was reused.
void TestHttpServer::Stop() {
    m_stopping = true;
    if (m_acceptThread.joinable()) m_acceptThread.join();
    if (m_listener != INVALID_SOCKET) ::closesocket(m_listener);
    m_listener = INVALID_SOCKET;
}

// One client at a time: the program makes one request per check.
void TestHttpServer::AcceptLoop() {
    while (!m_stopping) {
        SOCKET client = ::accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            AwaitReady(m_listener, false);
            continue;
        }
        u_long nonBlocking = 1;
        ::ioctlsocket(client, FIONBIO, &nonBlocking);
        if (Serve(client)) ++m_finished;
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}

// False when the server gave up on the client or was stopped before it was done.
bool TestHttpServer::Serve(Socket client) {
    std::string path;
    if (!ReadRequestPath(client, path)) return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paths.push_back(path);
    }
    if (m_mode != Mode::Stall) return SendAll(client, m_response);
    while (!m_stopping) ::Sleep(kPollMs);
    return false;
}

// The path of the request line, once the head has arrived (at most 8 KB are read).
bool TestHttpServer::ReadRequestPath(Socket client, std::string& path) {
    std::string request;
    char piece[1024];
    for (double idleSince = NowMs(); request.find("\r\n\r\n") == std::string::npos;) {
        if (m_stopping || request.size() >= 8192 || NowMs() - idleSince > kIdleLimitMs)
            return false;
        int got = ::recv(client, piece, sizeof(piece), 0);
        if (WouldBlock(got)) {
            AwaitReady(client, false);
            continue;
        }
        if (got <= 0) return false;
        request.append(piece, got);
        idleSince = NowMs();
    }
    size_t start = request.find(' ');
    size_t end = request.find(' ', start + 1);
    if (end != std::string::npos) path = request.substr(start + 1, end - start - 1);
    return true;
}

// Done when all is sent or the client has dropped the connection; a client that holds it
// without reading is given up on.
bool TestHttpServer::SendAll(Socket client, const std::string& data) {
    size_t sent = 0;
    for (double idleSince = NowMs(); sent < data.size();) {
        if (m_stopping || NowMs() - idleSince > kIdleLimitMs) return false;
        int piece = static_cast<int>(std::min<size_t>(data.size() - sent, 64 << 10));
        int n = ::send(client, data.data() + sent, piece, 0);
        if (WouldBlock(n)) {
            AwaitReady(client, true);
            continue;
        }
        if (n <= 0) return true;
        sent += n;
        idleSince = NowMs();
    }
    return true;
}
