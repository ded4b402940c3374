#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for tests: answers GET requests from XML
fixture files and logs every request.

  http_fixture_server.py ROOT [CERTIFICATE]

serves HTTPS with CERTIFICATE (a PEM file holding the key and the
certificate) when given, else plain HTTP. It prints "PORT <n>" on stdout once it listens, then serves until killed.

GET /a/b?query answers ROOT/a/b.xml (200, application/xml), or 404 with an
error document when there is no such file. Every request is appended to
ROOT/requests.log as "<path with query>\t<User-Agent>" before it is answered.
Control files beside a fixture change how it is answered:
  ROOT/a/b.xml.busy  "N SECONDS": the next N requests get 503 with
                     Retry-After: SECONDS ("-" for no header)
  ROOT/a/b.xml.hang  the request is never answered
  ROOT/a/b.xml.redirect  "PATH": answered 307 with Location: this server's PATH
  ROOT/a/b.xml.stream    "BYTES": answered 200 with BYTES bytes that start as a
                     JPEG image, made as they are sent, without Content-Length
"""

import http.server
import os
import ssl
import sys
import threading
import time

ROOT = os.path.realpath(sys.argv[1])
LOCK = threading.Lock()

NOT_FOUND = (b'<?xml version="1.0" encoding="UTF-8"?>'
             b'<error><text>Not Found</text></error>')


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/xml; charset=UTF-8")
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def stream(self, size):
        self.send_response(200)
        self.send_header("Content-Type", "image/jpeg")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        chunk = b"\xff\xd8\xff\xe0" + bytes(65536 - 4)
        try:
            sent = 0
            while sent < size:
                part = chunk[:min(len(chunk), size - sent)]
                self.wfile.write(part)
                sent += len(part)
                chunk = bytes(65536)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client stopped reading, as it should

    def do_GET(self):
        with LOCK:
            with open(os.path.join(ROOT, "requests.log"), "a", encoding="utf-8") as log:
                log.write("%s\t%s\n" % (self.path, self.headers.get("User-Agent", "")))
        path = self.path.split("?", 1)[0]
        fixture = os.path.realpath(os.path.join(ROOT, path.lstrip("/")) + ".xml")
        if not fixture.startswith(ROOT + os.sep):
            self.answer(404, NOT_FOUND)
            return
        if os.path.exists(fixture + ".hang"):
            time.sleep(3600)
            return
        if os.path.exists(fixture + ".redirect"):
            with open(fixture + ".redirect", encoding="ascii") as control:
                target = control.read().strip()
            host = self.headers.get("Host", "127.0.0.1")
            scheme = "https" if TLS else "http"
            self.answer(307, b"", [("Location", "%s://%s%s" % (scheme, host, target))])
            return
        if os.path.exists(fixture + ".stream"):
            with open(fixture + ".stream", encoding="ascii") as control:
                size = int(control.read().split()[0])
            self.stream(size)
            return
        with LOCK:
            busy = fixture + ".busy"
            if os.path.exists(busy):
                with open(busy, encoding="ascii") as control:
                    count, seconds = control.read().split()
                if int(count) > 0:
                    with open(busy, "w", encoding="ascii") as control:
                        control.write("%d %s" % (int(count) - 1, seconds))
                    headers = [] if seconds == "-" else [("Retry-After", seconds)]
                    self.answer(503, b"", headers)
                    return
        try:
            with open(fixture, "rb") as body:
                self.answer(200, body.read())
        except OSError:
            self.answer(404, NOT_FOUND)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
TLS = len(sys.argv) > 2
if TLS:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print("PORT %d" % server.server_address[1], flush=True)
server.serve_forever()
