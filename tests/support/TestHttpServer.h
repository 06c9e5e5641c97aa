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

#include "tests/support/Wait.h"

// A whole response: status line, Content-Length, `headers` (each ending in "\r\n"), body.
inline std::string HttpResponse(const std::string& status, const std::string& body,
                                const std::string& headers = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

class TestHttpServer {
    using Socket = uintptr_t;  // a Winsock SOCKET

  public:
    TestHttpServer() = default;
    ~TestHttpServer() { Stop(); }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // How every request is answered: with `response`; by reading it and sending nothing until
    // the server stops; with 10 MB, a description that offers another version, then text
    // without end; or not at all, every connection refused.
    enum class Mode { Reply, Stall, Huge, Refuse };
    bool Start(std::string response, Mode mode = Mode::Reply);
    // Afterwards connections to Url() are refused.
    void Stop();
    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/update/update.ini";
    }

    std::vector<std::string> RequestedPaths() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_paths;
    }
    // Until a request has come and, unless stalled, the server has finished with it (answered,
    // or dropped by the client). A client that holds the connection without reading never
    // finishes.
    bool WaitForConnection(DWORD timeoutMs = 30000) const {
        auto done = [&] {
            return m_mode == Mode::Stall ? !RequestedPaths().empty() : m_finished > 0;
        };
        return WaitUntil(done, timeoutMs);
    }

  private:
    void AcceptLoop();
    bool Serve(Socket client);
    bool ReadRequestPath(Socket client, std::string& path);
    bool SendAll(Socket client, const std::string& data);

    Mode m_mode = Mode::Reply;
    std::string m_response;
    Socket m_listener = ~Socket(0);
    unsigned short m_port = 0;
    std::thread m_acceptThread;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_paths;
    std::atomic<int> m_finished{0};
};
