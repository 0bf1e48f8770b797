#!/usr/bin/python3
"""HTTP server for the tests: serves a folder, or answers every request with one
status (--status 404) or a redirect (--redirect URL). --behave NAME=MODE makes the
answer for one file a bad one: "html" (an error page with status 200), "cut" (the
first half of the file as if it were all), "close" (half of the file, then the
connection closes although more was announced), "drip" (the file one byte every
0.2 s). Each request's path and
headers are appended to <log> as one JSON line. Prints "PORT <n>" once it listens
on 127.0.0.1. Ends when its standard input closes or after --lifetime seconds."""

import argparse
import functools
import http.server
import json
import sys
import threading
import time


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--folder", required=True)
    p.add_argument("--log")
    p.add_argument("--status", type=int)
    p.add_argument("--redirect")
    p.add_argument("--stall", action="store_true", help="never answer")
    p.add_argument("--behave", action="append", default=[], metavar="NAME=MODE")
    p.add_argument("--lifetime", type=float, default=120)
    return p.parse_args()


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    options = None

    def log_message(self, *a):
        pass

    def do_GET(self):
        o = self.options
        if o.log:
            with open(o.log, "a") as f:
                f.write(json.dumps({"path": self.path, "version": self.request_version,
                                    "headers": dict(self.headers.items())}) + "\n")
        if o.stall:
            time.sleep(o.lifetime)
            return
        mode = self.behaviours.get(self.path.lstrip("/"))
        if mode:
            self.misbehave(mode)
            return
        if o.redirect:
            self.send_response(302)
            self.send_header("Location", o.redirect)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif o.status:
            body = b"<html><body>error</body></html>"
            self.send_response(o.status)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            super().do_GET()


    def misbehave(self, mode):
        if mode == "html":
            body = b"<html><head><title>Blad</title></head><body>Nie ma takiej strony</body></html>"
        else:
            with open(self.translate_path(self.path), "rb") as f:
                body = f.read()
        length = len(body)
        if mode == "cut":
            body = body[: len(body) // 2]
            length = len(body)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        if mode == "close":
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        if mode == "drip":
            try:
                for i in range(len(body)):
                    self.wfile.write(body[i:i + 1])
                    self.wfile.flush()
                    time.sleep(0.2)
            except OSError:
                pass  # the client gave up
            return
        self.wfile.write(body)


def main():
    args = parse_args()
    Handler.options = args
    Handler.behaviours = dict(b.split("=", 1) for b in args.behave)
    handler = functools.partial(Handler, directory=args.folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    print("PORT %d" % server.server_address[1], flush=True)

    def stop_on_eof():
        try:
            sys.stdin.buffer.read()
        except Exception:
            pass
        server.shutdown()

    threading.Thread(target=stop_on_eof, daemon=True).start()
    timer = threading.Timer(args.lifetime, server.shutdown)
    timer.daemon = True
    timer.start()
    server.serve_forever()
    sys.exit(0)


if __name__ == "__main__":
    main()
