#!/usr/bin/env python3
"""A time-stamping service (RFC 3161) on the loopback for the signing test:
answers each request with `openssl ts -reply` under the given configuration.
Prints the port it listens on, then serves until it is killed.

Usage: timestamp_server.py OPENSSL_TS_CONFIG
"""
import http.server
import os
import subprocess
import sys
import tempfile


class TimestampHandler(http.server.BaseHTTPRequestHandler):
    config = ""

    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.TemporaryDirectory() as work:
            request, reply = os.path.join(work, "request.tsq"), os.path.join(work, "reply.tsr")
            with open(request, "wb") as out:
                out.write(query)
            made = subprocess.run(["openssl", "ts", "-reply", "-config", self.config, "-queryfile", request,
                                   "-out", reply], capture_output=True)
            if made.returncode != 0:
                self.send_error(500, made.stderr.decode(errors="replace")[:200])
                return
            with open(reply, "rb") as answer:
                body = answer.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


def main():
    TimestampHandler.config = sys.argv[1]
    server = http.server.HTTPServer(("127.0.0.1", 0), TimestampHandler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
