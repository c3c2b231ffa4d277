"""What the viewer refuses, with plain sockets: other origins and hosts,
paths outside the page, methods other than GET, malformed, oversized and
too many messages, browsers and connections beyond the limits, half-sent
and silent requests; and it listens on the loopback only by default."""

import json
import socket
import time

import pytest
from conftest import http, next_message, status_of, wait_for, ws_connect


@pytest.fixture(scope="module")
def viewer(start_viewer):
    return start_viewer("--sim", "--sim-sensors", "1", "--max-browsers", "2")


def get(viewer, target, host=None, method="GET"):
    return http(viewer, ("%s %s HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n"
                         % (method, target, host or viewer.host)).encode())


def upgrade(viewer, origin=None, host=None, target="/ws"):
    lines = ["GET %s HTTP/1.1" % target, "Host: %s" % (host or viewer.host), "Upgrade: websocket",
             "Connection: Upgrade", "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==", "Sec-WebSocket-Version: 13"]
    if origin is not None:
        lines.append("Origin: " + origin)
    with socket.create_connection((viewer.address, viewer.port), timeout=5) as s:
        s.sendall(("\r\n".join(lines) + "\r\n\r\n").encode())
        return s.recv(4096)


def test_listens_on_the_loopback_only_by_default(viewer):
    assert viewer.address == "127.0.0.1"
    port = "%04X" % viewer.port
    with open("/proc/net/tcp") as f:
        listening = [line.split()[1] for line in f if line.split()[3] == "0A"]
    assert "0100007F:" + port in listening
    assert not any(a.endswith(":" + port) and a != "0100007F:" + port for a in listening)


def test_only_the_page_files_are_served(viewer):
    assert status_of(get(viewer, "/")) == 200
    assert status_of(get(viewer, "/three/examples/jsm/controls/OrbitControls.js")) == 200
    for target in ("/../../../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/three/../../../../../etc/passwd",
                   "//etc/passwd", "/viewer.js/../../CMakeLists.txt", "/index.html%00.js", "/three/",
                   "http://127.0.0.1/etc/passwd"):
        answer = get(viewer, target)
        assert status_of(answer) == 404, target
        assert b"root:" not in answer
    assert status_of(get(viewer, "/", method="POST")) == 405
    assert status_of(get(viewer, "/", method="DELETE")) == 405
    head = get(viewer, "/viewer.js", method="HEAD")
    assert status_of(head) == 200 and head.endswith(b"\r\n\r\n")


def test_foreign_hosts_and_origins_are_refused(viewer):
    # A name that could point anywhere (DNS rebinding) is not this server.
    assert status_of(get(viewer, "/", host="evil.example:%d" % viewer.port)) == 421
    assert status_of(get(viewer, "/", host="127.0.0.1:1")) == 421
    assert status_of(get(viewer, "/", host="localhost:%d" % viewer.port)) == 200
    assert status_of(upgrade(viewer, origin=viewer.origin)) == 101
    for origin in (None, "http://evil.example:%d" % viewer.port, "null", "https://" + viewer.host,
                   "http://127.0.0.1:1", "http://localhost:%d" % viewer.port):
        assert status_of(upgrade(viewer, origin=origin)) == 403, origin
    assert status_of(upgrade(viewer, origin="http://evil.example:%d" % viewer.port,
                             host="evil.example:%d" % viewer.port)) == 421
    assert status_of(upgrade(viewer, origin=viewer.origin, target="/other")) == 404


def test_bad_messages_are_refused_with_what_is_accepted(viewer):
    ws = ws_connect(viewer)
    try:
        next_message(ws, "hello")

        def answer(text):
            ws.send(text)
            return next_message(ws, "result")

        assert answer("stream off")["message"] == "a message from the page must be JSON"
        assert answer("[1]")["message"] == "a message from the page must be a JSON object"
        assert answer('{"type":"reboot"}')["message"] == "unknown message type: the types are stream, record and set"
        assert answer('{"type":"stream","on":1}')["message"] == 'a stream message needs "on": true or false'
        assert answer('{"type":"set","item":"boresight","values":["1","2","3"],"id":3}') == {
            "type": "result", "id": 3, "ok": False, "message": "the page may set units, framerate, filter"}
        assert answer('{"type":"set","item":"units","values":["cm","deg"],"sensor":2}')["message"] == \
            'units does not address a sensor: it takes no "sensor"'
        assert answer('{"type":"set","item":"filter","values":["light"],"sensor":16}')["message"] == \
            "sensor 16 does not exist: sensors are numbered 0 to 15"
        assert answer('{"type":"set","item":"units","values":["cm;rm","deg"]}')["message"] == \
            "set units: a value word has 1 to 24 letters, digits or . _ + -"
        assert answer('{"type":"set","item":"filter","values":["light"],"target":"po^"}')["message"] == \
            '"target" must be one of pno|ori|pos'
        assert answer('{"type":"stream","on":true,"path":"/etc"}')["message"] == \
            "a stream message takes only type, id, on"
        ws.send_binary(b'{"type":"stream","on":false}')
        assert next_message(ws, "result")["message"] == "messages from the page are JSON text"
        # Still streaming: none of them was carried out.
        assert next_message(ws, "poses")
        # Beyond the size limit the WebSocket closes ("message too big").
        ws.send(json.dumps({"type": "stream", "on": False, "pad": "x" * 2000}))
        with pytest.raises(Exception):
            while True:
                ws.recv()
    finally:
        ws.close()


def test_too_many_messages_are_refused(viewer):
    ws = ws_connect(viewer)
    try:
        next_message(ws, "hello")
        for i in range(30):
            ws.send('{"type":"bogus","id":%d}' % i)
        answers = [next_message(ws, "result") for _ in range(30)]
        busy = [a for a in answers if a["message"].startswith("too many messages")]
        assert 15 <= len(busy) <= 21, answers
    finally:
        ws.close()


def test_browsers_and_connections_beyond_the_limits_are_refused(viewer):
    first, second = ws_connect(viewer), ws_connect(viewer)
    try:
        assert status_of(upgrade(viewer, origin=viewer.origin)) == 503
    finally:
        first.close()
        second.close()
    # Room again once they have gone.
    assert wait_for(lambda: status_of(upgrade(viewer, origin=viewer.origin)) == 101)
    # Connections beyond 32 are closed at once, before any request.
    conns = [socket.create_connection((viewer.address, viewer.port), timeout=5) for _ in range(40)]
    try:
        closed = 0
        for c in conns[32:]:
            c.settimeout(2)
            closed += c.recv(1) == b""
        assert closed == 8
    finally:
        for c in conns:
            c.close()


def test_half_sent_and_silent_requests_time_out(viewer):
    half = socket.create_connection((viewer.address, viewer.port), timeout=10)
    silent = socket.create_connection((viewer.address, viewer.port), timeout=10)
    try:
        half.sendall(b"GET / HTTP/1.1\r\nHost: ")
        start = time.monotonic()
        assert half.recv(1) == b"" and silent.recv(1) == b""
        assert 4 < time.monotonic() - start < 8
    finally:
        half.close()
        silent.close()
