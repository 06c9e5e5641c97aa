#pragma once
// A small HTTP server on 127.0.0.1 that a test starts and stops: it answers every request
// the same way, with a given response, by stalling, or with a body of many megabytes.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A whole response: status line, Content-Length, `headers` (each ending in "\r\n"), body.
std::string HttpResponse(const std::string& status, const std::string& body,
                         const std::string& headers = {});

class TestHttpServer {
    using Socket = uintptr_t;  // a Winsock SOCKET

  public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // How every request is answered: with `response`; by reading it and sending nothing until
    // the server stops; with 10 MB, a description that offers another version, then text
    // without end; or not at all, every connection refused.
    enum class Mode { Reply, Stall, Huge, Refuse };
    bool Start(std::string response, Mode mode = Mode::Reply);
    // Afterwards connections to Url() are refused.
    void Stop();
    std::string Url() const;

    std::vector<std::string> RequestedPaths() const;
    // Until a request has come and, unless stalled, the server has finished with it (answered,
    // or dropped by the client).
    bool WaitForConnection(DWORD timeoutMs = 30000) const;

  private:
    void AcceptLoop();

    Mode m_mode = Mode::Reply;
    std::string m_response;
    Socket m_listener = ~Socket(0);
    unsigned short m_port = 0;
    std::thread m_acceptThread;
    HANDLE m_stopEvent = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_paths;
    std::atomic<int> m_finished{0};
};
