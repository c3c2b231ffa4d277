"""Blocking calls release the GIL: another Python thread keeps running."""

import threading
import time


class Counter(threading.Thread):
    def __init__(self):
        super().__init__(daemon=True)
        self.count = 0
        self.running = True

    def run(self):
        while self.running:
            self.count += 1

    def stop(self):
        self.running = False
        self.join()


def progress_during(fn):
    counter = Counter()
    counter.start()
    time.sleep(0.05)
    before = counter.count
    started = time.monotonic()
    fn()
    elapsed = time.monotonic() - started
    during = counter.count - before
    counter.stop()
    return during, elapsed


def test_waiting_for_a_frame_releases_the_gil(tracker):
    # No output is running: the wait lasts its whole time-out.
    during, elapsed = progress_during(lambda: tracker._next_frame(0.5))
    assert elapsed >= 0.45
    # Holding the GIL for half a second would let the other thread count only
    # in the few switch intervals around the call.
    assert during > 10000


def test_waiting_for_an_answer_releases_the_gil(tracker):
    tracker.timeout_ms = 2000
    tracker.set_faults(response_delay_ms=400)
    during, elapsed = progress_during(lambda: tracker.get("units"))
    assert elapsed >= 0.35
    assert during > 10000

