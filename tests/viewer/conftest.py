"""Fixtures of the viewer's tests: `sxtool view` on the simulated tracker
(inside the process), plain WebSocket clients with the page's origin, and
headless Chromium."""

import os
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
import json

import pytest

SXTOOL = os.environ.get("SXTOOL", "sxtool")
OUT = os.environ.get("SX_VIEWER_OUT", tempfile.gettempdir())


def wait_for(predicate, seconds=10.0, step=0.02):
    """predicate()'s value once it is true within seconds (polled), else its last value."""
    end = time.monotonic() + seconds
    while True:
        value = predicate()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


class Viewer:
    """A running `sxtool view`: its URL, port and record folder."""

    def __init__(self, args, record_dir, wrapper=(), preexec_fn=None):
        self.record_dir = record_dir
        self.proc = subprocess.Popen(list(wrapper) + [SXTOOL, "view", "--port", "0", "--record-dir", record_dir] + args,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                     preexec_fn=preexec_fn)
        line = self.proc.stdout.readline()
        m = re.match(r"viewer at (http://([\d.]+):(\d+)/)$", line.strip())
        if not m:
            self.proc.kill()
            raise AssertionError("sxtool view did not start: %r %s" % (line, self.proc.stderr.read()))
        self.url, self.address, self.port = m.group(1), m.group(2), int(m.group(3))
        self.host = "%s:%d" % (self.address, self.port)
        self.origin = "http://" + self.host

    def stop(self):
        """Ctrl-C; what it printed after its first line, and its exit code."""
        self.proc.send_signal(signal.SIGINT)
        out, err = self.proc.communicate(timeout=20)
        return out, err, self.proc.returncode


@pytest.fixture(scope="module")
def start_viewer():
    """Starts viewers with extra arguments; each is stopped (and must exit 0) at the end."""
    started = []

    def start(*args):
        v = Viewer(list(args), tempfile.mkdtemp(prefix="sxview-"))
        started.append(v)
        return v

    yield start
    for v in started:
        out, err, code = v.stop()
        shutil.rmtree(v.record_dir, ignore_errors=True)
        assert code == 0, err


def ws_connect(viewer, origin=None, rcvbuf=None, **kw):
    """A WebSocket to the viewer with the page's origin (or the one given)."""
    import websocket
    sockopt = [(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)] if rcvbuf else []
    return websocket.create_connection("ws://%s/ws" % viewer.host, timeout=10,
                                       origin=viewer.origin if origin is None else origin, sockopt=sockopt,
                                       http_no_proxy=[viewer.address], **kw)


def next_message(ws, kind, seconds=10.0, where=None):
    """The next message of a type (and that passes where), skipping others."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        m = json.loads(ws.recv())
        if m.get("type") == kind and (where is None or where(m)):
            return m
    raise AssertionError("no %s message within %s s" % (kind, seconds))


def http(viewer, raw):
    """Sends raw bytes to the viewer and returns all it answers until it closes or goes quiet."""
    with socket.create_connection((viewer.address, viewer.port), timeout=5) as s:
        s.sendall(raw)
        data = b""
        try:
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                data += chunk
                if b"\r\n\r\n" in data and len(data) > 0 and b"Connection: close" not in data:
                    head, _, body = data.partition(b"\r\n\r\n")
                    m = re.search(rb"Content-Length: (\d+)", head, re.I)
                    if m and len(body) >= int(m.group(1)):
                        break
        except socket.timeout:
            pass
        return data


def status_of(answer):
    m = re.match(rb"HTTP/1\.1 (\d+)", answer)
    return int(m.group(1)) if m else None


class SlotHolders:
    """Clients that would hold every connection of a viewer, on a thread of
    their own until closed: slow ones send a request's header a byte a
    second and connect again when they find themselves closed; kept-alive
    ones send HEAD / every kept_every seconds on one connection, and connect
    again when closed."""

    def __init__(self, viewer, slow, kept, kept_every=1.0):
        self.viewer = viewer
        self.head = ("HEAD / HTTP/1.1\r\nHost: %s\r\n\r\n" % viewer.host).encode()
        now = time.monotonic()
        # kind, socket, bytes sent, seconds between steps, next step
        self.conns = [["slow", None, 0, 1.0, now] for _ in range(slow)] + \
                     [["kept", None, 0, kept_every, now] for _ in range(kept)]
        self.stop = threading.Event()
        self.reconnects = 0
        for c in self.conns:
            self.connect(c)
        self.thread = threading.Thread(target=self.run)
        self.thread.start()

    def connect(self, c):
        if c[1]:
            c[1].close()
            self.reconnects += 1
        c[1] = socket.create_connection((self.viewer.address, self.viewer.port), timeout=5)
        c[1].setblocking(False)
        c[2] = 0

    def step(self, c):
        kind, s, sent = c[:3]
        try:
            if select.select([s], [], [], 0)[0] and s.recv(65536) == b"":
                raise ConnectionError("closed")
            if kind == "slow":
                s.send(self.head[sent % len(self.head):][:1])
                c[2] += 1
            else:
                s.send(self.head)
        except (OSError, ConnectionError):
            self.connect(c)

    def run(self):
        while True:
            due = min(c[4] for c in self.conns)
            if self.stop.wait(max(0.0, due - time.monotonic())):
                return
            now = time.monotonic()
            for c in self.conns:
                if c[4] <= now:
                    self.step(c)
                    c[4] = now + c[3]

    def close(self):
        self.stop.set()
        self.thread.join()
        for c in self.conns:
            c[1].close()


def page_and_socket_seconds(viewer):
    """How long the page takes to load and its WebSocket to greet (an
    AssertionError when either fails)."""
    start = time.monotonic()
    answer = http(viewer, ("GET / HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n" % viewer.host).encode())
    assert status_of(answer) == 200 and answer.endswith(b"</html>\n"), answer[:200]
    page = time.monotonic() - start
    ws = ws_connect(viewer)
    try:
        next_message(ws, "hello", 2)
    finally:
        ws.close()
    return page, time.monotonic() - start - page


CHROME_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--no-proxy-server", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                "--window-size=1280,900"]


def new_browser():
    """Headless Chromium with a fresh profile, its console kept."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    assert shutil.which("chromium") and shutil.which("chromedriver"), \
        "chromium and chromium-driver are needed (bash scripts/setup.sh)"
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    profile = tempfile.mkdtemp(prefix="sxview-chromium-")
    for flag in CHROME_FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.profile_dir = profile
    return driver


def close_browser(driver):
    driver.quit()
    shutil.rmtree(driver.profile_dir, ignore_errors=True)


@pytest.fixture(scope="module")
def browser():
    driver = new_browser()
    yield driver
    close_browser(driver)
