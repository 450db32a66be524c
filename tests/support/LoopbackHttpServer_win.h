// A small HTTP server on 127.0.0.1 for Windows tests and benchmarks: it runs on threads of the
// test process, serves a configured response per request path, and can misbehave on purpose
// (answer in small packets with pauses, trickle, or never answer).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LoopbackResponse {
    std::string bytes;      // status line, headers and body, sent exactly as given
    size_t packetBytes = 0; // 0: everything in one send; otherwise sends of at most this size
    DWORD pauseMs = 0;      // pause before every send after the first
    bool silent = false;    // read the request, then never answer (until the client or the
                            // server closes the connection)
};

// An HTTP/1.1 response with the status (200 "OK", 404 "Not Found", ...), Content-Type,
// Content-Length and "Connection: close".
LoopbackResponse HttpPage(int status, const std::string& body, const std::string& contentType = "text/html");
// A 302 redirection to location (a path on the same server or an absolute URL).
LoopbackResponse HttpRedirect(const std::string& location);
// A response sent packetBytes at a time with pauseMs between the sends.
LoopbackResponse InPackets(LoopbackResponse response, size_t packetBytes, DWORD pauseMs);
// Accepts and reads the request, never answers.
LoopbackResponse Silent();

class LoopbackHttpServer {
public:
    // Binds 127.0.0.1 on a port the system chooses and starts accepting; check ok().
    LoopbackHttpServer();
    // Stops promptly, whatever the connections are doing: pauses and silences are cut short.
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool ok() const { return listener_ != INVALID_SOCKET; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + path (path starts with '/').
    std::string Url(const std::string& path) const;

    // Serves response for requests of path; unknown paths get a 404 page without a title.
    void Serve(const std::string& path, const LoopbackResponse& response);
    // How many requests for path have arrived so far.
    int Requests(const std::string& path);

private:
    void AcceptLoop();
    void Answer(SOCKET client);
    // Waits up to ms; false when the server is stopping.
    bool Pause(DWORD ms);

    bool wsaStarted_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE stopping_ = nullptr; // manual-reset event, set by the destructor
    std::thread acceptor_;

    std::mutex mutex_; // guards everything below
    std::map<std::string, LoopbackResponse> responses_;
    std::map<std::string, int> requests_;
    std::vector<SOCKET> clients_;
    std::vector<std::thread> connections_;
};
