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
// A port on 127.0.0.1 on which nobody listens: connections to it are refused.
unsigned short UnusedPort();

class TestHttpServer {
    using Socket = uintptr_t;  // a Winsock SOCKET

  public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // How every request is answered; set before the client connects.
    void Reply(std::string response);
    // Accepts, reads the request and sends nothing until the server stops.
    void Stall();
    // Sends a description that offers another version, followed by `bytes` of text in all.
    void SendHuge(size_t bytes);

    bool Start();
    void Stop();
    std::string Url(const std::string& path = "/update/update.ini") const;

    std::vector<std::string> RequestedPaths() const;
    bool WaitForRequest(DWORD timeoutMs = 30000) const;
    // Until the server has finished with a connection (answered, or dropped by the client).
    bool WaitForFinishedConnection(DWORD timeoutMs = 30000) const;

  private:
    enum class Mode { Reply, Stall, Huge };
    void AcceptLoop();
    void Serve(Socket client);
    void SendHugeBody(Socket client);

    Mode m_mode = Mode::Reply;
    std::string m_response;
    size_t m_hugeBytes = 0;
    Socket m_listener = ~Socket(0);
    unsigned short m_port = 0;
    std::thread m_acceptThread;
    std::vector<std::thread> m_clients;
    std::vector<Socket> m_openClients;
    HANDLE m_stopEvent = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_paths;
    std::atomic<int> m_finished{0};
};
