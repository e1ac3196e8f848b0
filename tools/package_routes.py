"""Package routes of the local package service.

Serves the setup package built by tools/CMakeLists.txt from two sources, the
way the installer asks for it:

    GET /caller?c=site&a=downloadPackage[&bits=64]&channel=...&tick=...   "service"
    GET /pagewright/PageWrightSetup.exe?tick=...                          "cdn"

and the two web pages the installer opens, "/user-agreement/" and
"/offline/pdf.html".

Each source can be told to misbehave, for tests and demos, through a control
endpoint (JSON in the body):

    POST /__packages/control  {"service": FAULT, "cdn": FAULT, "setup": SETUP}
    POST /__packages/reset    back to normal, request log emptied
    GET  /__packages/log      the package requests seen so far, as JSON

FAULT is an object with one or more of
    "status": 503            answer with this HTTP status and a short body
    "error_body": true       with "status": the error answer carries the whole package
                             as its body (a broken server or proxy)
    "truncate": 1048576      announce the full size, send only this many bytes, close
    "length": 123            send this Content-Length with the full body, then close
    "no_length": true        send no Content-Length (the body ends with the connection)
    "no_mz": true            the body does not start with "MZ"
    "size": 9437184          a body of this many bytes (the package cut or zero-padded)
    "trickle": 12            spread the body over this many seconds
    "steps": 4               with "trickle": in this many pieces, evenly apart (default: ten a second)
    "hang": true             read the request and never answer (until the client gives up,
                             the routes are reset, or two minutes have passed)
    "stall_after": 1048576   announce the full size, send this many bytes, then fall silent
                             with the connection open (the same limits as "hang")
    "drop": true             close the connection without any answer
    "times": 2               misbehave for this many requests of the source only
SETUP is {"exit": CODE, "runs": N}: the package served carries a trailer that
makes its first N runs exit with CODE (see setup_package/PageWrightSetup.nsi).

The package service hooks these routes in with
    routes = package_routes.register(package_path)
    ...in its handler: if routes.handle(self): return
and `python3 package_routes.py --port N --package FILE` runs them alone.
"""

import argparse
import json
import os
import secrets
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

MIB = 1024 * 1024

PAGES = {
    "/user-agreement/": "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>用户协议</title>"
                        "</head><body><h1>用户协议</h1><p>岚枢PDF转换器 用户协议（本地演示页）。</p>"
                        "</body></html>",
    "/offline/pdf.html": "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>离线安装包</title>"
                         "</head><body><h1>岚枢PDF转换器 离线安装包</h1>"
                         "<p><a href=\"/pagewright/PageWrightSetup.exe\">PageWrightSetup.exe</a></p>"
                         "</body></html>",
}

FAULT_KEYS = {"status", "error_body", "truncate", "length", "no_length", "no_mz", "size",
              "trickle", "steps", "hang", "stall_after", "drop", "times"}
SILENCE_LIMIT_SECONDS = 120  # a silent answer gives up after this, whatever the client does


def default_package_path():
    """The package of the current build: $PW_PACKAGE, else $PW_BUILD_DIR/packages/..."""
    if os.environ.get("PW_PACKAGE"):
        return os.environ["PW_PACKAGE"]
    build = os.environ.get("PW_BUILD_DIR")
    if build:
        return os.path.join(build, "packages", "PageWrightSetup.exe")
    return None


def setup_trailer(exit_code, runs, nonce):
    """The 64-byte tail that makes the package's first `runs` runs exit with `exit_code`."""
    text = "\nPWSETUP\n%d\n%d\n%s\n" % (exit_code, runs, nonce)
    data = text.encode("ascii")
    if len(data) > 64:
        raise ValueError("setup trailer too long")
    return b" " * (64 - len(data)) + data


class PackageRoutes:
    def __init__(self, package_path=None):
        self.package_path = package_path or default_package_path()
        self._lock = threading.Lock()
        self._cache = (None, None, b"")  # (path, mtime, bytes)
        self._wake = threading.Event()  # set by reset: silent answers end
        self.reset()

    # --- control ---------------------------------------------------------
    def reset(self):
        with self._lock:
            self.faults = {"service": None, "cdn": None}
            self.setup = None
            self.log = []
        self._wake.set()
        self._wake = threading.Event()

    def control(self, spec):
        """Applies a control object (see the module text); returns an error text or None."""
        with self._lock:
            for source in ("service", "cdn"):
                if source in spec:
                    fault = spec[source]
                    if fault is not None:
                        unknown = set(fault) - FAULT_KEYS
                        if unknown:
                            return "unknown fault keys: %s" % ", ".join(sorted(unknown))
                        fault = dict(fault)
                        fault["_served"] = 0
                    self.faults[source] = fault
            if "setup" in spec:
                setup = spec["setup"]
                if setup is not None:
                    setup = {"exit": int(setup["exit"]), "runs": int(setup["runs"]),
                             "nonce": secrets.token_hex(8)}
                self.setup = setup
        return None

    def _take_fault(self, source):
        with self._lock:
            fault = self.faults.get(source)
            if not fault:
                return {}
            times = fault.get("times")
            if times is not None and fault["_served"] >= times:
                return {}
            fault["_served"] += 1
            return {k: v for k, v in fault.items() if not k.startswith("_") and k != "times"}

    # --- package bytes ---------------------------------------------------
    def _package(self):
        path = self.package_path
        if not path or not os.path.exists(path):
            return None
        mtime = os.path.getmtime(path)
        with self._lock:
            if self._cache[0] == path and self._cache[1] == mtime:
                return self._cache[2]
        with open(path, "rb") as f:
            data = f.read()
        with self._lock:
            self._cache = (path, mtime, data)
        return data

    def _body(self, fault):
        data = self._package()
        if data is None:
            return None
        with self._lock:
            setup = dict(self.setup) if self.setup else None
        if setup:
            data = data + setup_trailer(setup["exit"], setup["runs"], setup["nonce"])
        if "size" in fault:
            size = int(fault["size"])
            data = data[:size] + b"\0" * max(0, size - len(data))
        if fault.get("no_mz"):
            data = b"XX" + data[2:]
        return data

    # --- request handling ------------------------------------------------
    def handle(self, handler):
        """Serves the request of a BaseHTTPRequestHandler when it is one of ours.

        Returns True when the request was answered (or deliberately dropped)."""
        parts = urlsplit(handler.path)
        query = parse_qs(parts.query, keep_blank_values=True)
        method = handler.command

        if parts.path.startswith("/__packages/"):
            return self._handle_control(handler, parts.path, method)
        if method not in ("GET", "HEAD"):
            return False
        if parts.path in PAGES:
            self._send_page(handler, PAGES[parts.path])
            return True
        if parts.path == "/caller" and query.get("c") == ["site"] and \
                query.get("a") == ["downloadPackage"]:
            self._serve_package(handler, "service", parts, query)
            return True
        if parts.path == "/pagewright/PageWrightSetup.exe":
            self._serve_package(handler, "cdn", parts, query)
            return True
        return False

    def _handle_control(self, handler, path, method):
        if path == "/__packages/log" and method == "GET":
            with self._lock:
                body = json.dumps(self.log).encode("utf-8")
            self._send(handler, 200, body, "application/json")
            return True
        if path == "/__packages/reset" and method == "POST":
            self._read_body(handler)
            self.reset()
            self._send(handler, 200, b"{}", "application/json")
            return True
        if path == "/__packages/control" and method == "POST":
            try:
                spec = json.loads(self._read_body(handler) or b"{}")
                error = self.control(spec)
            except (ValueError, KeyError, TypeError) as e:
                error = "bad control: %s" % e
            if error:
                self._send(handler, 400, json.dumps({"error": error}).encode("utf-8"),
                           "application/json")
            else:
                self._send(handler, 200, b"{}", "application/json")
            return True
        return False

    @staticmethod
    def _read_body(handler):
        length = int(handler.headers.get("Content-Length") or 0)
        return handler.rfile.read(length) if length > 0 else b""

    def _serve_package(self, handler, source, parts, query):
        fault = self._take_fault(source)
        entry = {"source": source, "path": handler.path, "time": time.time(),
                 "fault": sorted(fault)}
        for key in ("bits", "channel", "tick"):
            if key in query:
                entry[key] = query[key][0]
        with self._lock:
            self.log.append(entry)

        if fault.get("drop"):
            handler.close_connection = True
            return
        if fault.get("hang"):
            self._stay_silent(handler)
            return
        if "status" in fault and not fault.get("error_body"):
            self._send(handler, int(fault["status"]), b"unavailable\n", "text/plain")
            return
        body = self._body(fault)
        if body is None:
            self._send(handler, 404, b"package not built\n", "text/plain")
            return
        if "status" in fault:
            self._send(handler, int(fault["status"]), body, "application/octet-stream")
            return

        send_bytes = len(body)
        if "truncate" in fault:
            send_bytes = min(send_bytes, int(fault["truncate"]))
        if "stall_after" in fault:
            send_bytes = min(send_bytes, int(fault["stall_after"]))
        handler.close_connection = True
        handler.send_response(200)
        handler.send_header("Content-Type", "application/octet-stream")
        handler.send_header("Cache-Control", "no-cache, no-store")
        handler.send_header("Connection", "close")
        if "length" in fault:
            handler.send_header("Content-Length", str(int(fault["length"])))
        elif not fault.get("no_length"):
            handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        if handler.command == "HEAD":
            return
        try:
            self._write_body(handler, body[:send_bytes], float(fault.get("trickle", 0)),
                             int(fault.get("steps", 0)))
            if "stall_after" in fault:
                self._stay_silent(handler)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def _stay_silent(self, handler):
        stay_silent(handler, SILENCE_LIMIT_SECONDS, self._wake)

    @staticmethod
    def _write_body(handler, body, trickle_seconds, steps=0):
        if trickle_seconds <= 0:
            handler.wfile.write(body)
            handler.wfile.flush()
            return
        steps = steps if steps > 0 else max(1, int(trickle_seconds * 10))
        chunk = max(1, (len(body) + steps - 1) // steps)
        for offset in range(0, len(body), chunk):
            handler.wfile.write(body[offset:offset + chunk])
            handler.wfile.flush()
            time.sleep(trickle_seconds / steps)

    @staticmethod
    def _send_page(handler, html):
        PackageRoutes._send(handler, 200, html.encode("utf-8"), "text/html; charset=utf-8")

    @staticmethod
    def _send(handler, status, body, content_type):
        handler.send_response(status)
        handler.send_header("Content-Type", content_type)
        handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        if handler.command != "HEAD":
            handler.wfile.write(body)


def stay_silent(handler, limit_seconds, wake):
    """Keeps the handler's connection open without a byte until the client
    closes it, |wake| is set or |limit_seconds| have passed."""
    handler.close_connection = True
    handler.connection.settimeout(0.5)
    deadline = time.time() + limit_seconds
    while time.time() < deadline and not wake.is_set():
        try:
            if handler.connection.recv(1) == b"":
                break
        except socket.timeout:
            continue
        except OSError:
            break


def register(package_path=None):
    """The routes object a service keeps and calls `handle(handler)` on."""
    return PackageRoutes(package_path)


def main():
    parser = argparse.ArgumentParser(description="serve the setup package alone")
    parser.add_argument("--port", type=int, default=18650)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--package", default=None)
    args = parser.parse_args()
    routes = register(args.package)

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            if not routes.handle(self):
                self.send_error(404)

        do_HEAD = do_GET
        do_POST = do_GET

        def log_message(self, fmt, *fmt_args):
            pass

    server = ThreadingHTTPServer((args.host, args.port), Handler)
    server.daemon_threads = True
    print("package routes on http://%s:%d/" % (args.host, server.server_address[1]), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
