#!/usr/bin/env python3
"""The viewer's figures: `sxtool view` on a simulated tracker of 16 sensors
at 960 Hz (sxsim as a process of its own, on its serial line), one headless
Chromium showing the page. Prints the server's CPU (its own threads apart
from the library's reading thread), the page's drawing rate, and the delay
from each frame's host time stamp to the drawing that first shows it (p50,
p99; measured by the page, see apps/viewer/page/viewer.js).

    python3 benchmarks/view_browser.py [--seconds 30] [--build build]

A benchmark, run by hand; no test depends on it."""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "viewer"))
from conftest import CHROME_FLAGS  # noqa: E402  (the tests' Chromium, the same flags)

TICK = os.sysconf("SC_CLK_TCK")


def thread_times(pid):
    """{tid: (name, cpu seconds)} of a process's threads."""
    out = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        out[int(tid)] = (name, (int(fields[11]) + int(fields[12])) / TICK)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--seconds", type=float, default=30)
    ap.add_argument("--sensors", type=int, default=16)
    ap.add_argument("--rate", type=int, default=960)
    a = ap.parse_args()
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    sim = subprocess.Popen([os.path.join(a.build, "simulator", "sxsim"), "--ports", "--quiet",
                            "--sensors", str(a.sensors), "--rate", str(a.rate)],
                           stdout=subprocess.PIPE, text=True)
    sim.stdout.readline()
    ports = sim.stdout.readline().strip().split("=", 1)[1]
    env = dict(os.environ, SXSERIO_PORTS=ports)
    view = subprocess.Popen([os.path.join(a.build, "tools", "sxtool", "sxtool"), "view", "--serial", "1",
                             "--port", "0"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
    url = re.search(r"http://\S+", view.stdout.readline()).group(0)
    profile = tempfile.mkdtemp(prefix="sxview-bench-")
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in CHROME_FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        driver.get(url)
        stats = lambda: driver.execute_script("return window.sxViewer.stats()")  # noqa: E731
        end = time.monotonic() + 20
        while stats()["updates"] < 60 and time.monotonic() < end:
            time.sleep(0.1)
        time.sleep(3)  # past the start
        driver.execute_script("window.sxViewer.reset()")
        before, t0 = thread_times(view.pid), time.monotonic()
        fps = []
        while time.monotonic() - t0 < a.seconds:
            time.sleep(1)
            fps.append(stats()["fps"])
        after, t1 = thread_times(view.pid), time.monotonic()
        s = stats()
        died = view.poll() is not None
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        view.send_signal(signal.SIGINT)
        view.communicate(timeout=20)
        sim.send_signal(signal.SIGINT)
        sim.communicate(timeout=20)

    # A page that drew nothing, or a viewer that died, measured nothing.
    if died or s["updates"] == 0 or not fps:
        print("measurement failed: %s" % ("the viewer died" if died else "the page took no pose update"))
        return 1
    span = t1 - t0
    share = lambda tids: 100 * sum(after[t][1] - before.get(t, ("", 0))[1] for t in tids) / span  # noqa: E731
    viewer = [t for t in after if t == view.pid or after[t][0] == "sxview-control"]
    others = [t for t in after if t not in viewer]
    fps.sort()
    print("| figure | measured | target |")
    print("|---|---|---|")
    print("| viewer server CPU (its threads: connections and frames, controls), %d sensors at %d Hz, one browser "
          "| %.1f %% of a core | <= 5 %% |" % (a.sensors, a.rate, share(viewer)))
    print("| library's reading thread in the same process | %.1f %% of a core | - |" % share(others))
    print("| page drawing rate in headless Chromium (median of %d one-second samples; min %d) | %d frames/s | - |"
          % (len(fps), fps[0], fps[len(fps) // 2]))
    print("| pose updates the page took | %.1f a second | <= 60 |" % (s["updates"] / span))
    print("| delay, frame's host time stamp to its drawing, p50 / p99 (%d updates) | %.1f ms / %.1f ms | - |"
          % (s["delays"], s["p50"], s["p99"]))


if __name__ == "__main__":
    sys.exit(main())
