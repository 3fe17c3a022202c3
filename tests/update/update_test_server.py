#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for the update client's tests.

  update_test_server.py start STATE_DIR   serve STATE_DIR/www in the background on a free
                                          port; STATE_DIR/port gets the port
  update_test_server.py stop STATE_DIR    end the server started for STATE_DIR

Routes (NAME is a file of STATE_DIR/www; the tests write version files there):
  /files/NAME    the file, with Content-Length
  /slow/NAME     the file in small pieces with pauses, so that a download takes a while
  /cut/NAME      Content-Length of the whole file, then half of it and the connection closes
  anything else  404
"""
import http.server
import os
import signal
import socketserver
import sys
import threading
import time
import urllib.parse

LIFETIME_SECONDS = 1800  # a server whose stop never came ends by itself
SLOW_PIECES = 20
SLOW_PAUSE_SECONDS = 0.05


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    www = None

    def log_message(self, *args):
        pass

    def head(self, status, length):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path).path.split("/")
        body = None
        if len(parts) == 3 and parts[1] in ("files", "slow", "cut") and parts[2] not in ("", ".", ".."):
            try:
                with open(os.path.join(self.www, urllib.parse.unquote(parts[2])), "rb") as f:
                    body = f.read()
            except OSError:
                pass
        if body is None:
            self.head(404, 8)
            self.wfile.write(b"not here")
            return
        self.head(200, len(body))
        if parts[1] == "files":
            self.wfile.write(body)
        elif parts[1] == "slow":
            step = max(1, len(body) // SLOW_PIECES)
            for i in range(0, len(body), step):
                self.wfile.write(body[i:i + step])
                self.wfile.flush()
                time.sleep(SLOW_PAUSE_SECONDS)
        else:
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def read_pid(state):
    try:
        with open(os.path.join(state, "pid")) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def is_ours(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return os.path.basename(__file__).encode() in f.read()
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
    return 0


def serve(state):
    Handler.www = os.path.join(state, "www")
    server = Server(("127.0.0.1", 0), Handler)
    with open(os.path.join(state, "pid"), "w") as f:
        f.write(str(os.getpid()))
    tmp = os.path.join(state, "port.tmp")
    with open(tmp, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(tmp, os.path.join(state, "port"))
    threading.Timer(LIFETIME_SECONDS, os._exit, (0,)).start()
    signal.signal(signal.SIGTERM, lambda *a: os._exit(0))
    server.serve_forever()


def start(state):
    os.makedirs(os.path.join(state, "www"), exist_ok=True)
    stop(state)
    if os.fork() == 0:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        try:
            serve(state)
        finally:
            os._exit(1)
    for _ in range(200):
        if os.path.exists(os.path.join(state, "port")):
            return 0
        time.sleep(0.1)
    print("the test server did not start", file=sys.stderr)
    return 1


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
