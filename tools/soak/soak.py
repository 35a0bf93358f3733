#!/usr/bin/env python3
"""Soak and fault runs (make soak): days of traffic and the faults an operator meets, through
the real receive path and the real file saves (kestrel_soak, tools/soak/soak_driver.cpp).
Every figure is printed beside its target; any miss makes the run fail.

usage: soak.py DRIVER [--quick]   (--quick: a tenth of the traffic, 20 kills)
"""

import fcntl
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

DRIVER = sys.argv[1]
SCALE = 10 if "--quick" in sys.argv else 1
MB = 1000 * 1000
misses = []


def figure(name, value, target, ok):
    print(f"  {name}: {value}  (target {target})  {'ok' if ok else 'MISSED'}", flush=True)
    if not ok:
        misses.append(name)


def clock_ticks(pid):
    """User plus system CPU time of a process, in clock ticks."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


class Receiver:
    """kestrel_soak receive on a fresh pseudo-terminal; we hold the TNC's side."""

    def __init__(self, capture=None, wrap=()):
        self.master, slave = os.openpty()
        self.slave_path = os.ttyname(slave)
        os.close(slave)
        args = [*wrap, DRIVER, "receive", self.slave_path] + ([capture] if capture else [])
        self.proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        if self.proc.stdout.readline().strip() != "ready":
            raise SystemExit("kestrel_soak did not start")

    def ask(self, command):
        self.proc.stdin.write(command + "\n")
        return self.proc.stdout.readline().split(" ", 1)[1].strip()

    def stats(self):
        return dict(kv.split("=") for kv in self.ask("stats").split())

    def send(self, data, chunk=1 << 20):
        view = memoryview(data)
        for at in range(0, len(view), chunk):
            rest = view[at:at + chunk]
            while rest:
                rest = rest[os.write(self.master, rest):]

    def sync(self, tag, timeout=120):
        """Sends a line of its own and waits until the screen shows it: all before is in."""
        marker = b"SOAK-" + tag.encode()
        self.send(b"\r\n" + marker)
        deadline = time.monotonic() + timeout
        while self.ask("line") != marker.hex():
            if time.monotonic() > deadline:
                raise SystemExit(f"the receiver never showed {marker!r}")
            time.sleep(0.01)
        return b"\r\n" + marker

    def written_back(self):
        """Bytes the program wrote to the TNC."""
        fcntl.fcntl(self.master, fcntl.F_SETFL, os.O_NONBLOCK)
        try:
            return len(os.read(self.master, 1 << 16))
        except BlockingIOError:
            return 0

    def quit(self):
        try:
            self.ask_quit()
        finally:
            self.proc.wait(timeout=30)
            try:
                os.close(self.master)
            except OSError:
                pass

    def ask_quit(self):
        if self.proc.poll() is None:
            self.proc.stdin.write("quit\n")
            self.proc.stdin.close()


def capture_filter(data):
    """What the capture keeps of received bytes: no control bytes but BEL, TAB, LF and CR."""
    return data.translate(None, bytes(c for c in range(32) if c not in (7, 9, 10, 13)))


def random_stream(work):
    size = 50 * MB // SCALE
    print(f"random stream: {size / MB:.0f} MB of all 256 byte values, capture on", flush=True)
    data = random.Random(11).randbytes(size)
    capture = os.path.join(work, "capture.txt")
    rx = Receiver(capture)
    start = time.monotonic()
    rx.send(data)
    data += rx.sync("random")
    seconds = time.monotonic() - start
    want = capture_filter(data)
    while os.path.getsize(capture) < len(want) and time.monotonic() - start < 600:
        time.sleep(0.01)
    back = rx.written_back()
    rx.quit()
    with open(capture, "rb") as f:
        got = f.read()
    os.unlink(capture)
    differ = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), None)
    if differ is None and len(got) != len(want):
        differ = min(len(got), len(want))
    figure("capture equals the filtered stream", "yes" if differ is None else
           f"no, first difference at byte {differ} of {len(want)}", "yes", differ is None)
    figure("bytes written back to the TNC", back, 0, back == 0)
    print(f"  ({size / seconds / MB:.1f} MB/s through the receive path with capture)")


def memory_run(name, data_block, total):
    print(f"{name}: {total / MB:.0f} MB, resident memory", flush=True)
    rx = Receiver()
    before = int(rx.ask("rss"))
    sent = 0
    while sent < total:
        rx.send(data_block)
        sent += len(data_block)
    rx.sync(name.split()[0])
    after = int(rx.ask("rss"))
    back = rx.written_back()
    rx.quit()
    figure("resident memory growth", f"{after - before} kB ({before} -> {after} kB)",
           "<= 1024 kB", after - before <= 1024)
    figure("bytes written back to the TNC", back, 0, back == 0)


def hang_up():
    print("hang-up of the pseudo-terminal during a burst", flush=True)
    rx = Receiver()
    burst = random.Random(5).randbytes(4 << 20).replace(b"\n", b"")
    fcntl.fcntl(rx.master, fcntl.F_SETFL, os.O_NONBLOCK)
    try:  # fill every queue so the receiver is in the middle of reading when the line goes
        view = memoryview(burst)
        while view:
            view = view[os.write(rx.master, view):]
    except BlockingIOError:
        pass
    os.close(rx.master)
    deadline = time.monotonic() + 30
    while rx.stats()["open"] == "1" and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(0.5)
    ticks = clock_ticks(rx.proc.pid)
    time.sleep(5)
    cpu = (clock_ticks(rx.proc.pid) - ticks) / os.sysconf("SC_CLK_TCK")
    stats = rx.stats()
    rx.ask_quit()
    rx.proc.wait(timeout=30)
    figure("error texts on the screen", stats["errors"], 1, stats["errors"] == "1")
    figure("port open after the hang-up", stats["open"], 0, stats["open"] == "0")
    figure("threads left (the receiver ended)", stats["threads"], 1, stats["threads"] == "1")
    figure("CPU time over the next 5 s", f"{cpu:.2f} s", "<= 0.05 s", cpu <= 0.05)


def kills(work):
    rounds = 200 // SCALE
    print(f"kill -9 in the middle of saving the settings and scroll files, {rounds} times",
          flush=True)
    versions = {}
    for count in (1, 2):
        ref = os.path.join(work, f"ref{count}")
        os.mkdir(ref)
        subprocess.run([DRIVER, "save", ref, str(count)], check=True)
        for name in ("KESTREL.INI", "KESTREL.buf"):
            with open(os.path.join(ref, name), "rb") as f:
                versions.setdefault(name, []).append(f.read())
    files = os.path.join(work, "files")
    os.mkdir(files)
    subprocess.run([DRIVER, "save", files, "1"], check=True)
    rng = random.Random(7)
    torn = left = unloaded = cut_short = 0
    for _ in range(rounds):
        saver = subprocess.Popen([DRIVER, "save", files, "0"])
        time.sleep(rng.uniform(0.005, 0.08))
        saver.kill()
        saver.wait()
        cut_short += len(set(os.listdir(files)) - {"KESTREL.INI", "KESTREL.buf"}) > 0
        for name, both in versions.items():
            with open(os.path.join(files, name), "rb") as f:
                torn += f.read() not in both
        out = subprocess.run([DRIVER, "start", files], check=True, capture_output=True, text=True)
        unloaded += out.stdout.strip() != "loaded 1"
        left += len(set(os.listdir(files)) - {"KESTREL.INI", "KESTREL.buf"})
    print(f"  ({cut_short} of the kills left a save's new file behind)")
    figure("files found neither old nor new", torn, 0, torn == 0)
    figure("scroll files that did not load", unloaded, 0, unloaded == 0)
    figure("new files left after the next start", left, 0, left == 0)


def full_file_system(work):
    print("capture onto a full file system (a 64 KB tmpfs)", flush=True)
    mount = os.path.join(work, "tiny")
    os.mkdir(mount)
    capture = os.path.join(mount, "capture.txt")
    wrap = ()
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", mount],
                      capture_output=True).returncode != 0:
        # Not root: a mount namespace of our own.
        wrap = ("unshare", "-Urm", "sh", "-c", f"mount -t tmpfs -o size=64k tmpfs {mount} && "
                'exec "$0" "$@"')
    try:
        rx = Receiver(capture, wrap)
        line = b"full file system test line " + b"x" * 50 + b"\r\n"
        rx.send(line * (1 * MB // len(line)))
        rx.sync("full")
        after_failure = rx.stats()
        rx.send(line * 100)
        rx.sync("goes-on")
        stats = rx.stats()
        rx.quit()
    finally:
        if not wrap:
            subprocess.run(["umount", mount])
    figure("messages", stats["messages"], 1, stats["messages"] == "1")
    figure("capture still open", after_failure["capture"], 0, after_failure["capture"] == "0")
    figure("reception and screen go on", "yes", "yes", True)


def main():
    work = tempfile.mkdtemp(prefix="kestrel-soak-")
    try:
        random_stream(work)
        memory_run("no line feed", random.Random(3).randbytes(MB).replace(b"\n", b"\r"),
                   200 * MB // SCALE)
        memory_run("CR only", b"\r" * MB, 200 * MB // SCALE)
        hang_up()
        kills(work)
        full_file_system(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if misses:
        print(f"soak: {len(misses)} figure(s) missed their target: {', '.join(misses)}")
        return 1
    print("soak: every figure met its target")
    return 0


if __name__ == "__main__":
    sys.exit(main())
