"""Fixtures: a simulated tracker per test, connected through the serial
transport on a pseudo-terminal of its own."""

import time

import pytest

import sxcmdif


def wait_for(predicate, seconds=5.0):
    """Whether predicate() holds within seconds (polled)."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.01)
    return predicate()


@pytest.fixture
def tracker():
    with sxcmdif.Tracker.simulated(sensors=4, rate=240) as t:
        # The machine running the tests may be busy: give commands room.
        t.timeout_ms = 500
        yield t
