#!/usr/bin/python3
"""The HTTP client tests' server (tests/net/http_test_server.py), plain HTTP only.

  update_test_server.py start STATE_DIR   serve STATE_DIR/www in the background on a free
                                          port; STATE_DIR/port gets the port
  update_test_server.py stop STATE_DIR    end the server started for STATE_DIR

Routes (NAME is a file of STATE_DIR/www): those of http_test_server.py, except that
/slow/NAME sends the file in small pieces with pauses (its /trickle/NAME).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "net"))
import http_test_server as shared  # noqa: E402


class Handler(shared.Handler):
    def do_GET(self):
        if self.path.startswith("/slow/"):
            self.path = "/trickle/" + self.path[len("/slow/"):]
        super().do_GET()


if __name__ == "__main__":
    sys.exit(shared.main(__doc__, Handler, tls=False))
