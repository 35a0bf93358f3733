#!/usr/bin/python3
# The terminal pane as a screen reader sees it: Kestrel under Xvfb in a private D-Bus session,
# on tncsim's line; the banner and prompt, then the answer to a typed MYCALL, must reach the
# reader as text and as text-changed events. Exits 77 (skipped) without the tools it needs.

import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

BANNER = "Ｋｅｓｔｒｅｌ"
WRITE_SETTINGS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                              "tools", "demo", "write_settings.sh")


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(77)


def outer(args):
    for name in ("kestrel", "tncsim"):
        if not os.access(getattr(args, name) or "", os.X_OK):
            skip(name + " is not built")
    for tool in ("Xvfb", "dbus-run-session", "xdotool"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    if importlib.util.find_spec("pyatspi") is None:
        skip("pyatspi is not installed")
    # -noreset: the bus launcher connects and leaves before the program starts, and a server
    # that resets when its last client leaves refuses connections meanwhile.
    log = tempfile.TemporaryFile(mode="w+")
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stderr=log)
    os.close(write_end)
    try:
        with os.fdopen(read_end) as display:
            env = dict(os.environ, DISPLAY=":" + display.readline().strip())
        if env["DISPLAY"] == ":":
            skip("Xvfb did not start")
        env.pop("WAYLAND_DISPLAY", None)
        result = subprocess.call(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inner",
             "--kestrel", os.path.abspath(args.kestrel), "--tncsim", os.path.abspath(args.tncsim),
             "--timeout", str(args.timeout)], env=env, timeout=args.timeout + 30)
        if result != 0:
            log.seek(0)
            print("Xvfb on %s; its log:\n%s" % (env["DISPLAY"], log.read()))
        return result
    finally:
        xvfb.terminate()
        xvfb.wait()


# Delivers the AT-SPI events that arrive meanwhile.
def pump(seconds):
    from gi.repository import GLib
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().pending():
            GLib.MainContext.default().iteration(False)
        time.sleep(0.02)


# Every (text, caret) of an accessible subtree; nodes that go away while we walk are passed.
def texts_of(node, depth=0):
    try:
        text = node.queryText()
        yield text.getText(0, -1), text.caretOffset
    except NotImplementedError:
        pass
    except Exception:
        return
    for i in range(node.childCount if depth < 30 else 0):
        try:
            yield from texts_of(node.getChildAtIndex(i), depth + 1)
        except Exception:
            continue


def inner(args):
    import pyatspi

    work = tempfile.mkdtemp(prefix="kestrel-atspi-")
    link, settings = os.path.join(work, "tnc"), os.path.join(work, "kestrel-atspi.ini")
    subprocess.check_call([WRITE_SETTINGS, settings, link, os.path.join(work, "downloads")])
    tncsim = subprocess.Popen([args.tncsim, "--link", link, "--dx-interval", "0",
                               "--mycall", "JA1KST"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    tncsim.stdout.readline()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb", HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"))
    log = open(os.path.join(work, "kestrel.log"), "w+")
    kestrel = subprocess.Popen([args.kestrel, settings], env=env, stdout=log, stderr=log, cwd=work)
    changes = []  # the program is the session's only accessible application
    pyatspi.Registry.registerEventListener(changes.append, "object:text-changed")
    deadline = time.monotonic() + args.timeout

    # The text and caret of the first node of the program's tree holding all of `wanted`.
    def pane_with(*wanted):
        while time.monotonic() < deadline:
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                try:
                    app = desktop.getChildAtIndex(i)
                    texts = list(texts_of(app)) if app.get_process_id() == kestrel.pid else []
                except Exception:  # an application that went away while we looked
                    continue
                for text, caret in texts:
                    if all(w in text for w in wanted):
                        return text, caret
            pump(0.25)
        log.seek(0)
        print("FAIL: no accessible text holds %r; kestrel %s, its output:\n%s"
              % (wanted, "exited" if kestrel.poll() is not None else "runs", log.read()[-4000:]))
        return None, None

    try:
        text, caret = pane_with(BANNER, "cmd:")
        if text is None:
            return 1
        print("pane: %d characters, caret at %d\n%s" % (len(text), caret, text))
        if not 0 <= caret <= len(text):
            print("FAIL: caret offset %d outside the text" % caret)
            return 1
        window = subprocess.run(["xdotool", "search", "--pid", str(kestrel.pid), "--name",
                                 "^Kestrel"], capture_output=True, text=True).stdout.split()[0]
        # No window manager runs here, so focus is given directly.
        subprocess.call(["xdotool", "windowfocus", "--sync", window], stderr=subprocess.DEVNULL)
        before = len(changes)
        subprocess.check_call(["xdotool", "type", "--delay", "30", "MYCALL"])
        subprocess.check_call(["xdotool", "key", "Return"])
        if pane_with("MYCALL JA1KST")[0] is None:
            return 1
        pump(0.5)
        print("after typing: %d text-changed events" % (len(changes) - before))
        if len(changes) == before:
            print("FAIL: the pane's text changed without a text-changed event")
            return 1
        shutil.rmtree(work, ignore_errors=True)
        return 0
    finally:
        for process in (kestrel, tncsim):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()


def main():
    parser = argparse.ArgumentParser()
    for option in ("--kestrel", "--tncsim", "--build-dir"):
        parser.add_argument(option)
    parser.add_argument("--inner", action="store_true")
    parser.add_argument("--timeout", type=float, default=40)
    args = parser.parse_args()
    sys.exit(inner(args) if args.inner else outer(args))


if __name__ == "__main__":
    main()
