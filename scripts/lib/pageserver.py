#!/usr/bin/env python3
"""Loopback page server for the end-to-end tests and the benchmarks.

Serves pages whose titles are encoded in UTF-8, EUC-JP, ISO-2022-JP and Shift_JIS, a 404 page
with a title, pages without a usable title, a server that never answers, one that trickles a
byte a second and one whose headers never end; a page that redirects to itself ("loop", which
counts its requests: /loopcount/ answers with the count as its title), /go/PORT/NAME/...,
which redirects to https://127.0.0.1:PORT/NAME/..., and /plain/PORT/NAME/..., which redirects
to http://127.0.0.1:PORT/NAME/.... The first path segment picks the page, so
any deeper path (a fresh URL for every capture) gets the same page. Prints "port N" once
listening on 127.0.0.1.

Usage: pageserver.py [--port-file FILE] [--tls CERT KEY] [--titles]
  --tls     serve https with the certificate and key (PEM files)
  --titles  print the expected titles (UTF-8), one "name<TAB>title" per line, and exit
"""
import argparse
import http.server
import socketserver
import ssl
import sys
import threading
import time

# name -> (status, codec, title or None, head template)
PAGES = {
    "utf": (200, "utf-8", "UTF-8の日本語ページ　ニュース", '<meta charset="utf-8">'),
    "euc": (200, "euc_jp", "EUC-JPの日本語ページ　天気予報", '<meta charset="EUC-JP">'),
    "jis": (200, "iso2022_jp", "ISO-2022-JPの日本語ページ　技術情報", '<meta charset="ISO-2022-JP">'),
    "sjis": (200, "cp932", "Shift_JISの日本語ページ　掲示板", '<meta charset="Shift_JIS">'),
    "missing": (404, "utf-8", "ページが見つかりません", '<meta charset="utf-8">'),
    "notitle": (200, "utf-8", None, '<meta charset="utf-8">'),
    "emptytitle": (200, "utf-8", "", '<meta charset="utf-8">'),
    "late": (200, "utf-8", "遅すぎるタイトル", '<meta charset="utf-8">' + "<!-- " + "x" * 1100 + " -->"),
}

FALLBACK = "ページタイトル不明"

loop_requests = 0
loop_lock = threading.Lock()


def body_of(name):
    status, codec, title, head = PAGES[name]
    if title is None:
        html = "<html><head>%s</head><body><h1>見出しだけのページ</h1></body></html>" % head
    else:
        html = "<html><head>%s<title>%s</title></head><body><p>本文</p></body></html>" % (head, title)
    # The ISO-2022-JP codec ends every Japanese run with ESC ( B, as real pages do.
    return status, html.encode(codec)


def expected_title(name):
    if name not in PAGES:
        return FALLBACK
    title = PAGES[name][2]
    if not title or name == "late":
        return FALLBACK
    return title


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        global loop_requests
        parts = self.path.strip("/").split("/")
        name = parts[0]
        if name == "loop":
            with loop_lock:
                loop_requests += 1
            self.redirect(self.path)
            return
        if name == "loopcount":
            with loop_lock:
                count = loop_requests
            body = ("<html><head><title>%d</title></head></html>" % count).encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        if name in ("go", "plain") and len(parts) >= 3:
            scheme = "https" if name == "go" else "http"
            self.redirect("%s://127.0.0.1:%s/%s/" % (scheme, parts[1], "/".join(parts[2:])))
            return
        if name == "silent":
            # Accepts and never answers (bounded, so the server can always be stopped).
            time.sleep(120)
            return
        if name == "stall":
            # Headers that never end: a byte a second keeps the client reading them, however
            # short its time-outs (bounded, so the server can always be stopped).
            try:
                self.wfile.write(b"HTTP/1.0 200 OK\r\nX-Stall: ")
                self.wfile.flush()
                for _ in range(120):
                    time.sleep(1)
                    self.wfile.write(b"x")
                    self.wfile.flush()
            except OSError:
                pass
            return
        if name == "trickle":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            self.wfile.flush()
            page = b"<html><head><title>trickle</title></head>" + b" " * 2048
            for byte in page[:120]:
                try:
                    self.wfile.write(bytes([byte]))
                    self.wfile.flush()
                except OSError:
                    return
                time.sleep(1)
            return
        if name not in PAGES:
            name = "missing"
        status, body = body_of(name)
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--titles", action="store_true")
    options = parser.parse_args()
    if options.titles:
        for name in PAGES:
            print("%s\t%s" % (name, expected_title(name)))
        return
    server = Server(("127.0.0.1", 0), Handler)
    if options.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.tls[0], options.tls[1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    port = server.server_address[1]
    if options.port_file:
        with open(options.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        import os
        os.replace(options.port_file + ".tmp", options.port_file)
    print("port %d" % port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
