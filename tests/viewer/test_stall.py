"""The viewer over a tracker whose line hangs up and comes back: the page's
state carries the alert, and with --reconnect the poses come again."""

import os
import re
import subprocess

from conftest import Viewer, next_message, ws_connect


def test_a_lost_line_shows_on_the_page_and_reconnect_goes_on(tmp_path):
    link = str(tmp_path / "line")
    sim = subprocess.Popen([os.environ["SXSIM"], "--quiet", "--link", link, "--close-after", "1.0",
                            "--reopen-after", "0.5"], stdout=subprocess.PIPE, text=True)
    try:
        assert sim.stdout.readline().strip() == link
        os.environ["SXSERIO_PORTS"] = link
        v = Viewer(["--serial", "1", "--reconnect"], str(tmp_path))
        ws = ws_connect(v)
        lost = next_message(ws, "state", where=lambda m: m.get("alert"))
        assert lost["alert"] == "line lost: the serial line was hung up; connecting again every second"
        back = next_message(ws, "state", where=lambda m: m.get("alert") is None)
        assert back["streaming"] is True
        next_message(ws, "poses")
        ws.close()
        out, err, code = v.stop()
    finally:
        sim.terminate()
        sim.wait()
    assert code == 0, err
    assert "sxtool: warning: line lost: the serial line was hung up; connecting again every second\n" in err
    assert re.search(r"sxtool: warning: reconnected after \d+\.\d s without frames; \d+ frames missed\n", err), err
    assert re.search(r"sxtool: stalls 0, lines lost 1, reconnections 1, frames missed \d+\n", err), err
