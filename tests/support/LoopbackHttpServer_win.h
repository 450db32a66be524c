// A small HTTP server on 127.0.0.1 for Windows tests and benchmarks: it runs on threads of the
// test process, serves a configured response per request path, and can misbehave on purpose
// (answer in small packets with pauses, trickle, never answer, or hold its answer until the test
// releases it). It keeps every request it was sent and counts those in service at once.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/StoppableThread_win.h"

struct LoopbackResponse {
    std::string bytes;      // status line, headers and body, sent exactly as given
    size_t packetBytes = 0; // 0: everything in one send; otherwise sends of at most this size
    bool headersAtOnce = false; // the status line and headers in the first send, whatever its size
    DWORD pauseMs = 0;      // pause before every send after the first
    bool silent = false;    // read the request, then never answer (until the client or the
                            // server closes the connection)
    bool held = false;      // read the request, then wait for Release(path) before answering
    DWORD stallMs = 0;      // send the status line, then a byte of a header line every stallMs
                            // until Release(path), so the client never times out, then the rest
};

// An HTTP/1.1 response with the status (200 "OK", 404 "Not Found", ...), Content-Type,
// Content-Length and "Connection: close".
LoopbackResponse HttpPage(int status, const std::string& body, const std::string& contentType = "text/html");
// The same with further header lines, each ending in "\r\n" (a null contentType sends none).
LoopbackResponse HttpPageWithHeaders(int status, const std::string& headers, const std::string& body,
                                     const char* contentType = "text/html");
// A 302 redirection to location (a path on the same server or an absolute URL).
LoopbackResponse HttpRedirect(const std::string& location);
// A response sent packetBytes at a time with pauseMs between the sends.
LoopbackResponse InPackets(LoopbackResponse response, size_t packetBytes, DWORD pauseMs);
// response with its status line and headers sent at once, however small its packets.
LoopbackResponse HeadersAtOnce(LoopbackResponse response);
// Accepts and reads the request, never answers.
LoopbackResponse Silent();
// response, sent only once the test has called Release for its path.
LoopbackResponse Held(LoopbackResponse response);
// response, its headers kept unfinished a byte at a time until the test calls Release for its
// path: the client stays blocked inside its read of the headers, however short its time-outs.
LoopbackResponse Stalled(LoopbackResponse response, DWORD byteEveryMs = 100);

// A port of 127.0.0.1 on which nothing listens: bound, then closed again.
int ClosedLoopbackPort();

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
    // The request line and headers of every request for path so far, in order of arrival.
    std::vector<std::string> RequestHeads(const std::string& path);
    // Lets the held requests of path be answered, those waiting and those still to come.
    void Release(const std::string& path);
    // Requests that have arrived and are not yet answered (each comes on a connection of its
    // own, since every answer closes it), and the most there were at once since the start.
    int RequestsInService();
    int PeakRequestsInService();

private:
    void AcceptLoop();
    void Answer(SOCKET client);
    void Serve(SOCKET client);
    bool Released(const std::string& path);
    // Waits up to ms; false when the server is stopping.
    bool Pause(DWORD ms);

    bool wsaStarted_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    StoppableThread acceptor_; // stopped by the destructor

    std::mutex mutex_; // guards everything below
    std::map<std::string, LoopbackResponse> responses_;
    std::map<std::string, std::vector<std::string>> requests_;
    std::map<std::string, bool> released_;
    int inService_ = 0;
    int peakInService_ = 0;
    std::vector<SOCKET> clients_;
    std::vector<std::thread> connections_;
};
