#!/usr/bin/env python3
"""IO-board simulator: plays the board's side of the serial link on a
pseudo-terminal. See README.md in this folder for the protocol and commands."""

import argparse
import errno
import os
import select
import stat
import struct
import sys
import time
import tty

START, END = 0x5F, 0xF5
HOST_LEN, BOARD_LEN = 6, 8
CMD_OUTPUT, CMD_POLL, CMD_TEMP0, CMD_TEMP1 = 1, 2, 3, 4
TYPE_STATUS, TYPE_TEMP0, TYPE_TEMP1 = 2, 3, 4
WORD_MASK = 0x3FF
INPUTS = 10
TEMPS = 16


def now():
    return time.clock_gettime(time.CLOCK_MONOTONIC)


def lrc(data):
    return sum(data) & 0xFF


def board_frame(kind, d):
    head = bytes([START, kind]) + bytes(d)
    return head + bytes([lrc(head), END])


class Board:
    def __init__(self, out):
        self.out = out          # where state lines go (stdout)
        self.inputs = 0
        self.outputs = 0
        self.temps = [20.0 + 0.5 * i for i in range(TEMPS)]
        self.rx = bytearray()
        self.pulses = []        # (deadline, line) pairs that clear an input

    def emit(self, text):
        self.out.write(text + "\n")
        self.out.flush()

    # Host bytes in, board bytes out.
    def receive(self, data):
        self.rx += data
        reply = bytearray()
        pos = 0
        while len(self.rx) - pos >= HOST_LEN:
            f = self.rx[pos:pos + HOST_LEN]
            if f[0] != START or f[5] != END or f[4] != lrc(f[:4]):
                pos += 1  # resynchronise byte by byte
                continue
            reply += self.command(f[1], f[2] | f[3] << 8)
            pos += HOST_LEN
        del self.rx[:pos]
        return bytes(reply)

    def command(self, cmd, value):
        if cmd == CMD_OUTPUT:
            self.set_outputs(value & WORD_MASK)
            return b""
        if cmd == CMD_POLL:
            d = (self.inputs & 0xFF, self.inputs >> 8, self.outputs & 0xFF, self.outputs >> 8)
            return board_frame(TYPE_STATUS, d)
        if cmd in (CMD_TEMP0, CMD_TEMP1):
            kind, first = (TYPE_TEMP0, 0) if cmd == CMD_TEMP0 else (TYPE_TEMP1, 8)
            return b"".join(board_frame(kind, struct.pack("<f", t)) for t in self.temps[first:first + 8])
        return b""

    def set_outputs(self, word):
        if word != self.outputs:
            self.outputs = word
            self.emit("out %.6f %03X" % (now(), word))

    def set_inputs(self, word):
        word &= WORD_MASK
        if word != self.inputs:
            self.inputs = word
            self.emit("in %.6f %03X" % (now(), word))

    def expire_pulses(self):
        t = now()
        for deadline, line in [p for p in self.pulses if p[0] <= t]:
            self.pulses.remove((deadline, line))
            self.set_inputs(self.inputs & ~(1 << line))

    def next_deadline(self):
        return min((p[0] for p in self.pulses), default=None)

    # Control commands; returns False for quit.
    def control(self, line):
        words = line.split()
        if not words:
            return True
        name, args = words[0].lower(), words[1:]
        try:
            if name == "quit":
                return False
            if name in ("set", "clear", "pulse"):
                n = int(args[0])
                if not 0 <= n < INPUTS:
                    raise ValueError("input %d out of 0..9" % n)
                if name == "clear":
                    self.set_inputs(self.inputs & ~(1 << n))
                else:
                    self.set_inputs(self.inputs | 1 << n)
                if name == "pulse":
                    self.pulses.append((now() + int(args[1]) / 1000.0, n))
            elif name == "inputs":
                self.set_inputs(int(args[0], 16))
            elif name == "temp":
                n = int(args[0])
                if not 0 <= n < TEMPS:
                    raise ValueError("temperature %d out of 0..15" % n)
                self.temps[n] = float(args[1])
            elif name == "status":
                self.emit("state %.6f in=%03X out=%03X" % (now(), self.inputs, self.outputs))
            else:
                raise ValueError("unknown command")
        except (IndexError, ValueError) as e:
            sys.stderr.write("ioboard-sim: %r: %s\n" % (line, e))
        return True


class LineSource:
    """Line-by-line reader of a descriptor (stdin or the control FIFO)."""

    def __init__(self, fd):
        self.fd = fd
        self.buf = b""

    def read(self):
        """Complete lines read now, or None at end of file."""
        try:
            data = os.read(self.fd, 4096)
        except BlockingIOError:
            return []
        if not data:
            return None
        self.buf += data
        *lines, self.buf = self.buf.split(b"\n")
        return [l.decode("utf-8", "replace") for l in lines]


def open_fifo(path):
    if not os.path.exists(path):
        os.mkfifo(path, 0o600)
    elif not stat.S_ISFIFO(os.stat(path).st_mode):
        sys.exit("ioboard-sim: %s exists and is not a FIFO" % path)
    fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
    # A writer of our own keeps the FIFO from reporting end of file each
    # time a client closes it.
    keep = os.open(path, os.O_WRONLY)
    return fd, keep


def write_all(fd, data):
    while data:
        try:
            n = os.write(fd, data)
        except BlockingIOError:
            return  # nobody reads the line: the bytes are lost, as on a real line
        data = data[n:]


def main():
    ap = argparse.ArgumentParser(description="IO-board simulator on a pseudo-terminal")
    ap.add_argument("--control", help="control FIFO (created when missing)")
    ap.add_argument("--path-file", help="file that receives the pseudo-terminal's path")
    ap.add_argument("--ignore-stdin", action="store_true",
                    help="take no commands from stdin (otherwise end of stdin quits)")
    args = ap.parse_args()

    master, slave = os.openpty()
    tty.setraw(slave)          # no echo, no CR/LF translation before the host sets the line up
    os.set_blocking(master, False)
    path = os.ttyname(slave)   # slave stays open: the host may close and reopen it
    board = Board(sys.stdout)
    board.emit("pty %s" % path)
    if args.path_file:
        with open(args.path_file + ".tmp", "w") as f:
            f.write(path + "\n")
        os.replace(args.path_file + ".tmp", args.path_file)

    sources = {}
    if not args.ignore_stdin:
        sources[0] = LineSource(0)
    if args.control:
        fifo, _keep = open_fifo(args.control)
        sources[fifo] = LineSource(fifo)

    while True:
        deadline = board.next_deadline()
        timeout = None if deadline is None else max(0.0, deadline - now())
        ready, _, _ = select.select([master] + list(sources), [], [], timeout)
        board.expire_pulses()
        for fd in ready:
            if fd == master:
                try:
                    data = os.read(master, 4096)
                except BlockingIOError:
                    continue
                except OSError as e:
                    if e.errno == errno.EIO:
                        continue
                    raise
                write_all(master, board.receive(data))
                continue
            lines = sources[fd].read()
            if lines is None:
                return 0  # end of stdin
            for line in lines:
                if not board.control(line):
                    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(0)
