// A small HTTP server on 127.0.0.1 for Windows tests and benchmarks; every wait in it is short
// and watches the stop event, so the destructor returns promptly.
#include "support/LoopbackHttpServer_win.h"

#include <cstdio>
#include <utility>

namespace {

// How often blocked socket waits look at the stop event.
constexpr long PollMs = 50;
// Requests larger than this are answered from what has arrived.
constexpr size_t MaxRequestBytes = 16384;

// Waits up to PollMs for socket to become readable: 1 readable, 0 not yet, -1 error.
int WaitReadable(SOCKET socket) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout = {0, PollMs * 1000};
    int n = select(0, &readable, nullptr, nullptr, &timeout);
    return n < 0 ? -1 : n;
}

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 401:
        return "Unauthorized";
    case 407:
        return "Proxy Authentication Required";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// The path of "GET /path HTTP/1.1" (or the address of "GET http://host/path HTTP/1.1", as a
// proxy is asked); empty when the request line is malformed.
std::string RequestPath(const std::string& request) {
    size_t first = request.find(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    size_t second = request.find_first_of(" \r\n", first + 1);
    if (second == std::string::npos) {
        return std::string();
    }
    std::string path = request.substr(first + 1, second - first - 1);
    // A request to a proxy names the whole address; some clients spell out the default port.
    const size_t host = path.compare(0, 7, "http://") == 0 ? 7 : std::string::npos;
    const size_t port = host == std::string::npos ? host : path.find(":80/", host);
    if (port != std::string::npos && port < path.find('/', host)) {
        path.erase(port, 3);
    }
    return path;
}

} // namespace

LoopbackResponse HttpPage(int status, const std::string& body, const std::string& contentType) {
    return HttpPageWithHeaders(status, "", body, contentType.c_str());
}

LoopbackResponse HttpPageWithHeaders(int status, const std::string& headers, const std::string& body,
                                     const char* contentType) {
    char line[64];
    std::snprintf(line, sizeof line, "HTTP/1.1 %d %s\r\n", status, Reason(status));
    std::string head = line;
    if (contentType) {
        head += std::string("Content-Type: ") + contentType + "\r\n";
    }
    head += headers + "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    LoopbackResponse response;
    response.bytes = head + body;
    return response;
}

LoopbackResponse HttpRedirect(const std::string& location) {
    LoopbackResponse response;
    response.bytes =
        "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    return response;
}

LoopbackResponse InPackets(LoopbackResponse response, size_t packetBytes, DWORD pauseMs) {
    response.packetBytes = packetBytes;
    response.pauseMs = pauseMs;
    return response;
}

LoopbackResponse HeadersAtOnce(LoopbackResponse response) {
    response.headersAtOnce = true;
    return response;
}

LoopbackResponse Silent() {
    LoopbackResponse response;
    response.silent = true;
    return response;
}

LoopbackResponse Held(LoopbackResponse response) {
    response.held = true;
    return response;
}

LoopbackResponse Stalled(LoopbackResponse response, DWORD byteEveryMs) {
    response.stallMs = byteEveryMs;
    return response;
}

LoopbackHttpServer::LoopbackHttpServer() {
    WSADATA data;
    wsaStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!wsaStarted_ || !acceptor_.ok()) {
        return;
    }
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        return;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, SOMAXCONN) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(listener);
        return;
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    acceptor_.Start([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    acceptor_.Stop();
    // The acceptor has ended, so no connection thread can be added any more.
    for (std::thread& connection : connections_) {
        connection.join();
    }
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
    }
    if (wsaStarted_) {
        WSACleanup();
    }
}

int ClosedLoopbackPort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::Serve(const std::string& path, const LoopbackResponse& response) {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_[path] = response;
}

int LoopbackHttpServer::Requests(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = requests_.find(path);
    return it == requests_.end() ? 0 : static_cast<int>(it->second.size());
}

std::vector<std::string> LoopbackHttpServer::RequestHeads(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = requests_.find(path);
    return it == requests_.end() ? std::vector<std::string>() : it->second;
}

void LoopbackHttpServer::Release(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_[path] = true;
}

bool LoopbackHttpServer::Released(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return released_[path];
}

int LoopbackHttpServer::RequestsInService() {
    std::lock_guard<std::mutex> lock(mutex_);
    return inService_;
}

int LoopbackHttpServer::PeakRequestsInService() {
    std::lock_guard<std::mutex> lock(mutex_);
    return peakInService_;
}

bool LoopbackHttpServer::Pause(DWORD ms) {
    return WaitForSingleObject(acceptor_.stopping(), ms) == WAIT_TIMEOUT;
}

void LoopbackHttpServer::AcceptLoop() {
    while (WaitForSingleObject(acceptor_.stopping(), 0) == WAIT_TIMEOUT) {
        if (WaitReadable(listener_) != 1) {
            continue;
        }
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            continue;
        }
        // A client that stops reading must not hold a send, and with it the destructor, for long.
        DWORD sendTimeoutMs = 2000;
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeoutMs),
                   sizeof sendTimeoutMs);
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.emplace_back(&LoopbackHttpServer::Answer, this, client);
    }
}

void LoopbackHttpServer::Answer(SOCKET client) {
    Serve(client);
    closesocket(client);
}

// Reads one request and answers it; the caller closes the socket. A request is in service from
// its arrival until its answer has been sent or given up: the client cannot have seen the end of
// an answer before the server stops counting it, so the count is exact whatever the scheduling.
void LoopbackHttpServer::Serve(SOCKET client) {
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < MaxRequestBytes) {
        if (WaitForSingleObject(acceptor_.stopping(), 0) != WAIT_TIMEOUT) {
            return;
        }
        int ready = WaitReadable(client);
        if (ready < 0) {
            break;
        }
        if (ready == 0) {
            continue;
        }
        char buffer[2048];
        int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        request.append(buffer, static_cast<size_t>(n));
    }

    std::string path = RequestPath(request);
    LoopbackResponse response = HttpPage(404, "<html><body>not found</body></html>");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_[path].push_back(request.substr(0, request.find("\r\n\r\n")));
        auto it = responses_.find(path);
        if (it != responses_.end()) {
            response = it->second;
        }
        ++inService_;
        peakInService_ = inService_ > peakInService_ ? inService_ : peakInService_;
    }
    struct Served {
        LoopbackHttpServer* server;
        ~Served() {
            std::lock_guard<std::mutex> lock(server->mutex_);
            --server->inService_;
        }
    } served{this};

    if (response.silent || response.held) {
        // Hold the connection open until it is released, the client gives up or the server
        // stops.
        while (WaitForSingleObject(acceptor_.stopping(), 0) == WAIT_TIMEOUT) {
            if (response.held && Released(path)) {
                break;
            }
            int ready = WaitReadable(client);
            char sink[512];
            if (ready < 0 || (ready == 1 && recv(client, sink, sizeof sink, 0) <= 0)) {
                return;
            }
        }
        if (response.silent || WaitForSingleObject(acceptor_.stopping(), 0) != WAIT_TIMEOUT) {
            return;
        }
    }

    std::string bytes = response.bytes;
    if (response.stallMs) {
        const size_t statusEnd = bytes.find("\r\n") + 2;
        std::string start = bytes.substr(0, statusEnd) + "X-Stall: ";
        if (send(client, start.data(), static_cast<int>(start.size()), 0) != static_cast<int>(start.size())) {
            return;
        }
        while (!Released(path)) {
            if (!Pause(response.stallMs) || send(client, "x", 1, 0) != 1) {
                return;
            }
        }
        bytes = "\r\n" + bytes.substr(statusEnd);
    }
    size_t packet = response.packetBytes ? response.packetBytes : bytes.size();
    const size_t headEnd = response.headersAtOnce ? bytes.find("\r\n\r\n") + 4 : 0;
    for (size_t sent = 0, n = 0; sent < bytes.size(); sent += n) {
        if (sent > 0 && !Pause(response.pauseMs)) {
            break;
        }
        n = bytes.size() - sent < packet ? bytes.size() - sent : packet;
        n = sent == 0 && headEnd > n ? headEnd : n;
        if (send(client, bytes.data() + sent, static_cast<int>(n), 0) != static_cast<int>(n)) {
            break;
        }
    }
    // Half-close and let the client read to the end before the socket goes, so the last bytes
    // are not lost to a reset.
    shutdown(client, SD_SEND);
    for (int i = 0; i < 20 && WaitForSingleObject(acceptor_.stopping(), 0) == WAIT_TIMEOUT; ++i) {
        int ready = WaitReadable(client);
        char sink[512];
        if (ready < 0 || (ready == 1 && recv(client, sink, sizeof sink, 0) <= 0)) {
            break;
        }
    }
}
