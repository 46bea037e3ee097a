#!/usr/bin/python3
"""Kills melbrin with SIGKILL at random moments during an import of thousands of rows, a
resize-all of oversized photos and a backup (runs are repeated until 32 kills of each landed
while the program ran), and checks the files after every kill:

- the database passes PRAGMA integrity_check and the program opens it again;
- import: the new members are the first k rows of the sheet (k = 0..N), each with every
  column as its row holds it, and the members that were there before are untouched;
- resize-all: in name order (letter case not significant) the photos are a run of 480x640
  JPEGs followed by the untouched originals;
- backup: the target name holds nothing (there was none), the old file byte for byte, or a
  whole keyed database with every member of the source; the source is unchanged; the next
  backup removes the part of the copy a killed one left behind.

Usage: crash_test.py MELBRIN MAKESTARTERDB [--seed N] [--kills N]
The seed is printed; give it again to repeat a run's kill moments.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbcheck  # noqa: E402
from dbcheck import CheckFailed  # noqa: E402

IMPORT_ROWS = 12000
PHOTOS = 200
PHOTO_SIZE = (1200, 1600)
HEADINGS = ["GROUP", "NAME", "STAFF_ID", "CHINESE_NAME", "POST", "DATE_JOIN"]
POSTS = ["Clerk", "Manager", "O'Brien & Co", "Driver; night", "50% -- part"]


class Tally:
    def __init__(self, name):
        self.name = name
        self.runs = 0
        self.killed = 0
        self.mid_work = 0
        self.full = 0.0

    def more(self, kills):
        """Another run while fewer than kills landed with the program still running."""
        if self.runs >= 4 * kills:
            raise CheckFailed(f"{self.name}: only {self.killed} of {self.runs} kills landed while"
                              " the program ran")
        return self.killed < kills

    def line(self):
        return (f"{self.name} (a whole run {self.full:.2f} s): {self.runs} iterations, "
                f"{self.killed} killed while running, {self.mid_work} of them in the middle of"
                " the work")


class Crash:
    def __init__(self, melbrin, makestarterdb, work, rng):
        self.melbrin = melbrin
        self.makestarterdb = makestarterdb
        self.work = work
        self.rng = rng
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    def path(self, name):
        return os.path.join(self.work, name)

    def starter(self, name):
        path = self.path(name)
        subprocess.run([self.makestarterdb, path], check=True, capture_output=True)
        return path

    def run(self, args, db):
        return [self.melbrin, *args, "--database", db, "--yes"]

    def full_run(self, args, db):
        """One run left to finish: how long it takes, and it has to succeed."""
        began = time.monotonic()
        done = subprocess.run(self.run(args, db), env=self.env, capture_output=True, timeout=300)
        took = time.monotonic() - began
        if done.returncode != 0:
            raise CheckFailed(f"{' '.join(args)} failed: {done.stderr.decode().strip()}")
        return took

    def killed_run(self, args, db, delay):
        return dbcheck.kill_after(dbcheck.start(self.run(args, db), self.env), delay)

    def reopens(self, db):
        """The program itself opens the file after the kill (and rolls back a hot journal)."""
        done = subprocess.run(self.run(["members"], db), env=self.env, capture_output=True,
                              timeout=60)
        if done.returncode != 0:
            raise CheckFailed(f"members after the kill: {done.stderr.decode().strip()}")

    # --- import -------------------------------------------------------------------------

    def prepare_import(self):
        db = self.starter("import-start.mdb")
        # Members already there; the sheet names none of them. A group's gid is its seq, as the
        # program gives it.
        dbcheck.query(db, "insert into grptbl(gid, gdesc) values (0, 'Existing');"
                          "update grptbl set gid = seq where gdesc = 'Existing';"
                          "insert into stafftbl(gid, name, staffno, cname, post) select gid,"
                          " 'Zoe Already', 'E1', '', 'Boss' from grptbl where gdesc = 'Existing';"
                          "insert into stafftbl(gid, name, staffno) values (0, 'adam before', 'E2');")
        self.before = self.members(db)
        self.rows = []
        for r in range(IMPORT_ROWS):
            self.rows.append([f"Team {r % 13}", f"Imported {r:05d} {'x' * (r % 5)}",
                              f"S{r:06d}", "陳大文" if r % 2 else "Renée",
                              POSTS[r % len(POSTS)], f"{1 + r % 28}/0{1 + r % 9}/20{r % 24:02d}"])
        import xlwt
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("RECORDS")
        for c, heading in enumerate(HEADINGS):
            sheet.write(0, c, heading)
        for r, row in enumerate(self.rows, start=1):
            for c, value in enumerate(row):
                sheet.write(r, c, value)
        self.workbook = self.path("staff.xls")
        book.save(self.workbook)
        return db

    @staticmethod
    def members(db):
        return dbcheck.query(db, "select s.seq, g.gdesc, s.name, s.staffno, s.cname, s.post,"
                                 " s.datejoin, s.expiry, s.remark from stafftbl s left join"
                                 " grptbl g on s.gid = g.gid order by s.seq;")

    def check_import(self, db):
        dbcheck.integrity(db)
        self.reopens(db)
        rows = self.members(db)
        if rows[:len(self.before)] != self.before:
            raise CheckFailed("the members there before the import changed")
        added = rows[len(self.before):]
        if len(added) > len(self.rows):
            raise CheckFailed(f"{len(added)} members added from {len(self.rows)} rows")
        for i, member in enumerate(added):
            if member[1:] != self.rows[i] + [" ", " "]:
                raise CheckFailed(f"member {member} is not sheet row {i + 1}: {self.rows[i]}")
        dangling = dbcheck.scalar(db, "select count(*) from stafftbl where gid <> 0 and gid not"
                                      " in (select gid from grptbl);")
        if dangling != "0":
            raise CheckFailed(f"{dangling} members of a group that is not stored")
        return len(added)

    def crash_import(self, kills):
        tally = Tally("import")
        start = self.prepare_import()
        db = self.path("import.mdb")
        shutil.copyfile(start, db)
        full = tally.full = self.full_run(["import", self.workbook], db)
        if self.check_import(db) != len(self.rows):
            raise CheckFailed("an import left to finish did not add every row")
        while tally.more(kills):
            shutil.copyfile(start, db)
            tally.runs += 1
            tally.killed += self.killed_run(["import", self.workbook], db,
                                            self.rng.uniform(0, 1.1 * full))
            hot = os.path.exists(db + "-journal")
            added = self.check_import(db)
            tally.mid_work += hot or 0 < added < len(self.rows)
        return tally

    # --- resize-all ---------------------------------------------------------------------

    def prepare_resize(self):
        big = self.path("big.jpg")
        subprocess.run(["convert", "-size", "x".join(map(str, PHOTO_SIZE)), "plasma:fractal",
                        "-quality", "80", big], check=True, capture_output=True)
        with open(big, "rb") as f:
            self.photo = f.read()
        self.original = dbcheck.plain_blob_file(self.path("original.db"), self.photo)
        db = self.starter("photos.mdb")
        # Stored in an order other than the name order, names in both letter cases.
        order = list(range(PHOTOS))
        self.rng.shuffle(order)
        inserts = " ".join(f"insert into stafftbl(gid, name, photo) select 0,"
                           f" '{'member' if i % 2 else 'MEMBER'} {i:04d}', b from p;"
                           for i in order)
        dbcheck.query(db, f"create temp table p(b); insert into p values (X'{self.photo.hex()}');"
                          f" begin; {inserts} commit;")
        return db

    def photo_states(self, db):
        rows = dbcheck.query(db, "select name, photo = (select b from o.p), length(photo),"
                                 " hex(substr(photo, 1, 1024)), hex(substr(photo, -2, 2))"
                                 " from stafftbl;", attach=self.original)
        rows.sort(key=lambda r: r[0].lower())
        states = []
        for name, same, length, head, tail in rows:
            if same == "1":
                states.append("original")
            elif (dbcheck.jpeg_size(bytes.fromhex(head)) == (480, 640) and tail == "FFD9"
                  and int(length) > 0):
                states.append("resized")
            else:
                raise CheckFailed(f"photo of {name} is neither the original nor a 480x640 JPEG")
        return states

    def check_resize(self, db):
        dbcheck.integrity(db)
        self.reopens(db)
        states = self.photo_states(db)
        if len(states) != PHOTOS:
            raise CheckFailed(f"{len(states)} members after resize-all, {PHOTOS} before")
        resized = states.count("resized")
        if states != ["resized"] * resized + ["original"] * (PHOTOS - resized):
            raise CheckFailed(f"resized photos are not a prefix of the name order: {states}")
        return resized

    def crash_resize(self, kills):
        tally = Tally("resize-all")
        start = self.prepare_resize()
        db = self.path("resize.mdb")
        shutil.copyfile(start, db)
        if self.check_resize(db) != 0:
            raise CheckFailed("the photos made for the test are not oversized")
        full = tally.full = self.full_run(["resize-all"], db)
        if self.check_resize(db) != PHOTOS:
            raise CheckFailed("a resize-all left to finish did not resize every photo")
        while tally.more(kills):
            shutil.copyfile(start, db)
            tally.runs += 1
            tally.killed += self.killed_run(["resize-all"], db, self.rng.uniform(0, 1.1 * full))
            hot = os.path.exists(db + "-journal")
            resized = self.check_resize(db)
            tally.mid_work += hot or 0 < resized < PHOTOS
        return tally

    # --- backup -------------------------------------------------------------------------

    def check_backup(self, source, target, old_digest):
        if dbcheck.file_digest(source) != self.source_digest:
            raise CheckFailed("the backup changed its source")
        folder = os.path.dirname(target)
        parts = [n for n in os.listdir(folder) if n.endswith(".part") or ".part-" in n]
        for name in parts:
            os.remove(os.path.join(folder, name))
        if not os.path.exists(target):
            if old_digest is not None:
                raise CheckFailed("the old backup is gone and no new one stands in its place")
            return "absent", bool(parts)
        if old_digest is not None and dbcheck.file_digest(target) == old_digest:
            return "old", bool(parts)
        dbcheck.integrity(target)
        count = dbcheck.scalar(target, "select count(*) from stafftbl;")
        if count != str(PHOTOS):
            raise CheckFailed(f"backup holds {count} members, the source {PHOTOS}")
        return "new", bool(parts)

    def crash_backup(self, source, kills):
        tally = Tally("backup")
        self.source_digest = dbcheck.file_digest(source)
        folder = self.path("backups")
        os.mkdir(folder)
        target = os.path.join(folder, "copy.mdb")
        old = self.starter("old-backup.mdb")
        old_digest = dbcheck.file_digest(old)
        full = tally.full = self.full_run(["backup", target], source)
        if self.check_backup(source, target, None)[0] != "new":
            raise CheckFailed("a backup left to finish wrote no backup")
        outcomes = {"absent": 0, "old": 0, "new": 0}
        while tally.more(kills):
            i = tally.runs
            # Half the time an older backup stands under the target name.
            if os.path.exists(target):
                os.remove(target)
            had_old = i % 2 == 1
            if had_old:
                shutil.copyfile(old, target)
            tally.runs += 1
            tally.killed += self.killed_run(["backup", target, "--force"], source,
                                            self.rng.uniform(0, 1.1 * full))
            outcome, part_left = self.check_backup(source, target, old_digest if had_old else None)
            outcomes[outcome] += 1
            tally.mid_work += part_left
        # What a killed run left beside the target goes when the next run starts.
        for _ in range(4 * kills):
            self.killed_run(["backup", target, "--force"], source,
                            self.rng.uniform(0.3, 0.9) * full)
            if [n for n in os.listdir(folder) if n.endswith(".part") or ".part-" in n]:
                break
        else:
            raise CheckFailed("no kill left a part of a backup behind to clear")
        self.full_run(["backup", target, "--force"], source)
        if os.listdir(folder) != ["copy.mdb"]:
            raise CheckFailed(f"a backup left {sorted(os.listdir(folder))} behind")
        dbcheck.integrity(source)
        tally.outcomes = outcomes
        return tally


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("melbrin")
    parser.add_argument("makestarterdb")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--kills", type=int, default=32,
                        help="kills to land while the program runs, per job")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(1 << 32)
    print(f"seed {seed}", flush=True)
    rng = random.Random(seed)
    began = time.monotonic()
    work = tempfile.mkdtemp(prefix="melbrin-crash-")
    try:
        crash = Crash(os.path.abspath(args.melbrin), os.path.abspath(args.makestarterdb), work,
                      rng)
        tallies = [crash.crash_import(args.kills)]
        print(tallies[-1].line(), flush=True)
        photos = crash.path("photos.mdb")
        tallies.append(crash.crash_resize(args.kills))
        print(tallies[-1].line(), flush=True)
        tallies.append(crash.crash_backup(photos, args.kills))
        print(tallies[-1].line(), "; target afterwards:", tallies[-1].outcomes, flush=True)
    except CheckFailed as failure:
        print(f"FAILED (seed {seed}): {failure}", flush=True)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"all checks passed in {time.monotonic() - began:.0f} s", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
