#!/usr/bin/python3
"""The terminal pane as a screen reader sees it.

Starts Kestrel under Xvfb in a private D-Bus session with Qt's accessibility bridge on,
connected to tncsim on a pseudo-terminal, then reads the pane over AT-SPI and expects the
program's banner and the simulated TNC's prompt in its text. Exits 77 (skipped) when the
program, the simulator, Xvfb, the session bus or pyatspi are not there.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
BANNER = "Ｋｅｓｔｒｅｌ"
PROMPT = "cmd:"
HERE = os.path.dirname(os.path.abspath(__file__))
WRITE_SETTINGS = os.path.join(HERE, "..", "..", "..", "tools", "demo", "write_settings.sh")


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kestrel")
    parser.add_argument("--tncsim")
    parser.add_argument("--build-dir")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--timeout", type=float, default=40)
    return parser.parse_args()


def find_binaries(args):
    kestrel = args.kestrel
    tncsim = args.tncsim
    if args.build_dir:
        for candidate in ("src/app/kestrel", "kestrel"):
            path = os.path.join(args.build_dir, candidate)
            if not kestrel and os.access(path, os.X_OK):
                kestrel = path
        path = os.path.join(args.build_dir, "tools/tncsim/tncsim")
        if not tncsim and os.access(path, os.X_OK):
            tncsim = path
    # The program runs in a directory of its own.
    return (os.path.abspath(kestrel) if kestrel else None,
            os.path.abspath(tncsim) if tncsim else None)


def start_xvfb(log):
    # -noreset: the bus launcher connects and leaves before the program starts, and a
    # server that resets when its last client leaves refuses connections meanwhile.
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stderr=log)
    os.close(write_end)
    with os.fdopen(read_end) as display_pipe:
        number = display_pipe.readline().strip()
    if not number:
        xvfb.terminate()
        skip("Xvfb did not start")
    return xvfb, ":" + number


def outer(args):
    kestrel, tncsim = find_binaries(args)
    if not kestrel or not os.access(kestrel, os.X_OK):
        skip("kestrel is not built")
    if not tncsim or not os.access(tncsim, os.X_OK):
        skip("tncsim is not built")
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("pyatspi is not installed")

    xvfb_log = tempfile.TemporaryFile(mode="w+")
    xvfb, display = start_xvfb(xvfb_log)
    try:
        env = dict(os.environ, DISPLAY=display)
        env.pop("WAYLAND_DISPLAY", None)
        command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
                   "--inner", "--kestrel", kestrel, "--tncsim", tncsim,
                   "--timeout", str(args.timeout)]
        result = subprocess.call(command, env=env, timeout=args.timeout + 30)
        if result != 0:
            state = "running" if xvfb.poll() is None else "exited with %d" % xvfb.returncode
            xvfb_log.seek(0)
            print("Xvfb on %s %s; its log:\n%s" % (display, state, xvfb_log.read()))
        return result
    finally:
        xvfb.terminate()
        xvfb.wait()


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def texts_of(accessible, depth=0):
    """Every text an accessible subtree holds, with the node that holds it."""
    if accessible is None or depth > 30:
        return
    try:
        text = accessible.queryText()
        yield accessible, text.getText(0, -1), text.caretOffset
    except NotImplementedError:
        pass
    except Exception:  # a node that went away while we walked
        return
    for i in range(accessible.childCount):
        try:
            child = accessible.getChildAtIndex(i)
        except Exception:
            continue
        yield from texts_of(child, depth + 1)


class TextChanges:
    """Counts the text-changed events the program sends, as a screen reader hears them."""

    def __init__(self, pyatspi, pid):
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.pid = pid
        self.count = 0
        pyatspi.Registry.registerEventListener(self, "object:text-changed")

    def __call__(self, event):
        try:
            if event.host_application.get_process_id() == self.pid:
                self.count += 1
        except Exception:
            pass

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while self.context.pending():
                self.context.iteration(False)
            time.sleep(0.02)


def find_pane(pyatspi, pid, wanted, deadline, events):
    """The first node of the program's tree whose text holds all of `wanted`."""
    seen = ""
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(i)
                if app is None or app.get_process_id() != pid:
                    continue
            except Exception:
                continue
            for node, text, caret in texts_of(app):
                seen = text if BANNER in text else seen
                if all(w in text for w in wanted):
                    return node, text, caret
        events.pump(0.25)
    return None, seen, None


def type_at(pid, text):
    """Types `text` and Enter into the program's window; False without xdotool."""
    if not shutil.which("xdotool"):
        return False
    windows = subprocess.run(["xdotool", "search", "--pid", str(pid), "--name", "^Kestrel"],
                             capture_output=True, text=True).stdout.split()
    if not windows:
        return False
    # No window manager runs here, so focus is given directly.
    subprocess.call(["xdotool", "windowfocus", "--sync", windows[0]], stderr=subprocess.DEVNULL)
    subprocess.check_call(["xdotool", "type", "--delay", "30", text])
    subprocess.check_call(["xdotool", "key", "Return"])
    return True


def inner(args):
    import pyatspi

    work = tempfile.mkdtemp(prefix="kestrel-atspi-")
    link = os.path.join(work, "tnc")
    settings = os.path.join(work, "kestrel-atspi.ini")
    subprocess.check_call([WRITE_SETTINGS, settings, link, os.path.join(work, "downloads")])

    tncsim = subprocess.Popen([args.tncsim, "--link", link, "--dx-interval", "0", "--mycall", "JA1KST"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    kestrel = None
    try:
        if not tncsim.stdout.readline():
            print("FAIL: tncsim printed no pseudo-terminal")
            return 1
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb", HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"))
        log = open(os.path.join(work, "kestrel.log"), "w")
        kestrel = subprocess.Popen([args.kestrel, settings], env=env, stdout=log, stderr=log,
                                   cwd=work)
        events = TextChanges(pyatspi, kestrel.pid)
        deadline = time.monotonic() + args.timeout
        node, text, caret = find_pane(pyatspi, kestrel.pid, [BANNER, PROMPT], deadline, events)
        if node is None:
            print("FAIL: no accessible text with %r and %r; the pane read %r"
                  % (BANNER, PROMPT, text))
            if kestrel.poll() is not None:
                print("kestrel exited with %d" % kestrel.returncode)
            log.flush()
            with open(os.path.join(work, "kestrel.log")) as written:
                print("kestrel's output:\n" + written.read()[-4000:])
            if shutil.which("xdpyinfo"):
                reachable = subprocess.call(["xdpyinfo"], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL) == 0
                print("display %s reachable now: %s" % (os.environ.get("DISPLAY"), reachable))
            return 1
        role = node.getRoleName()
        print("pane: role %s, %d characters, caret at %d" % (role, len(text), caret))
        print(text)
        if not 0 <= caret <= len(text):
            print("FAIL: caret offset %d outside the text" % caret)
            return 1

        # What arrives later reaches the reader as it arrives: a command typed at the TNC,
        # its echo and its answer.
        if type_at(kestrel.pid, "MYCALL"):
            before = events.count
            node, text, caret = find_pane(pyatspi, kestrel.pid, ["MYCALL JA1KST"], deadline, events)
            if node is None:
                print("FAIL: the TNC's answer to MYCALL never showed; the pane read %r" % text)
                return 1
            events.pump(0.5)
            print("after typing: %d text-changed events" % (events.count - before))
            if events.count == before:
                print("FAIL: the pane's text changed without a text-changed event")
                return 1
        shutil.rmtree(work, ignore_errors=True)
        return 0
    finally:
        if kestrel is not None:
            stop(kestrel)
        stop(tncsim)


def main():
    args = parse_args()
    sys.exit(inner(args) if args.inner else outer(args))


if __name__ == "__main__":
    main()
