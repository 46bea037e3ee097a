"""Looks into card databases with the sqlcipher command-line tool, for the crash and fault
tests. The tool's own readfile() truncates binary files in the version Debian ships, so
blobs go in as X'..' literals or through an attached plain SQLite file."""
import hashlib
import os
import signal
import sqlite3
import subprocess
import time

KEY = "PRAGMA key='pemx.qz'; PRAGMA cipher_page_size=4096;"
SEP = "\x1f"


class CheckFailed(AssertionError):
    pass


def query(path, sql, key=KEY, attach=None):
    """Rows of the last statements' output, each a list of text fields. attach names a plain
    SQLite file attached as 'o'."""
    script = key
    if attach:
        script += f" ATTACH DATABASE '{attach}' AS o KEY '';"
    script += " " + sql
    run = subprocess.run(["sqlcipher", "-bail", "-batch", "-separator", SEP, path],
                         input=script.encode(), capture_output=True, timeout=120)
    if run.returncode != 0:
        raise CheckFailed(f"sqlcipher on {path}: {run.stderr.decode(errors='replace').strip()}")
    text = run.stdout.decode()
    return [line.split(SEP) for line in text.splitlines()]


def integrity(path):
    rows = query(path, "PRAGMA integrity_check;")
    if rows != [["ok"]]:
        raise CheckFailed(f"integrity_check of {path}: {rows[:5]}")


def scalar(path, sql):
    return query(path, sql)[0][0]


def plain_blob_file(path, blob):
    """A plain SQLite file holding blob in o.p(b), for comparing stored photos byte by byte."""
    with sqlite3.connect(path) as c:
        c.execute("create table p(b)")
        c.execute("insert into p values(?)", (blob,))
    return path


def file_digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            h.update(chunk)
    return h.hexdigest()


def jpeg_size(head):
    """(width, height) from the frame header of a JPEG's first bytes, or None."""
    i = 2
    if head[:2] != b"\xff\xd8":
        return None
    while i + 9 < len(head):
        if head[i] != 0xFF:
            return None
        marker = head[i + 1]
        length = int.from_bytes(head[i + 2:i + 4], "big")
        if marker in (0xC0, 0xC1, 0xC2):
            return (int.from_bytes(head[i + 7:i + 9], "big"),
                    int.from_bytes(head[i + 5:i + 7], "big"))
        i += 2 + length
    return None


def start(argv, env=None):
    """The program in a session of its own, so that a helper it started goes with it."""
    return subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, env=env, start_new_session=True)


def kill_after(proc, delay):
    """SIGKILL to the program after delay seconds; True when it was still running."""
    deadline = time.monotonic() + delay
    while time.monotonic() < deadline and proc.poll() is None:
        time.sleep(min(0.002, max(0.0, deadline - time.monotonic())))
    running = proc.poll() is None
    if running:
        os.kill(proc.pid, signal.SIGKILL)
    proc.wait()
    sweep(proc)
    return running


def sweep(proc):
    """Ends what is left of the program's session (the workbook reader it may have started)."""
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
