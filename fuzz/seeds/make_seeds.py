#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/:
well-formed command and P&O frames (CRC-16/ARC), their flawed twins, and
serial byte streams built from them. Run again after changing it; the files
are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "corpus")


def crc16(data):
    acc = 0
    for b in data:
        acc ^= b
        for _ in range(8):
            acc = (acc >> 1) ^ 0xA001 if acc & 1 else acc >> 1
    return acc


def crc64(data):
    """CRC-64 of OpenIGTLink (ECMA-182 polynomial, not reflected, from 0)."""
    poly, crc = 0x42F0E1EBA9EA3693, 0
    for b in data:
        crc ^= b << 56
        for _ in range(8):
            crc = ((crc << 1) ^ poly if crc & (1 << 63) else crc << 1) & 0xFFFFFFFFFFFFFFFF
    return crc


def igtl(msgtype, name=b"", body=b"", size=None, crc=None):
    """An OpenIGTLink message: big-endian header of version 1, then the body."""
    return struct.pack(">H12s20sQQQ", 1, msgtype, name, 0, len(body) if size is None else size,
                       crc64(body) if crc is None else crc) + body


def frame(preamble, body):
    head = preamble + struct.pack("<I", len(body) + 4)
    raw = head + body
    return raw + struct.pack("<I", crc16(raw))


def cmd(cmdcode, action, payload=b"", seuid=1, arg1=0, arg2=0, preamble=b"SXRC"):
    return frame(preamble, struct.pack("<IIIII", seuid, cmdcode, action, arg1, arg2) + payload)


def sensor(num, units=0, ori_units=0, accel=False):
    sfinfo = num | (units << 8) | (ori_units << 10) | (1 << 12) | (7 << 14) | (1 << 22)
    if accel:
        return struct.pack("<I3f4h4h", sfinfo, 1.5, -2.25, 3.0, 16384, -8192, 0, 32767, -16384, 100, 0, 5)
    return struct.pack("<I3f4f", sfinfo, 1.5, -2.25, 3.0, 90.0, -45.0, 0.5, 0.0)


def pno(n, framenum=100, hpinfo=0, ori_units=0, preamble=b"SXRP", seuid=0):
    accel = (hpinfo & 0xF) != 0
    body = struct.pack("<IIII", seuid, framenum, hpinfo, n)
    body += b"".join(sensor(i, i & 3, ori_units if ori_units >= 0 else i % 4, accel) for i in range(n))
    return frame(preamble, body)


def seuppno_body(n, hpinfo=0):
    f = pno(n, hpinfo=hpinfo)
    return f[8:-4]


def write(target, name, data):
    d = os.path.join(CORPUS, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as fh:
        fh.write(data)


def main():
    frames = {
        "pno0": pno(0),
        "pno1": pno(1),
        "pno4_quat": pno(4, ori_units=2),
        "pno16_accel": pno(16, hpinfo=1, ori_units=-1),
        "pno17": pno(17),
        "pno_marks": pno(2, hpinfo=0x00020701),
        "pno_badid": frame(b"SXRP", struct.pack("<IIII", 0, 5, 0, 1) + sensor(20)),
        "q7_pno": pno(1, preamble=b"Q7BP"),
        "units_get": cmd(7, 1),
        "units_ack": cmd(7, 3, struct.pack("<II", 1, 2)),
        "framerate_ack": cmd(6, 3, struct.pack("<I", 240)),
        "nak": cmd(7, 4),
        "whoami": cmd(20, 3, bytes(range(192))),
        "singlepno": cmd(18, 3, seuppno_body(2)),
        "singlepno0": cmd(18, 3, seuppno_body(0)),
        "undefined_cmd": cmd(77, 3, b"abcdefghijkl"),
        "short": b"SXRC\x08\x00\x00\x00",
        "badcrc": cmd(7, 3, struct.pack("<II", 1, 2))[:-4] + b"\x00\x00\x00\x00",
    }
    # CSXSeuPno: selector byte, then a frame or a body.
    for name, f in frames.items():
        if f.startswith(b"SXRP") or f.startswith(b"Q7BP"):
            write("fuzz_seupno", name + "_raw", bytes([0]) + f)
            write("fuzz_seupno", name + "_rawfull", bytes([2 | 4]) + f)
    for n, hp in ((0, 0), (3, 0), (16, 1)):
        write("fuzz_seupno", "body%d_%d" % (n, hp), bytes([1]) + seuppno_body(n, hp))
        write("fuzz_seupno", "bodyfull%d_%d" % (n, hp), bytes([3 | 8]) + seuppno_body(n, hp))
    # Dumps: selector byte, then the frame.
    for i, (name, f) in enumerate(frames.items()):
        write("fuzz_framedump", name, bytes([(i * 37) & 0xFF]) + f)
    write("fuzz_framedump", "long_block", bytes([2]) + cmd(20, 3, bytes(range(256)) * 2))
    # Serial: selector byte, then a byte stream.
    good = frames["units_ack"] + frames["pno4_quat"] + frames["framerate_ack"]
    write("fuzz_serial", "frames", bytes([0x18]) + good)
    write("fuzz_serial", "garbage_then_frames", bytes([0x14]) + b"\x00garbage!SX" + good)
    write("fuzz_serial", "truncated", bytes([0x10]) + frames["pno16_accel"][:100] + good)
    write("fuzz_serial", "too_long", bytes([0x1C]) + b"SXRC" + struct.pack("<I", 2000) + b"x" * 50 + good)
    write("fuzz_serial", "split_preamble", bytes([0x08]) + b"S" * 31 + b"SXR" + frames["pno1"][3:])
    write("fuzz_serial", "zj", bytes([0x01]) + b"SX\x00\x00\x00\x00\x04\x00abcd" + b"SXzzzz\x02\x00hi")
    write("fuzz_serial", "q7", bytes([0x02]) + cmd(7, 3, b"\x01\x00\x00\x00\x02\x00\x00\x00", preamble=b"Q7BC"))
    # Device receive path: switches byte, then units with 16-bit lengths.
    def units(*fs):
        return b"".join(struct.pack("<H", len(f)) + f for f in fs)
    mix = units(frames["units_ack"], frames["pno4_quat"], frames["pno16_accel"], frames["nak"],
                frames["singlepno"], pno(2, framenum=101), pno(2, framenum=104))
    bad = units(frames["pno17"], frames["pno_badid"], frames["badcrc"], frames["short"], b"garbage!",
                pno(1)[:-4] + b"\xff\xff\x00\x00", b"XXXX" + pno(1)[4:], frames["q7_pno"], b"")
    for sel in (0x00, 0x01, 0x02, 0x03, 0x05, 0x19, 0x31, 0xC1):
        write("fuzz_dataready", "mix_%02x" % sel, bytes([sel]) + mix)
        write("fuzz_dataready", "bad_%02x" % sel, bytes([sel]) + bad)
    # Recordings: a header and frame records.
    def recording(*fs, version=1, hlen=256):
        head = b"SXTRKREC" + struct.pack("<IIIIIIII", version, hlen, 7, 3, 2, 0, 0x0F, 0)
        head += struct.pack("<Q", 1700000000 * 10**9) + b"SXSIM Tracker SEU".ljust(192, b"\0")
        head = head.ljust(hlen, b"\0")
        recs = b"".join(b"PNOF" + struct.pack("<IQII", len(f), 1000 * (i + 1), i + 1, 0) + f
                        for i, f in enumerate(fs))
        trailer = b"TRLR" + struct.pack("<IQ", 24, len(fs)) + b"SXRECEND" if version >= 2 else b""
        return head + recs + trailer
    write("fuzz_recording", "three", recording(pno(4, framenum=1), pno(4, framenum=2), pno(16, hpinfo=1)))
    write("fuzz_recording", "empty", recording())
    write("fuzz_recording", "truncated", recording(pno(2), pno(2))[:-7])
    write("fuzz_recording", "long_header", recording(pno(1), hlen=512))
    write("fuzz_recording", "bad_tag", recording(pno(1)).replace(b"PNOF", b"PNOX"))
    write("fuzz_recording", "trailer", recording(pno(2, framenum=1), pno(2, framenum=2), version=2))
    # The OpenIGTLink server's client reader: two bytes seeding the cuts,
    # then a byte stream. Every request it serves, each type it skips, and
    # bodies of the wrong size.
    stt = struct.pack(">i32s", 0, b"Tracker")
    requests = {
        "stt_tdata": igtl(b"STT_TDATA", b"Slicer", stt),
        "stt_tdata_50ms": igtl(b"STT_TDATA", b"Slicer", struct.pack(">i32s", 50, b"")),
        "stt_tdata_negative": igtl(b"STT_TDATA", b"", struct.pack(">i32s", -1, b"")),
        "stt_tdata_badcrc": igtl(b"STT_TDATA", b"", stt, crc=1),
        "stt_tdata_empty": igtl(b"STT_TDATA"),
        "stt_tdata_short": igtl(b"STT_TDATA", b"", b"\x01"),
        "stt_tdata_long": igtl(b"STT_TDATA", b"", stt + b"x"),
        "stp_tdata": igtl(b"STP_TDATA", b"Slicer"),
        "get_tdata": igtl(b"GET_TDATA"),
        "get_trans": igtl(b"GET_TRANS", b"Sensor3"),
        "get_trans_all": igtl(b"GET_TRANS"),
        "get_status": igtl(b"GET_STATUS"),
        "get_capabil": igtl(b"GET_CAPABIL"),
        "get_capabil_body": igtl(b"GET_CAPABIL", b"", b"xyz"),
        "get_name20": igtl(b"GET_STATUS", b"N" * 20),
        "type12": igtl(b"GET_CAPABILX"),
    }
    others = {
        "transform": igtl(b"TRANSFORM", b"Tool", struct.pack(">12f", *range(12))),
        "position": igtl(b"POSITION", b"Tool", struct.pack(">7f", *range(7))),
        "status": igtl(b"STATUS", b"Tool", struct.pack(">HQ20s", 1, 0, b"") + b"ok\0"),
        "capability": igtl(b"CAPABILITY", b"", b"TRANSFORM\0\0\0STATUS\0\0\0\0\0\0"),
        "tdata": igtl(b"TDATA", b"Tracker", struct.pack(">20sBB12f", b"Sensor0", 6, 0, *range(12))),
        "rts_tdata": igtl(b"RTS_TDATA", b"", b"\0"),
        "string": igtl(b"STRING", b"", struct.pack(">HH", 3, 5) + b"hello"),
        "image_huge": igtl(b"IMAGE", b"Scan", b"\0" * 100, size=1 << 40),
        "point": igtl(b"POINT", b"", b"\0" * 136),
        "ndarray": igtl(b"NDARRAY", b"", struct.pack(">BBH", 3, 1, 4) + b"\0" * 4),
        "get_image": igtl(b"GET_IMAGE"),
        "stt_qtdata": igtl(b"STT_QTDATA", b"", stt),
        "stp_qtdata": igtl(b"STP_QTDATA"),
    }
    for name, m in list(requests.items()) + list(others.items()):
        write("fuzz_igtl_reader", name, b"\x01\x00" + m)
    stream = b"".join(requests.values()) + b"".join(m for n, m in others.items() if n != "image_huge")
    write("fuzz_igtl_reader", "every_type", b"\x07\x00" + stream)
    write("fuzz_igtl_reader", "every_type_bytewise", b"\x00\x00" + stream)
    write("fuzz_igtl_reader", "flood", b"\x33\x11" + requests["get_capabil"] * 200)
    write("fuzz_igtl_reader", "half_header", b"\x01\x00" + requests["get_status"][:30])
    viewer = {
        "stream_on": b'{"type":"stream","on":true,"id":1}',
        "stream_off": b'{"type":"stream","on":false}',
        "record_on": b'{"type":"record","on":true,"id":2147483647}',
        "set_units": b'{"type":"set","item":"units","values":["cm","euler_degree"],"id":7}',
        "set_framerate": b'{"type":"set","item":"framerate","values":["960"]}',
        "set_filter": b'{"type":"set","item":"filter","values":["heavy"],"sensor":3,"target":"pos"}',
        "set_filter_custom": b'{"type":"set","item":"filter","values":["custom","0.1","0.2","0.8","0.9"]}',
        "set_units_sensor": b'{"type":"set","item":"units","values":["cm","deg"],"sensor":1}',
        "set_boresight": b'{"type":"set","item":"boresight","values":["0","0","0"]}',
        "bad_sensor": b'{"type":"set","item":"filter","values":["light"],"sensor":16}',
        "bad_target": b'{"type":"set","item":"filter","values":["light"],"target":"all"}',
        "bad_word": b'{"type":"set","item":"units","values":["c m","deg"]}',
        "float_id": b'{"type":"stream","on":true,"id":1.5}',
        "extra_key": b'{"type":"stream","on":true,"path":"/etc/passwd"}',
        "not_object": b'["stream",true]',
        "nested": b'{"type":"set","item":"units","values":[["cm"]]}',
        "deep": b"[" * 500 + b"]" * 500,
        "utf8_bad": b'{"type":"set","item":"units","values":["\xff\xfe","deg"]}',
        "unicode_escape": b'{"type":"set","item":"units","values":["\u0000cm","deg"]}',
        "huge_number": b'{"type":"set","item":"filter","values":["light"],"sensor":18446744073709551615}',
        "too_long": b'{"type":"stream","on":true,"pad":"' + b"x" * 1100 + b'"}',
        "regress_target_word": b'{"type":"set","item":"filter","values":["heavy"],"sensor":3,"target":"po^"}',
    }
    for name, m in viewer.items():
        write("fuzz_viewer_control", name, m)
    write("fuzz_dataready", "ffff_crc", bytes([0x01]) + units(frame(b"SXRC", struct.pack("<IIIII", 0xFFFF, 7, 3, 0, 0))[:-4] + b"\0\0\0\0"))


if __name__ == "__main__":
    main()
