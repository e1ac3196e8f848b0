#!/usr/bin/env python3
"""Local package service: the servers' side of an installation on loopback.

Serves, on the host and port of the build's PW_STATS_HOST (127.0.0.1:18650 by
default):

    POST /caller?c=site&a=writelog           the statistics endpoint ("writelog")
    and the package routes of package_routes.py (package downloads, web pages)

Every report is decoded ("log=" + Base64 + UTF-8 + JSON) and appended to a log
file as one JSON line: time, the raw header lines in the order they arrived,
the cookie text, the decoded report, or the error when the body does not
decode. With --print each report is also printed, decoded, as it arrives.

Any route can be told to misbehave, from the command line (--fault writelog=hang)
or at run time through the control endpoint (JSON in the body):

    POST /__service/control  {"writelog": {"mode": "slow", "delay": 3, "times": 1}}
    POST /__service/reset    all routes normal again, the log emptied
    GET  /__service/log      the log entries so far, as a JSON list
    GET  /__service/status   {"connections": N, "faults": {...}}

Modes: "normal", "slow" (answer after "delay" seconds), "garbage" (bytes that
are not HTTP, then close), "hang" (accept, read the request and never answer
until the client gives up), "drop" (close without any answer), "huge" (a
200 answer of "size" bytes, 8 MiB by default). "times" limits the fault to the
next N requests of that route. A service that is not started is "absent".

    python3 tools/package_service.py [--host H] [--port N | --listen H:P] [--log FILE]
                                     [--fault ROUTE=MODE[:DELAY]] [--print]
                                     [--package FILE | --build DIR]
"""

import argparse
import base64
import binascii
import datetime
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import package_routes  # noqa: E402  (same folder)

MODES = {"normal", "slow", "garbage", "hang", "drop", "huge"}
MAX_BODY = 16 * 1024 * 1024
HANG_LIMIT_SECONDS = 120  # a hung answer gives up after this, whatever the client does


def default_host_port():
    """host and port of PW_STATS_HOST ("host[:port]"), else 127.0.0.1:18650."""
    value = os.environ.get("PW_STATS_HOST", "127.0.0.1:18650")
    host, _, port = value.partition(":")
    return host or "127.0.0.1", int(port or 80)


def decode_report_body(body):
    """(report, error): the JSON object of a "log=" + Base64 body, or the reason it fails."""
    if not body.startswith(b"log="):
        return None, "body does not start with log="
    try:
        raw = base64.b64decode(body[4:], validate=True)
    except (binascii.Error, ValueError) as e:
        return None, "bad base64: %s" % e
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        return None, "bad utf-8: %s" % e
    try:
        return json.loads(text), None
    except ValueError as e:
        return None, "bad json: %s" % e


class Route:
    """One route of the service: a name, a matcher and a handler."""

    def __init__(self, name, method, path, query, handler):
        self.name = name
        self.method = method
        self.path = path
        self.query = query  # required query parameters, {name: value}
        self.handler = handler

    def matches(self, method, path, query):
        if method != self.method or path != self.path:
            return False
        return all(query.get(k, [None])[0] == v for k, v in self.query.items())


class Faults:
    """Per-route fault settings; a fault with "times" wears off after that many requests."""

    def __init__(self):
        self.lock = threading.Lock()
        self.faults = {}
        self.wake = threading.Event()  # set when faults are reset: hung answers end

    def set(self, route, spec):
        spec = dict(spec)
        mode = spec.get("mode", "normal")
        if mode not in MODES:
            raise ValueError("unknown mode %r" % mode)
        with self.lock:
            if mode == "normal":
                self.faults.pop(route, None)
            else:
                self.faults[route] = spec
            self.wake.clear()

    def reset(self):
        with self.lock:
            self.faults.clear()
            self.wake.set()

    def take(self, route):
        with self.lock:
            spec = self.faults.get(route)
            if not spec:
                return {"mode": "normal"}
            if "times" in spec:
                spec["times"] -= 1
                if spec["times"] <= 0:
                    del self.faults[route]
            return dict(spec)

    def snapshot(self):
        with self.lock:
            return json.loads(json.dumps(self.faults))


class ReportLog:
    """The log file, one JSON line per report request, and its copy in memory."""

    def __init__(self, path, echo):
        self.path = path
        self.echo = echo
        self.lock = threading.Lock()
        self.entries = []
        if path:
            os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
            open(path, "w").close()

    def add(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self.lock:
            self.entries.append(entry)
            if self.path:
                with open(self.path, "a", encoding="utf-8") as f:
                    f.write(line + "\n")
            if self.echo:
                shown = entry["report"] if entry["report"] is not None else entry["error"]
                print("[%s] %s" % (entry["time"], json.dumps(shown, ensure_ascii=False)),
                      flush=True)

    def clear(self):
        with self.lock:
            self.entries = []
            if self.path:
                open(self.path, "w").close()

    def snapshot(self):
        with self.lock:
            return list(self.entries)


class Service:
    def __init__(self, log, faults, package=None):
        self.log = log
        self.faults = faults
        self.package_routes = package_routes.register(package)
        self.connections = 0
        self.lock = threading.Lock()
        self.routes = [
            Route("writelog", "POST", "/caller", {"c": "site", "a": "writelog"}, self.writelog),
            Route("control", "POST", "/__service/control", {}, self.control),
            Route("reset", "POST", "/__service/reset", {}, self.reset),
            Route("log", "GET", "/__service/log", {}, self.get_log),
            Route("status", "GET", "/__service/status", {}, self.status),
        ]

    def count_connection(self):
        with self.lock:
            self.connections += 1
            return self.connections

    # --- dispatch --------------------------------------------------------
    def dispatch(self, handler, method):
        if self.package_routes.handle(handler):
            return
        parts = urlsplit(handler.path)
        query = parse_qs(parts.query)
        for route in self.routes:
            if route.matches(method, parts.path, query):
                route.handler(handler, route)
                return
        send(handler, 404, b"not found\n", "text/plain")

    # --- routes ----------------------------------------------------------
    def writelog(self, handler, route):
        body = read_body(handler)
        report, error = decode_report_body(body)
        header_lines = ["%s: %s" % (k, v) for k, v in handler.headers.items()]
        fault = self.faults.take(route.name)
        entry = {
            "time": datetime.datetime.now().isoformat(timespec="milliseconds"),
            "connection": handler.connection_number,
            "headers": header_lines,
            "cookie": handler.headers.get("Cookie"),
            "report": report,
            "error": error,
            "body_length": len(body),
            "fault": fault["mode"],
        }
        self.log.add(entry)
        answer_with_fault(handler, fault, b'{"code":0}', "application/json")

    def control(self, handler, route):
        try:
            spec = json.loads(read_body(handler) or b"{}")
            for name, fault in spec.items():
                self.faults.set(name, fault)
        except (ValueError, TypeError, AttributeError) as e:
            send(handler, 400, ("bad control: %s\n" % e).encode(), "text/plain")
            return
        send(handler, 200, json.dumps(self.faults.snapshot()).encode(), "application/json")

    def reset(self, handler, route):
        read_body(handler)
        self.faults.reset()
        self.log.clear()
        send(handler, 200, b"{}", "application/json")

    def get_log(self, handler, route):
        send(handler, 200, json.dumps(self.log.snapshot(), ensure_ascii=False).encode("utf-8"),
             "application/json; charset=utf-8")

    def status(self, handler, route):
        body = {"connections": self.connections, "faults": self.faults.snapshot()}
        send(handler, 200, json.dumps(body).encode(), "application/json")


def read_body(handler):
    length = int(handler.headers.get("Content-Length") or 0)
    return handler.rfile.read(min(length, MAX_BODY)) if length > 0 else b""


def send(handler, status, body, content_type):
    handler.send_response(status)
    handler.send_header("Content-Type", content_type)
    handler.send_header("Content-Length", str(len(body)))
    handler.send_header("Connection", "close")
    handler.end_headers()
    handler.wfile.write(body)
    handler.close_connection = True


def answer_with_fault(handler, fault, body, content_type):
    mode = fault.get("mode", "normal")
    if mode == "slow":
        time.sleep(float(fault.get("delay", 5)))
    elif mode == "garbage":
        handler.wfile.write(b"\x00\xffGARBAGE not http\r\n\r\n" + os.urandom(256))
        handler.close_connection = True
        return
    elif mode == "drop":
        handler.close_connection = True
        return
    elif mode == "hang":
        # Keep the connection open without a word until the client gives up
        # (its read fails) or the faults are reset.
        package_routes.stay_silent(handler, float(fault.get("limit", HANG_LIMIT_SECONDS)),
                                   handler.server.service.faults.wake)
        return
    elif mode == "huge":
        size = int(fault.get("size", 8 * 1024 * 1024))
        handler.send_response(200)
        handler.send_header("Content-Type", "application/octet-stream")
        handler.send_header("Content-Length", str(size))
        handler.send_header("Connection", "close")
        handler.end_headers()
        chunk = b"H" * 65536
        sent = 0
        try:
            while sent < size:
                piece = chunk[:min(len(chunk), size - sent)]
                handler.wfile.write(piece)
                sent += len(piece)
        except OSError:
            pass
        handler.close_connection = True
        return
    send(handler, 200, body, content_type)


def make_handler(service):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def setup(self):
            super().setup()
            self.connection_number = service.count_connection()

        def do_GET(self):
            service.dispatch(self, "GET")

        def do_HEAD(self):
            service.dispatch(self, "HEAD")

        def do_POST(self):
            service.dispatch(self, "POST")

        def log_message(self, fmt, *args):
            pass

    return Handler


def parse_fault(text):
    """"ROUTE=MODE[:DELAY]" from the command line."""
    route, _, rest = text.partition("=")
    mode, _, delay = rest.partition(":")
    spec = {"mode": mode}
    if delay:
        spec["delay"] = float(delay)
    return route, spec


def main(argv=None):
    host, port = default_host_port()
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default=host)
    parser.add_argument("--port", type=int, default=port)
    parser.add_argument("--listen", default=None, metavar="HOST:PORT",
                        help="host and port in one (overrides --host and --port)")
    parser.add_argument("--build", default=None,
                        help="build folder: its packages/PageWrightSetup.exe is handed out")
    parser.add_argument("--log", default=None, help="report log file (one JSON line each)")
    parser.add_argument("--fault", action="append", default=[], metavar="ROUTE=MODE[:DELAY]")
    parser.add_argument("--print", action="store_true", help="print each report as it arrives")
    parser.add_argument("--package", default=None, help="setup package to hand out")
    args = parser.parse_args(argv)
    if args.listen:
        listen_host, _, listen_port = args.listen.partition(":")
        args.host = listen_host or args.host
        args.port = int(listen_port or 80)
    if args.build and not args.package:
        args.package = os.path.join(args.build, "packages", "PageWrightSetup.exe")

    faults = Faults()
    for text in args.fault:
        faults.set(*parse_fault(text))
    service = Service(ReportLog(args.log, args.print), faults, args.package)

    class Server(ThreadingHTTPServer):
        daemon_threads = True
        allow_reuse_address = True

    server = Server((args.host, args.port), make_handler(service))
    server.service = service
    print("package service listening on %s:%d" % (args.host, server.server_address[1]),
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
