#!/usr/bin/python3
"""Kills `melbrin rekey` of a database large enough that a rekey takes about a second with
SIGKILL at random moments (until enough kills landed while it wrote), and checks the file after
each kill: of the old and the new key exactly one opens it, tried in both orders (the new key
first, on the file itself, is the risky one: it meets the hot journal the kill left; the old
key first on a copy of file and journal), the same one either way; integrity_check passes and
every member is there. Then a rekey that the file-size limit stops part way (as a full disk
would): exit 1 with the reason, and the file opens with the old key, sound.

Usage: rekey_crash_test.py MELBRIN MAKESTARTERDB [--seed N] [--kills N]
"""
import argparse
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbcheck  # noqa: E402
from dbcheck import CheckFailed  # noqa: E402

MEMBERS = 300
PHOTO_BYTES = 110_000  # about 33 MB in all
OLD = "pemx.qz"
NEW = "the office's own passphrase"


def sql_key(passphrase):
    quoted = passphrase.replace("'", "''")
    return f"PRAGMA key='{quoted}'; PRAGMA cipher_page_size=4096;"


def opens(db, passphrase):
    try:
        dbcheck.query(db, "select count(*) from sqlite_master;", key=sql_key(passphrase))
        return True
    except CheckFailed:
        return False


class RekeyCrash:
    def __init__(self, melbrin, makestarterdb, work, rng):
        self.melbrin = melbrin
        self.work = work
        self.rng = rng
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        DBUS_SESSION_BUS_ADDRESS="disabled:", XDG_CONFIG_HOME=self.path("config"))
        self.start = self.path("start.mdb")
        subprocess.run([makestarterdb, self.start], check=True, capture_output=True)
        dbcheck.query(self.start, "create temp table n(i); begin;"
                                  + "".join(f"insert into n values ({i});" for i in range(MEMBERS))
                                  + "insert into stafftbl(gid, name, photo) select 0, 'Member ' ||"
                                  f" i, randomblob({PHOTO_BYTES}) from n; commit;")
        self.new_file = self.path("new.txt")
        with open(self.new_file, "w") as f:
            f.write(NEW + "\n")

    def path(self, name):
        return os.path.join(self.work, name)

    def rekey_argv(self, db):
        return [self.melbrin, "rekey", "--new-passphrase-file", self.new_file, "--database", db]

    def which_key(self, db, order):
        """The one key of order that opens db; each is tried in turn, whatever the first did."""
        opened = [key for key in order if opens(db, key)]
        if len(opened) != 1:
            raise CheckFailed(f"{len(opened)} of the keys open the file (tried {order})")
        key = opened[0]
        rows = dbcheck.query(db, "PRAGMA integrity_check; select count(*) from stafftbl;",
                             key=sql_key(key))
        if rows != [["ok"], [str(MEMBERS)]]:
            raise CheckFailed(f"with the key that opens it: {rows[:5]}")
        return key

    def full_rekey(self, db):
        began = time.monotonic()
        done = subprocess.run(self.rekey_argv(db), env=self.env, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=120)
        if done.returncode != 0:
            raise CheckFailed(f"rekey left to finish failed: {done.stderr.decode().strip()}")
        return time.monotonic() - began

    def crash(self, kills):
        db = self.path("rekey.mdb")
        full = None
        for _ in range(2):  # the second with the file in the cache, as the killed runs have it
            shutil.copyfile(self.start, db)
            took = self.full_rekey(db)
            full = took if full is None else min(full, took)
            if self.which_key(db, [NEW, OLD]) != NEW:
                raise CheckFailed("a rekey left to finish did not give the new key")
        runs = killed = hot = 0
        found = {OLD: 0, NEW: 0}
        other = self.path("other-order.mdb")
        # Until enough kills landed in the middle of the work: with the journal written.
        while hot < kills:
            if runs >= 4 * kills:
                raise CheckFailed(f"only {hot} of {runs} kills landed while the rekey wrote")
            runs += 1
            for name in (db + "-journal", other, other + "-journal"):
                if os.path.exists(name):
                    os.remove(name)
            shutil.copyfile(self.start, db)
            proc = dbcheck.start(self.rekey_argv(db), self.env)
            killed += dbcheck.kill_after(proc, self.rng.uniform(0, 1.1 * full))
            if os.path.exists(db + "-journal"):
                hot += 1
                shutil.copyfile(db + "-journal", other + "-journal")
            shutil.copyfile(db, other)
            first = self.which_key(db, [NEW, OLD])
            second = self.which_key(other, [OLD, NEW])
            if first != second:
                raise CheckFailed(f"the new key first found {first!r}, the old key first"
                                  f" {second!r}")
            found[first] += 1
        return (f"rekey (a whole run {full:.2f} s): {runs} iterations, {killed} killed while"
                f" running, {hot} left a journal; afterwards the old key {found[OLD]} times,"
                f" the new {found[NEW]}")

    def full_disk(self):
        db = self.path("limited.mdb")
        shutil.copyfile(self.start, db)
        limit = os.path.getsize(db) // 3

        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        done = subprocess.run(self.rekey_argv(db), env=self.env, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=120, preexec_fn=limited)
        err = done.stderr.decode(errors="replace").strip()
        if done.returncode != 1 or len(err.splitlines()) != 1 \
                or "was not changed: the file could not be written in full" not in err:
            raise CheckFailed(f"rekey past the file-size limit: exit {done.returncode}, {err!r}")
        if self.which_key(db, [NEW, OLD]) != OLD:
            raise CheckFailed("a rekey that failed left the new key")
        return f"rekey past the file-size limit: {err}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("melbrin")
    parser.add_argument("makestarterdb")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--kills", type=int, default=20,
                        help="kills to land while the rekey writes")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(1 << 32)
    print(f"seed {seed}", flush=True)
    began = time.monotonic()
    work = tempfile.mkdtemp(prefix="melbrin-rekey-crash-")
    try:
        crash = RekeyCrash(os.path.abspath(args.melbrin), os.path.abspath(args.makestarterdb),
                           work, random.Random(seed))
        print(crash.crash(args.kills), flush=True)
        print(crash.full_disk(), flush=True)
    except CheckFailed as failure:
        print(f"FAILED (seed {seed}): {failure}", flush=True)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"all checks passed in {time.monotonic() - began:.0f} s", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
