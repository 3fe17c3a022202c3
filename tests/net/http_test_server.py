#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for the HTTP client's and the update client's tests.

  http_test_server.py start STATE_DIR   serve in the background on free ports; STATE_DIR/port
                                        gets three lines: the http port, an https port whose
                                        certificate STATE_DIR/trusted-cert.pem the tests trust,
                                        and an https port with a certificate nobody trusts
  http_test_server.py stop STATE_DIR    end the server started for STATE_DIR

Certificates are made at each start (openssl), so that their validity follows the clock.

Routes:
  /body?type=T&hex=H&status=N   status N (200), Content-Type T (none when absent), body bytes H
  /size/N                       N bytes of a repeating pattern, with Content-Length
  /chunked/N                    the same N bytes, chunked, without Content-Length
  /short/N/M                    Content-Length N, then M bytes and the connection closes
  /redirect                     302 to /size/10
  /slow/S                       waits S seconds before answering
  /files/NAME                   the file NAME of STATE_DIR/www, with Content-Length
  /trickle/NAME                 the same in small pieces with pauses, so that a download
                                takes a while
  /cut/NAME                     Content-Length of the whole file, then half of it and the
                                connection closes
  /drip/N/MS/FOR                Content-Length N, then one byte every MS milliseconds for
                                FOR milliseconds, then the rest at once: a trickle that a
                                client must judge while it lasts
  /late/MS/N                    waits MS milliseconds before answering, then N bytes at a
                                steady pace: one byte alone, then 100 every 10 ms
                                (each of MS and FOR at most PACE_LIMIT_SECONDS)
"""
import http.server
import os
import signal
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

LIFETIME_SECONDS = 1800  # a server whose stop never came ends by itself
TRICKLE_PIECES = 20
TRICKLE_PAUSE_SECONDS = 0.05
PACE_LIMIT_SECONDS = 30
STEADY_PIECE = 100
STEADY_PAUSE_SECONDS = 0.01


def pattern(n):
    block = bytes(range(256))
    return (block * (n // 256 + 1))[:n]


def drip_pieces(n, pause, duration):
    end = time.monotonic() + duration
    offset = 0
    while offset < n and time.monotonic() < end:
        yield offset, 1, pause
        offset += 1
    yield offset, n - offset, 0


def steady_pieces(n):
    # The first piece alone and small: a client that counted the wait for the answer as
    # part of the body sees that wait with almost nothing to show for it.
    yield 0, 1, 0.1
    for offset in range(1, n, STEADY_PIECE):
        yield offset, STEADY_PIECE, STEADY_PAUSE_SECONDS


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    www = None

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type=None, length=True):
        self.send_response(status)
        if content_type is not None:
            self.send_header("Content-Type", content_type)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def served_file(self, quoted_name):
        name = urllib.parse.unquote(quoted_name)
        if name in (".", "..") or "/" in name or "\\" in name:
            return None
        try:
            with open(os.path.join(self.www, name), "rb") as f:
                return f.read()
        except OSError:
            return None

    def send_file(self, how, body):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if how == "files":
            self.wfile.write(body)
        elif how == "trickle":
            step = max(1, len(body) // TRICKLE_PIECES)
            for i in range(0, len(body), step):
                self.wfile.write(body[i:i + step])
                self.wfile.flush()
                time.sleep(TRICKLE_PAUSE_SECONDS)
        else:
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True

    def send_paced(self, body, pieces):
        """Body in the pieces of the iterable (offset, length, pause after it)."""
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for offset, length, pause in pieces:
                self.wfile.write(body[offset:offset + length])
                self.wfile.flush()
                time.sleep(pause)
        except (BrokenPipeError, ConnectionResetError):
            # The client gave up on the body, as it may.
            self.close_connection = True

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        parts = [p for p in url.path.split("/") if p]
        query = urllib.parse.parse_qs(url.query)
        body = None
        if len(parts) == 2 and parts[0] in ("files", "trickle", "cut"):
            body = self.served_file(parts[1])
        if body is not None:
            self.send_file(parts[0], body)
        elif parts == ["body"]:
            status = int(query.get("status", ["200"])[0])
            body = bytes.fromhex(query.get("hex", [""])[0])
            self.send_body(status, body, query.get("type", [None])[0])
        elif len(parts) == 2 and parts[0] == "size":
            self.send_body(200, pattern(int(parts[1])), "application/octet-stream")
        elif len(parts) == 2 and parts[0] == "chunked":
            body = pattern(int(parts[1]))
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for i in range(0, len(body), 1000):
                piece = body[i:i + 1000]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
        elif len(parts) == 3 and parts[0] == "short":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", parts[1])
            self.end_headers()
            self.wfile.write(pattern(int(parts[2])))
            self.wfile.flush()
            self.close_connection = True
        elif parts == ["redirect"]:
            self.send_response(302)
            self.send_header("Location", "/size/10")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif len(parts) == 4 and parts[0] == "drip":
            n, pause, duration = int(parts[1]), int(parts[2]) / 1000, int(parts[3]) / 1000
            self.send_paced(pattern(n), drip_pieces(n, pause, min(duration, PACE_LIMIT_SECONDS)))
        elif len(parts) == 3 and parts[0] == "late":
            time.sleep(min(int(parts[1]) / 1000, PACE_LIMIT_SECONDS))
            n = int(parts[2])
            self.send_paced(pattern(n), steady_pieces(n))
        elif len(parts) == 2 and parts[0] == "slow":
            time.sleep(float(parts[1]))
            self.send_body(200, b"late", "text/plain")
        else:
            self.send_body(404, b"not here", "text/plain")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def read_pid(state):
    try:
        with open(os.path.join(state, "pid")) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def is_ours(pid):
    # The script that was started, which may be a wrapper that imports this one.
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return os.path.basename(sys.argv[0]).encode() in f.read()
    except OSError:
        return False


def stop(state):
    pid = read_pid(state)
    if pid and is_ours(pid):
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            if not is_ours(pid):
                break
            time.sleep(0.1)
    for name in ("pid", "port"):
        try:
            os.remove(os.path.join(state, name))
        except OSError:
            pass


def make_certificate(state, name):
    # The address goes in the common name only: Wine matches no IP address entry of a
    # subject alternative name, and with such an extension it ignores the common name.
    cert = os.path.join(state, name + "-cert.pem")
    key = os.path.join(state, name + "-key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-keyout", key, "-out", cert, "-subj", "/CN=127.0.0.1",
                    "-addext", "extendedKeyUsage=serverAuth"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def tls_server(state, name, handler):
    cert, key = make_certificate(state, name)
    server = Server(("127.0.0.1", 0), handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    return server


def serve(state, handler, tls):
    handler.www = os.path.join(state, "www")
    servers = [Server(("127.0.0.1", 0), handler)]
    if tls:
        servers += [tls_server(state, "trusted", handler), tls_server(state, "untrusted", handler)]
    with open(os.path.join(state, "pid"), "w") as f:
        f.write(str(os.getpid()))
    tmp = os.path.join(state, "port.tmp")
    with open(tmp, "w") as f:
        f.write("".join("%d\n" % s.server_address[1] for s in servers))
    os.replace(tmp, os.path.join(state, "port"))
    threading.Timer(LIFETIME_SECONDS, os._exit, (0,)).start()
    signal.signal(signal.SIGTERM, lambda *a: os._exit(0))
    for server in servers[1:]:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    servers[0].serve_forever()


def start(state, handler, tls):
    os.makedirs(os.path.join(state, "www"), exist_ok=True)
    stop(state)
    if os.fork() == 0:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        try:
            serve(state, handler, tls)
        finally:
            os._exit(1)
    for _ in range(200):
        if os.path.exists(os.path.join(state, "port")):
            return 0
        time.sleep(0.1)
    print("the test server did not start", file=sys.stderr)
    return 1


def main(usage, handler=Handler, tls=True):
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(usage, file=sys.stderr)
        return 2
    for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"):
        os.environ.pop(name, None)
    return start(sys.argv[2], handler, tls) if sys.argv[1] == "start" else (stop(sys.argv[2]) or 0)


if __name__ == "__main__":
    sys.exit(main(__doc__))
