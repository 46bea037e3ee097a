#!/usr/bin/env python3
"""Runs the progress window's on-screen check (progress_on_screen) under an Xvfb server of its
own, on the xcb platform. Usage: progress_on_screen.py PROGRAM [FOLDER for the screens]."""
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def main():
    program = sys.argv[1]
    folder = sys.argv[2:]
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        print("Xvfb is not installed")
        return SKIP
    with tempfile.TemporaryDirectory() as home:
        read_end, write_end = os.pipe()
        server = subprocess.Popen(
            [xvfb, "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            with os.fdopen(read_end) as numbers:
                display = numbers.readline().strip()
            if not display:
                print("Xvfb did not start")
                return 1
            # No session bus: the check needs none, and the system's D-Bus library keeps a
            # buffer to the end of the process that LeakSanitizer would report.
            env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb", HOME=home,
                       XDG_CONFIG_HOME=os.path.join(home, "config"),
                       XDG_RUNTIME_DIR=home, DBUS_SESSION_BUS_ADDRESS="disabled:")
            if "ASAN_OPTIONS" in env:
                # libxkbcommon-x11 (loaded by the xcb platform only) hands strndup names that
                # are not terminated within the length given; the strict check flags that
                # inside the system library, before any code of ours runs.
                env["ASAN_OPTIONS"] += ":strict_string_checks=0"
            return subprocess.run([program] + folder, env=env, timeout=120).returncode
        finally:
            server.terminate()
            server.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
