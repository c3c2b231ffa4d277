#!/usr/bin/env python3
"""Load on `sxtool view` from clients that would hold its connections:
the viewer as a process of its own on an sxsim process's serial line
(4 sensors at 240 Hz), and on the loopback slow clients that send a
request's header a byte a second (back when closed) and kept-alive ones that
send HEAD / every 3 s. A good client loads the page and opens its WebSocket
every half second, and a browser's WebSocket reads the poses throughout.
Prints a Markdown table of the good client's page loads and WebSocket
greetings done within 2 s, the reading browser's pose updates, the
viewer's CPU (of one core, its reading thread included) and peak resident
memory, how soon it exits on SIGTERM under the attack, and "N of M targets
met". A row whose measurement failed (the viewer did not start or died,
no good attempt was made, the browser's WebSocket was closed) says so and
counts as missed.

    python3 benchmarks/load_view.py [--seconds 30 | --quick] [--build build]

A benchmark, run by hand (about 2.5 minutes; --quick about 1); no test
depends on it."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


class Reader(threading.Thread):
    """A browser's WebSocket that reads every message: its pose updates."""

    def __init__(self, viewer, conftest):
        super().__init__()
        self.ws = conftest.ws_connect(viewer)
        self.updates = 0
        self.closed = False
        self.stopping = False
        self.start()

    def run(self):
        while not self.stopping:
            try:
                if '"type":"poses"' in self.ws.recv():
                    self.updates += 1
            except Exception:
                self.closed = not self.stopping
                return

    def stop(self):
        self.stopping = True
        self.ws.close()
        self.join()


def scenario(conftest, build, seconds, slow, kept, stop_row):
    """One viewer under one attack: the row's figures, or why they failed."""
    sim = subprocess.Popen([os.path.join(build, "simulator", "sxsim"), "--ports", "--quiet", "--sensors", "4",
                            "--rate", "240"], stdout=subprocess.PIPE, text=True)
    sim.stdout.readline()
    os.environ["SXSERIO_PORTS"] = sim.stdout.readline().strip().split("=", 1)[1]
    folder = tempfile.mkdtemp(prefix="sxview-load-")
    v = None
    holders = reader = None
    out = {"fault": None}
    try:
        v = conftest.Viewer(["--serial", "1"], folder)
        reader = Reader(v, conftest)
        holders = conftest.SlotHolders(v, slow, kept, kept_every=3.0) if slow or kept else None
        time.sleep(3)  # the holders have every slot by now
        pid = v.proc.pid
        cpu0, t0, peak = cpu_seconds(pid), time.monotonic(), rss_kb(pid)
        updates0 = reader.updates
        tries = good = 0
        while time.monotonic() - t0 < seconds:
            tries += 1
            try:
                page, greet = conftest.page_and_socket_seconds(v)
                good += page < 2 and greet < 2
            except Exception:
                pass
            peak = max(peak, rss_kb(pid))
            time.sleep(0.5)
        span = time.monotonic() - t0
        out.update(cpu=100 * (cpu_seconds(pid) - cpu0) / span, rss=peak / 1024, tries=tries, good=good,
                   rate=(reader.updates - updates0) / span,
                   reconnects=holders.reconnects if holders else 0)
        if reader.closed:
            out["fault"] = "the browser's WebSocket was closed"
        if stop_row:
            start = time.monotonic()
            v.proc.send_signal(signal.SIGTERM)
            v.proc.wait(timeout=20)
            out["stop"] = time.monotonic() - start
            out["code"] = v.proc.returncode
    except Exception as e:  # the viewer did not start, or died
        out["fault"] = "%s: %s" % (type(e).__name__, e)
    finally:
        if holders:
            holders.close()
        if reader:
            reader.stop()
        if v and v.proc.poll() is None:
            v.stop()
        sim.send_signal(signal.SIGINT)
        sim.communicate(timeout=20)
        shutil.rmtree(folder, ignore_errors=True)
    if not out["fault"] and not out.get("tries"):
        out["fault"] = "no page load was tried"
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--seconds", type=float, default=30)
    ap.add_argument("--quick", action="store_true", help="10 s a scenario")
    a = ap.parse_args()
    seconds = 10 if a.quick else a.seconds
    os.environ["SXTOOL"] = os.path.join(a.build, "tools", "sxtool", "sxtool")
    sys.path.insert(0, os.path.join(ROOT, "tests", "viewer"))
    import conftest  # noqa: E402  (the tests' viewer and clients)

    print("| scenario | good client: page loads and WebSocket greetings within 2 s | browser's pose updates "
          "| server CPU | server RSS (peak) | target | measured | verdict |")
    print("|---|---|---|---|---|---|---|---|")
    met = total = 0
    target = "good client ≥ 95 %, CPU ≤ 10 %, RSS < 32 MB"
    for name, slow, kept, stop_row in (("no attack", 0, 0, False),
                                       ("100 slow headers (a byte a second, back when closed)", 100, 0, False),
                                       ("31 kept-alive connections (HEAD / every 3 s)", 0, 31, False),
                                       ("both at once, then SIGTERM", 100, 31, True)):
        r = scenario(conftest, a.build, seconds, slow, kept, stop_row)
        rows = [(target, lambda: (r["good"] / r["tries"] >= 0.95 and r["cpu"] <= 10 and 0 < r["rss"] < 32,
                                  "%.1f %% (%d of %d)" % (100 * r["good"] / r["tries"], r["good"], r["tries"])))]
        if stop_row:
            rows.append(("exit within 1 s of SIGTERM, code 0",
                         lambda: (r["stop"] <= 1 and r["code"] == 0, "%.2f s, code %d" % (r["stop"], r["code"]))))
        shown = name
        if not r["fault"] and r["reconnects"]:
            shown += "; %d reconnections" % r["reconnects"]
        for tgt, judge in rows:
            total += 1
            if r["fault"]:
                ok, measured = False, "measurement failed: " + r["fault"]
                figures = "— | — | — | —"
            else:
                ok, measured = judge()
                figures = "%.1f %% | %.1f a second | %.1f %% | %.1f MB" % (
                    100 * r["good"] / r["tries"], r["rate"], r["cpu"], r["rss"])
            met += ok
            print("| %s | %s | %s | %s | %s |" % (shown, figures, tgt, measured, "met" if ok else "missed"))
            sys.stdout.flush()
    print()
    print("%d of %d targets met" % (met, total))
    return 0 if met == total else 1


if __name__ == "__main__":
    sys.exit(main())
