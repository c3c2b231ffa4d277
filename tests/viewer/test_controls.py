"""The controls as the page sends them, over a plain WebSocket: streaming
off and on, the frame rate and the filter through the item table, words
the item table refuses, and a read-only viewer that refuses them all."""

import json
import time

import pytest
from conftest import next_message, wait_for, ws_connect


@pytest.fixture(scope="module")
def viewer(start_viewer):
    return start_viewer("--sim", "--sim-sensors", "2")


@pytest.fixture
def ws(viewer):
    c = ws_connect(viewer)
    hello = next_message(c, "hello")
    assert hello["read_only"] is False
    yield c
    c.close()


def ask(ws, message, seconds=10):
    """Sends a control and returns its answer and the state sent after it."""
    message = dict(message, id=message.get("id", 41))
    ws.send(json.dumps(message))
    answer = next_message(ws, "result", seconds, where=lambda m: m.get("id") == message["id"])
    return answer


def drain(ws):
    """Every message already there."""
    got = []
    ws.settimeout(0.2)
    try:
        while True:
            got.append(json.loads(ws.recv()))
    except Exception:
        pass
    ws.settimeout(10)
    return got


def state_after(ws, where, seconds=10):
    return next_message(ws, "state", seconds, where=where)


def test_streaming_stops_and_starts_again(ws):
    assert ask(ws, {"type": "stream", "on": False}) == {"type": "result", "id": 41, "ok": True,
                                                         "message": "streaming stopped"}
    state_after(ws, lambda m: m["streaming"] is False)
    # No update comes once the last frames are through.
    time.sleep(0.5)
    drain(ws)
    time.sleep(1.0)
    assert [m for m in drain(ws) if m["type"] == "poses"] == []
    assert ask(ws, {"type": "stream", "on": True})["ok"]
    frames = next_message(ws, "poses")["frames"]
    assert next_message(ws, "poses", where=lambda m: m["frames"] > frames)


def test_frame_rate_and_filter_go_through_the_item_table(ws):
    assert ask(ws, {"type": "set", "item": "framerate", "values": ["120"]})["message"] == "set framerate 120"
    state_after(ws, lambda m: m["framerate"]["hz"] == 120)
    assert ask(ws, {"type": "set", "item": "filter", "values": ["heavy"], "sensor": 1, "target": "pno"})["ok"]
    # The state shows the filter of the first attached sensor: sensor 0 kept its level.
    s = state_after(ws, lambda m: True)
    assert s["filter"]["sensor"] == 0 and s["filter"]["level"] != "heavy"
    assert ask(ws, {"type": "set", "item": "filter", "values": ["heavy"], "sensor": 0})["ok"]
    state_after(ws, lambda m: m["filter"]["level"] == "heavy")
    assert ask(ws, {"type": "set", "item": "framerate", "values": ["240"]})["ok"]


def test_words_the_item_table_refuses_are_answered_and_not_sent(ws):
    a = ask(ws, {"type": "set", "item": "units", "values": ["furlong", "deg"]})
    assert a["ok"] is False and a["message"].startswith("set units: ")
    assert "furlong" in a["message"]
    a = ask(ws, {"type": "set", "item": "framerate", "values": ["100"]})
    assert a == {"type": "result", "id": 41, "ok": False,
                 "message": "set framerate: the tracker has no frame rate of 100 Hz: it has 30, 60, 120, 240, "
                            "480 or 960 Hz; expected HZ"}
    a = ask(ws, {"type": "set", "item": "units", "values": ["cm"]})
    assert a["ok"] is False and "POS ORI" in a["message"]


def test_a_read_only_viewer_refuses_every_control(start_viewer):
    viewer = start_viewer("--sim", "--sim-sensors", "1", "--read-only")
    c = ws_connect(viewer)
    try:
        assert next_message(c, "hello")["read_only"] is True
        controls = ({"type": "stream", "on": False, "id": 5},
                    {"type": "set", "item": "units", "values": ["cm", "deg"], "id": 6},
                    {"type": "record", "on": True, "id": 7})
        for message in controls:
            c.send(json.dumps(message))
        # The state comes once, when the viewer has read it, before or among the answers.
        seen = {"result": [], "state": []}
        end = time.monotonic() + 10
        while (len(seen["result"]) < len(controls) or not seen["state"]) and time.monotonic() < end:
            m = json.loads(c.recv())
            seen.setdefault(m["type"], []).append(m)
        assert seen["result"] == [{"type": "result", "id": sent["id"], "ok": False,
                                   "message": "the viewer is read-only: it takes no controls"} for sent in controls]
        # Still streaming, in the units it had, and nothing was recorded.
        state = seen["state"][0]
        assert state["streaming"] is True and state["units"]["pos_units"] == "inch"
        assert wait_for(lambda: next_message(c, "poses")["recording"] is None)
    finally:
        c.close()
