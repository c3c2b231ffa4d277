"""Fixtures: a simulated tracker per test, connected through the serial
transport on a pseudo-terminal of its own."""

import pytest

import sxcmdif


@pytest.fixture
def tracker():
    with sxcmdif.Tracker.simulated(sensors=4, rate=240) as t:
        # The machine running the tests may be busy: give commands room.
        t.timeout_ms = 500
        yield t
