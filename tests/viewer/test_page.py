"""The page in headless Chromium against `sxtool view --sim --sim-static`:
it loads cleanly, draws with WebGL, shows the simulator's poses, follows a
change of units made on it, records, and serves two browsers while a third
client stalls."""

import io
import json
import os
import subprocess
import time

import pytest
from conftest import OUT, SXTOOL, close_browser, new_browser, next_message, wait_for, ws_connect

SENSORS = 16


@pytest.fixture(scope="module")
def viewer(start_viewer):
    return start_viewer("--sim", "--sim-static", "--sim-sensors", str(SENSORS))


@pytest.fixture(scope="module")
def page(browser, viewer):
    browser.get(viewer.url)
    assert wait_for(lambda: len(browser.find_elements("css selector", "#sensors tbody tr")) == SENSORS)
    return browser


def cell(driver, sensor, column):
    return driver.find_element("css selector", "#sensor-row-%d td.%s" % (sensor, column)).text


def stats(driver):
    return driver.execute_script("return window.sxViewer.stats()")


def test_loads_without_console_errors_and_draws_with_webgl(page):
    from PIL import Image
    assert wait_for(lambda: stats(page)["updates"] > 10)
    assert stats(page)["webgl"]
    # The rates have had a second to fill in (the screenshot serves the README too).
    assert wait_for(lambda: float(page.find_element("css selector", "#frame-rate").text) > 200)
    png = page.get_screenshot_as_png()
    with open(os.path.join(OUT, "viewer-page.png"), "wb") as f:
        f.write(png)
    # The scene's canvas is not blank: its pixels have many colours.
    canvas = page.find_element("css selector", "#view")
    r = canvas.rect
    ratio = page.execute_script("return window.devicePixelRatio")
    shot = Image.open(io.BytesIO(png)).convert("RGB")
    box = [int(v * ratio) for v in (r["x"], r["y"], r["x"] + r["width"], r["y"] + r["height"])]
    scene = shot.crop(box)
    colours = scene.getcolors(maxcolors=1 << 20)
    assert len(colours) > 50
    background = max(colours)[1]
    drawn = sum(n for n, c in colours if c != background)
    assert drawn > 0.01 * scene.width * scene.height
    errors = [e for e in page.get_log("browser") if e["level"] == "SEVERE"]
    assert errors == []


def test_table_shows_the_static_poses_and_the_frames_advance(page):
    for k in range(SENSORS):
        assert wait_for(lambda: cell(page, k, "x") == "%.3f" % (10 + k)), k
        assert [cell(page, k, c) for c in ("x", "y", "z", "az", "el", "ro")] == [
            "%.3f" % (10 + k), "%.3f" % (-5 + 2 * k), "3.500", "%.3f" % (10 * k), "30.000", "-45.000"]
    first = int(page.find_element("css selector", "#frame-count").text)
    assert wait_for(lambda: int(page.find_element("css selector", "#frame-count").text) > first + 20)
    assert wait_for(lambda: int(cell(page, 3, "frames")) > first)


def test_units_changed_on_the_page_reach_the_tracker_and_the_table(page, viewer):
    from selenium.webdriver.support.ui import Select
    Select(page.find_element("css selector", "#pos-units")).select_by_value("cm")
    # The state is read back from the tracker after the set.
    assert wait_for(lambda: page.find_element("css selector", "#state-units").text == "cm, euler_degree")
    assert wait_for(lambda: cell(page, 2, "x") == "30.480")
    assert cell(page, 2, "z") == "8.890" and cell(page, 2, "az") == "20.000"
    # Another client of the same viewer reads the same state.
    ws = ws_connect(viewer)
    try:
        state = next_message(ws, "state")
        assert state["units"] == {"pos_units": "cm", "ori_units": "euler_degree"}
    finally:
        ws.close()
    Select(page.find_element("css selector", "#pos-units")).select_by_value("inch")
    assert wait_for(lambda: cell(page, 2, "x") == "12.000")


def test_record_button_writes_a_recording_that_convert_reads(page, viewer):
    button = page.find_element("css selector", "#record-toggle")
    button.click()
    assert wait_for(lambda: page.find_element("css selector", "#rec-file").text.endswith(".sxrec")), \
        page.find_element("css selector", "#message").text
    assert wait_for(lambda: int((page.find_element("css selector", "#rec-frames").text or "0 f").split()[0]) > 100)
    button.click()
    assert wait_for(lambda: page.find_element("css selector", "#message").text.startswith("recorded "))
    words = page.find_element("css selector", "#message").text.split()
    frames, name = int(words[1]), words[-1]
    assert frames > 100
    r = subprocess.run([SXTOOL, "convert", os.path.join(viewer.record_dir, name), "--format", "jsonl"],
                       capture_output=True, text=True, timeout=60)
    assert r.returncode == 0, r.stderr
    rows = r.stdout.splitlines()
    assert len(rows) == frames
    assert '"position":[10.0,-5.0,3.5]' in rows[0]


def test_two_browsers_at_once_and_a_stalled_client_slows_neither(page, viewer):
    second = new_browser()
    try:
        second.get(viewer.url)
        assert wait_for(lambda: stats(second)["updates"] > 10)
        # A client that never reads, with a small receive buffer.
        stalled = ws_connect(viewer, rcvbuf=4096)
        try:
            since = time.monotonic_ns()
            before = [stats(page)["updates"], stats(second)["updates"]]
            time.sleep(4)
            after = [stats(page)["updates"], stats(second)["updates"]]
            resumed = time.monotonic_ns()
            # 60 updates a second at most; on a loaded machine well over half arrive.
            assert all(a - b > 120 for a, b in zip(after, before)), (before, after)
            # The stalled client gets what the buffers held, then the newest
            # (the server's stamps are on the same monotonic clock): far fewer
            # than the 240 updates of those four seconds.
            held = 0
            while True:
                m = json.loads(stalled.recv())
                if m["type"] != "poses":
                    continue
                if m["server_ns"] > resumed:
                    break
                held += m["server_ns"] > since
            assert 0 < held < 120, held
        finally:
            stalled.close()
    finally:
        close_browser(second)
