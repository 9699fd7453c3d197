#!/usr/bin/env python3
"""A stand-in for the network client, for tests and ./run.sh.

Connects to the monitor's link (127.0.0.1:8890), reads its framed messages
("<type>:<length>:..!" then <length> bytes of body), acknowledges them, sends
heartbeats, and records every frame it gets as one JSON line. Replies go out
one per write, from one writer, at least 50 ms apart, so that two never share
one read on the monitor's side.

Standard library only.
"""

import argparse
import ctypes
import json
import os
import re
import socket
import sqlite3
import sys
import threading
import time
import zlib

HEADER = re.compile(rb"^(\d+):(\d+):\.\.!")
ACK = b"/back/\r\n\r\n"
HEART = b"/heart/\r\n\r\n"
RELINE = b"/reline/\r\n\r\n"
REPLY_GAP = 0.05
# A list answer waits longer after the acknowledgement: the monitor reads
# both as one reply (and drops it) when they come in one read.
ANSWER_GAP = 0.5

# Answers to the product-list (14) and reminder-list (17) requests, unless
# --products / --reminders name a JSON file with the list to send.
PRODUCTS = ["PA-100 外壳", "PB-220 盖板", "PC-310 卡扣"]
REMINDERS = [
    {"operator": "王工", "create_utc": 1765411200000, "notify_utc": 1765440000000, "duration": 30,
     "reminder_name": "模具保养"},
    {"operator": "Li", "create_utc": 1765414800000, "notify_utc": 1765447200000, "duration": 15,
     "reminder_name": "check cooling water"},
]

GARBAGE = {
    "big": b"x" * (200 * 1024),
    "nul": b"\0\0\0/heart/",
    "utf8": b"\xff\xfe\xfd\r\n\r\nzz",
    "double": ACK + HEART,
    "nested": b"SessionId:14\r\n\r\n" + b"[" * 20000,
    "notjson": b"SessionId:14\r\n\r\n{result: nope",
}


# System V calls for the video shares (libc through ctypes).
SEM_UNDO = 0x1000
SHM_RDONLY = 0o10000
GETVAL = 12


class SemBuf(ctypes.Structure):
    _fields_ = [("sem_num", ctypes.c_ushort), ("sem_op", ctypes.c_short), ("sem_flg", ctypes.c_short)]


class TimeSpec(ctypes.Structure):
    _fields_ = [("tv_sec", ctypes.c_long), ("tv_nsec", ctypes.c_long)]


def libc():
    lib = ctypes.CDLL(None, use_errno=True)
    lib.shmat.restype = ctypes.c_void_p
    lib.shmat.argtypes = [ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    lib.shmdt.argtypes = [ctypes.c_void_p]
    lib.semtimedop.argtypes = [ctypes.c_int, ctypes.POINTER(SemBuf), ctypes.c_size_t, ctypes.POINTER(TimeSpec)]
    lib.semop.argtypes = [ctypes.c_int, ctypes.POINTER(SemBuf), ctypes.c_size_t]
    return lib


def plane_mean(plane, stride, x0, y0, x1, y1):
    total = count = 0
    for y in range(y0, y1):
        row = plane[y * stride + x0:y * stride + x1]
        total += sum(row)
        count += len(row)
    return round(total / count) if count else -1


def read_share(share, hold=0.0, wait=1.0):
    """One frame of a share named in the memory-info message, read under its
    semaphore (taken with undo, so a killed client gives it back). Returns what
    the frame shows: its size, I420 plane means per quarter, the brightest luma
    of its top half, and how many
    chroma samples of the bottom 100 rows are green (the time stamp)."""
    lib = libc()
    w, h, size = share["width"], share["height"], share["size"]
    result = {"event": "video", "camera": share["cameraid"], "size_ok": size == w * h * 3 // 2}
    if share["shmid"] < 0 or share["semid"] < 0:
        result["problem"] = "share unusable"
        return result
    addr = lib.shmat(share["shmid"], None, SHM_RDONLY)
    if addr in (None, ctypes.c_void_p(-1).value):
        result["problem"] = "cannot attach"
        return result
    limit = TimeSpec(int(wait), int((wait % 1) * 1e9))
    if lib.semtimedop(share["semid"], ctypes.byref(SemBuf(0, -1, SEM_UNDO)), 1, ctypes.byref(limit)) != 0:
        lib.shmdt(ctypes.c_void_p(addr))
        result["problem"] = "lock busy"
        return result
    if hold:
        time.sleep(hold)
    frame = ctypes.string_at(addr, size)
    lib.semop(share["semid"], ctypes.byref(SemBuf(0, 1, SEM_UNDO)), 1)
    lib.shmdt(ctypes.c_void_p(addr))
    ys, cs = w * h, (w // 2) * (h // 2)
    result["layout_ok"] = len(frame) == ys + 2 * cs
    y, u, v = frame[:ys], frame[ys:ys + cs], frame[ys + cs:ys + 2 * cs]
    quarters = {}
    for name, (qx, qy) in {"top_left": (0, 0), "bottom_right": (1, 1)}.items():
        quarters[name] = [plane_mean(y, w, qx * w // 2, qy * h // 2, (qx + 1) * w // 2, (qy + 1) * h // 2),
                          plane_mean(u, w // 2, qx * w // 4, qy * h // 4, (qx + 1) * w // 4, (qy + 1) * h // 4),
                          plane_mean(v, w // 2, qx * w // 4, qy * h // 4, (qx + 1) * w // 4, (qy + 1) * h // 4)]
    result["yuv"] = quarters
    result["luma_max_top"] = max(y[:(h // 2) * w], default=-1)   # above the time stamp
    first = max(0, (h - 100) // 2) * (w // 2)
    result["stamp_green"] = sum(1 for a, b in zip(u[first:], v[first:]) if a < 100 and b < 100)
    result["digest"] = zlib.crc32(frame)
    return result


def link_switch_on(param_db):
    """True when row CntNet of PARAM.db starts with a number other than 0."""
    try:
        con = sqlite3.connect("file:%s?mode=ro" % param_db, uri=True)
        row = con.execute("select value from sysparam where name='CntNet'").fetchone()
        con.close()
    except sqlite3.Error:
        return False
    if not row or row[0] is None:
        return False
    m = re.match(r"\s*(-?\d+)", str(row[0]))
    return bool(m) and int(m.group(1)) != 0


def parse_frames(buffer):
    """Splits whole frames off the front of buffer: (frames, rest)."""
    frames = []
    while True:
        m = HEADER.match(buffer)
        if not m:
            if len(buffer) >= 32:   # no header can be this long: not a frame
                frames.append((-1, buffer))
                buffer = b""
            return frames, buffer
        end = m.end() + int(m.group(2))
        if len(buffer) < end:
            return frames, buffer
        frames.append((int(m.group(1)), buffer[m.end():end]))
        buffer = buffer[end:]


def load_list(path, default):
    if not path:
        return default
    with open(path, encoding="utf-8") as f:
        return json.load(f)


class Client:
    def __init__(self, args):
        self.args = args
        self.sock = None
        self.write_lock = threading.Lock()
        self.last_write = 0.0
        self.received = 0
        self.video_started = False
        self.seen = {}
        self.log = open(args.log, "a", encoding="utf-8") if args.log else None
        self.stop = threading.Event()
        self.answers = {
            14: {"result": [{"product_name": name} for name in load_list(args.products, PRODUCTS)]},
            17: {"result": load_list(args.reminders, REMINDERS)},
        }

    def connect(self):
        deadline = time.monotonic() + self.args.connect_wait
        while not self.stop.is_set():
            try:
                s = socket.create_connection((self.args.host, self.args.port), timeout=2)
                s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                s.settimeout(0.2)
                self.sock = s
                self.note({"event": "connected"})
                return True
            except OSError:
                if time.monotonic() > deadline:
                    return False
                time.sleep(0.2)
        return False

    def reply(self, data, gap=REPLY_GAP):
        with self.write_lock:
            gap = self.last_write + gap - time.monotonic()
            if gap > 0:
                time.sleep(gap)
            try:
                if self.sock:
                    self.sock.sendall(data)
            except OSError:
                pass
            self.last_write = time.monotonic()

    def note(self, record):
        if self.log:
            record["time"] = round(time.time(), 3)
            self.log.write(json.dumps(record, ensure_ascii=False) + "\n")
            self.log.flush()

    def frame(self, kind, body):
        self.received += 1
        key = (kind, body)
        self.seen[key] = self.seen.get(key, 0) + 1
        text = body.decode("utf-8", "replace")
        try:
            parsed = json.loads(text) if text.startswith("{") else None
        except ValueError:
            parsed = None
        self.note({"type": kind, "len": len(body), "body": text, "json": parsed, "copy": self.seen[key],
                   "n": self.received, "problem": "not a frame" if kind < 0 else "type never sent" if kind in (0, 3, 4) else None})
        if kind == 9 and parsed and self.args.video and not self.video_started:
            self.video_started = True
            threading.Thread(target=self.video, args=(parsed.get("memoryinfo", []),), daemon=True).start()
        withheld = self.received in self.args.withhold or self.args.ack == "none"
        if not withheld:
            self.reply(ACK)
        answer = self.answers.get(kind)
        if answer is not None:
            self.reply(b"SessionId:%d\r\n\r\n" % kind + json.dumps(answer, ensure_ascii=False).encode("utf-8"),
                       ANSWER_GAP)

    def video(self, shares):
        """--video reads of every share, --video-gap seconds apart, each
        holding the lock --hold-sem seconds."""
        for _ in range(self.args.video):
            for share in shares:
                if self.stop.is_set():
                    return
                self.note(read_share(share, self.args.hold_sem))
            self.stop.wait(self.args.video_gap)

    def heartbeats(self):
        while not self.stop.wait(self.args.heart):
            self.reply(HEART)

    def session(self):
        buffer = b""
        started = time.monotonic()
        if self.args.garbage:
            for kind in self.args.garbage.split(","):
                self.reply(GARBAGE[kind])
                time.sleep(0.2)
        while not self.stop.is_set():
            if self.args.duration and time.monotonic() - started > self.args.duration:
                self.stop.set()
                break
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                chunk = b""
            if not chunk:
                self.note({"event": "closed"})
                return False
            frames, buffer = parse_frames(buffer + chunk)
            for kind, body in frames:
                self.frame(kind, body)
                if self.args.reconnect_after and self.received == self.args.reconnect_after:
                    self.note({"event": "leaving"})
                    return True
        return False

    def stay_away(self):
        """Away for --away seconds, or until the file --return-when exists."""
        if not self.args.return_when:
            time.sleep(self.args.away)
            return
        deadline = time.monotonic() + self.args.connect_wait
        while not os.path.exists(self.args.return_when) and time.monotonic() < deadline:
            time.sleep(0.1)

    def run(self):
        if self.args.heart > 0:
            threading.Thread(target=self.heartbeats, daemon=True).start()
        rounds = 0
        while not self.stop.is_set() and self.connect():
            again = self.session()
            self.sock.close()
            rounds += 1
            if not again or rounds > 5:
                break
            self.stay_away()
        self.stop.set()


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=8890)
    p.add_argument("--log", help="one JSON line per frame received")
    p.add_argument("--ack", choices=["prompt", "none"], default="prompt")
    p.add_argument("--withhold", default="", help="frame numbers (from 1) not to acknowledge, e.g. 2,5")
    p.add_argument("--heart", type=float, default=20, help="seconds between heartbeats; 0 for none")
    p.add_argument("--garbage", default="", help="replies to send after connecting: " + ",".join(GARBAGE))
    p.add_argument("--reconnect-after", type=int, default=0, help="leave after this many frames, then reconnect")
    p.add_argument("--away", type=float, default=2, help="seconds away before reconnecting")
    p.add_argument("--return-when", metavar="FILE", help="stay away until this file exists")
    p.add_argument("--connect-wait", type=float, default=60, help="seconds to keep trying to connect")
    p.add_argument("--duration", type=float, default=0, help="seconds to stay; 0 for ever")
    p.add_argument("--video", type=int, default=0, help="after the memory-info message, read every share this often")
    p.add_argument("--video-gap", type=float, default=0.2, help="seconds between video reads")
    p.add_argument("--hold-sem", type=float, default=0, help="seconds to hold a share's lock at each read")
    p.add_argument("--read-share", metavar="SHMID,SEMID,W,H",
                   help="read one frame of this share, print what it shows as JSON, and exit")
    p.add_argument("--products", metavar="JSON", help="file with the list of product names to answer request 14")
    p.add_argument("--reminders", metavar="JSON", help="file with the reminder objects to answer request 17")
    p.add_argument("--check-switch", metavar="PARAM_DB",
                   help="only tell by the exit code whether the link switch is on there (0 on)")
    args = p.parse_args()
    args.withhold = {int(n) for n in args.withhold.split(",") if n}
    if args.read_share:
        shmid, semid, w, h = (int(n) for n in args.read_share.split(","))
        share = {"shmid": shmid, "semid": semid, "cameraid": -1, "width": w, "height": h, "size": w * h * 3 // 2}
        print(json.dumps(read_share(share, args.hold_sem)))
        return 0
    if args.check_switch:
        return 0 if link_switch_on(args.check_switch) else 1
    Client(args).run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
