"""The record button's file, in a folder others may write to and on a disk
that fills: never created through a planted link, its header on the disk
before the page hears "recording", and a recording cut short by a full disk
ends with its trailer where there is room, the page and the server's
output saying why."""

import json
import os
import resource
import signal
import subprocess
import tempfile
import time

import pytest
from conftest import SXTOOL, Viewer, next_message, ws_connect

DISK_KB = 64


def record(ws, on, id):
    ws.send(json.dumps({"type": "record", "on": on, "id": id}))
    return next_message(ws, "result", where=lambda m: m.get("id") == id)


def convert(path):
    """sxtool convert's exit code, its rows and its complaint."""
    r = subprocess.run([SXTOOL, "convert", path, "--format", "jsonl"], capture_output=True, text=True, timeout=60)
    return r.returncode, r.stdout.splitlines(), r.stderr


def test_a_planted_link_is_never_followed(start_viewer):
    v = start_viewer("--sim", "--sim-sensors", "1")
    elsewhere = tempfile.mkdtemp(prefix="sxview-victim-")
    # Dangling links under every name the next few seconds would take.
    now = time.time()
    for k in range(-1, 6):
        stamp = time.strftime("sxview-%Y%m%d-%H%M%S", time.localtime(now + k))
        os.symlink(os.path.join(elsewhere, stamp), os.path.join(v.record_dir, stamp + ".sxrec"))
    ws = ws_connect(v)
    try:
        answer = record(ws, True, 1)
        assert answer["ok"] and answer["message"] == "recording", answer
        answer = record(ws, False, 2)
        assert answer["ok"], answer
        name = answer["message"].split()[-1]
        assert name.endswith("-2.sxrec") and not os.path.islink(os.path.join(v.record_dir, name))
        assert os.listdir(elsewhere) == []
        code, rows, err = convert(os.path.join(v.record_dir, name))
        assert code == 0 and len(rows) == int(answer["message"].split()[1]), err
    finally:
        ws.close()


def tmpfs_wrapper(folder):
    """The viewer in a mount namespace of its own with a small tmpfs on
    folder, or None where none can be made."""
    wrapper = ["unshare", "--mount", "sh", "-c",
               'mount -t tmpfs -o size=%dk sxview "$1" && shift && exec "$@"' % DISK_KB, "sh", folder]
    try:
        ok = subprocess.run(wrapper + ["true"], capture_output=True, timeout=10).returncode == 0
    except OSError:
        ok = False
    return wrapper if ok else None


def file_size_limit():
    resource.setrlimit(resource.RLIMIT_FSIZE, (DISK_KB * 1024, resource.RLIM_INFINITY))
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)


def test_a_full_disk_is_the_answer_or_ends_the_recording_with_its_trailer():
    folder = tempfile.mkdtemp(prefix="sxview-full-")
    wrapper = tmpfs_wrapper(folder)
    # Without a tmpfs, a file size limit stands in for the full disk.
    v = Viewer(["--sim", "--sim-sensors", "16"], folder, wrapper=wrapper or (),
               preexec_fn=None if wrapper else file_size_limit)
    # The viewer's files, as it sees them.
    seen = "/proc/%d/root%s" % (v.proc.pid, folder) if wrapper else folder
    ws = ws_connect(v)
    try:
        if wrapper:
            with open(os.path.join(seen, "filler"), "wb", buffering=0) as f:
                with pytest.raises(OSError):
                    while True:
                        f.write(b"x" * 4096)
            answer = record(ws, True, 1)
            assert not answer["ok"]
            assert answer["message"].startswith(folder + "/sxview-")
            assert answer["message"].endswith(".sxrec: cannot write: No space left on device"), answer
            assert os.listdir(seen) == ["filler"]
            os.remove(os.path.join(seen, "filler"))
        answer = record(ws, True, 2)
        assert answer["ok"] and answer["message"] == "recording", answer
        rec = next_message(ws, "poses", where=lambda m: m["recording"] and "error" in m["recording"])["recording"]
        why = "No space left on device" if wrapper else "File too large"
        head, _, tail = rec["error"].partition(": cannot write: %s; " % why)
        assert head == os.path.join(folder, rec["file"]) and tail.endswith(" frames kept, the file closed with "
                                                                            "its trailer"), rec
        frames = int(tail.split()[0])
        code, rows, err = convert(os.path.join(seen, rec["file"]))
        assert code == 0 and len(rows) == frames > 100, err
        assert record(ws, False, 3)["message"] == "the recording had stopped: " + rec["error"]
    finally:
        ws.close()
        out, err, code = v.stop()
    assert code == 0, err
    assert "recording stopped: %s\n" % rec["error"] in out
