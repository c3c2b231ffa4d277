"""What the viewer refuses, with plain sockets: other origins and hosts,
paths outside the page, methods other than GET, malformed, oversized and
too many messages (from one browser or from many), browsers beyond the
limit, half-sent, slow, silent and kept-alive requests, and clients that
would hold every connection or the shutdown; and it listens on the
loopback only by default."""

import json
import signal
import socket
import time

import pytest
from conftest import SlotHolders, http, next_message, page_and_socket_seconds, status_of, wait_for, ws_connect


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


def busy_answers(ws, count):
    for i in range(count):
        ws.send('{"type":"bogus","id":%d}' % i)
    answers = [next_message(ws, "result") for _ in range(count)]
    return [a for a in answers if a["message"] == "too many messages: at most 10 a second"]


def test_too_many_messages_are_refused_whichever_browser_sends_them(viewer):
    # The allowance is the whole server's: whole again after a second.
    time.sleep(1.0)
    ws = ws_connect(viewer)
    try:
        next_message(ws, "hello")
        busy = busy_answers(ws, 30)
        assert 15 <= len(busy) <= 21, busy
    finally:
        ws.close()
    # A new session brings no allowance of its own.
    ws = ws_connect(viewer)
    try:
        next_message(ws, "hello")
        assert len(busy_answers(ws, 10)) >= 7
    finally:
        ws.close()


def still_open(conn):
    conn.setblocking(False)
    try:
        return conn.recv(1) != b""
    except BlockingIOError:
        return True
    finally:
        conn.setblocking(True)


def test_browsers_beyond_the_limit_are_refused_connections_beyond_evict_the_oldest(viewer):
    first, second = ws_connect(viewer), ws_connect(viewer)
    conns = []
    try:
        assert status_of(upgrade(viewer, origin=viewer.origin)) == 503
        # 40 plain connections beside the 2 browsers: each beyond 32 closes
        # the oldest plain one at once, never a browser.
        conns = [socket.create_connection((viewer.address, viewer.port), timeout=5) for _ in range(40)]
        start = time.monotonic()
        for c in conns[:10]:
            c.settimeout(1)
            assert c.recv(1) == b""
        assert time.monotonic() - start < 1
        assert all(still_open(c) for c in conns[10:])
        next_message(first, "poses")
        next_message(second, "poses")
    finally:
        for c in conns:
            c.close()
        first.close()
        second.close()
    # Room again once they have gone.
    assert wait_for(lambda: status_of(upgrade(viewer, origin=viewer.origin)) == 101)


def closed_after(conn, start):
    """Seconds from start until the viewer closed conn (its answers read and dropped)."""
    while conn.recv(65536):
        pass
    return time.monotonic() - start


def test_half_sent_slow_silent_and_kept_alive_requests_time_out(viewer):
    conns = [socket.create_connection((viewer.address, viewer.port), timeout=10) for _ in range(4)]
    half, slow, silent, kept = conns
    try:
        start = time.monotonic()
        half.sendall(b"GET / HTTP/1.1\r\nHost: ")
        head = ("HEAD / HTTP/1.1\r\nHost: %s\r\n\r\n" % viewer.host).encode()
        kept.sendall(head)
        # A byte every 0.3 s does not keep a header open.
        slow.settimeout(0.3)
        sent = 0
        while True:
            try:
                slow.sendall(head[sent:sent + 1])
                sent += 1
                if slow.recv(1) == b"":
                    break
            except socket.timeout:
                continue
            except OSError:
                break
        slow_took = time.monotonic() - start
        assert 1.5 < slow_took < 3, sent
        for c in (half, silent):
            assert 1.5 < closed_after(c, start) < 3
        # The kept-alive connection: answered, then closed after 5 s idle.
        assert status_of(kept.recv(4096)) == 200
        assert 4.5 < closed_after(kept, start) < 6.5
    finally:
        for c in conns:
            c.close()


def test_a_kept_alive_connection_serves_at_most_100_requests(viewer):
    head = ("HEAD /viewer.js HTTP/1.1\r\nHost: %s\r\n\r\n" % viewer.host).encode()
    with socket.create_connection((viewer.address, viewer.port), timeout=5) as c:
        c.sendall(head * 100)
        data = b""
        while True:
            chunk = c.recv(65536)
            if not chunk:
                break
            data += chunk
    answers = data.split(b"HTTP/1.1 200 OK")[1:]
    assert len(answers) == 100
    assert b"Connection: close" in answers[-1] and b"Connection: close" not in answers[-2]


def test_slow_and_kept_alive_clients_holding_every_connection_keep_no_page_out(viewer):
    holders = SlotHolders(viewer, slow=100, kept=31)
    try:
        for _ in range(4):
            page, socket_open = page_and_socket_seconds(viewer)
            assert page < 2 and socket_open < 2
            time.sleep(0.5)
        assert holders.reconnects > 0
    finally:
        holders.close()


def test_stopping_closes_every_connection_and_exits_within_a_second(start_viewer):
    v = start_viewer("--sim", "--sim-sensors", "1")
    ws = ws_connect(v)
    next_message(ws, "poses")
    kept = socket.create_connection((v.address, v.port), timeout=5)
    kept.sendall(("HEAD / HTTP/1.1\r\nHost: %s\r\n\r\n" % v.host).encode())
    assert status_of(kept.recv(4096)) == 200
    half = socket.create_connection((v.address, v.port), timeout=5)
    half.sendall(b"GET / HTTP/1.1\r\n")
    try:
        start = time.monotonic()
        v.proc.send_signal(signal.SIGTERM)
        v.proc.wait(timeout=5)
        assert time.monotonic() - start < 1
        assert v.proc.returncode == 0
    finally:
        for c in (ws, kept, half):
            c.close()
