#!/usr/bin/python3
"""The command line against files it cannot use as asked: a database on a read-only file
system, a database locked by another process, a backup, a PDF or an import onto a full file
system, a database with another password or none, a workbook that is a pipe, a folder or a
device. Each has to end with exit code 1 and one line on standard error naming the problem,
never report success, and leave the database as it was. An import beside another writer waits
for its lock and then reads what that one wrote. Cases that need a tmpfs mount are skipped,
with a message, where mounting is refused.

Usage: fault_test.py MELBRIN MAKESTARTERDB [unittest options]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "crash"))
import dbcheck  # noqa: E402

MELBRIN = MAKESTARTERDB = None
SUCCESS_WORDS = ("Completed.", "Database saved.")


def make_workbook(path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("RECORDS")
    for r, row in enumerate([["GROUP", "NAME"], ["Sales", "Ann Faulty"], ["", "Bob Faulty"]]):
        for c, value in enumerate(row):
            sheet.write(r, c, value)
    book.save(path)


def run(args, db):
    return subprocess.run([MELBRIN, *args, "--database", db, "--yes"], capture_output=True,
                          timeout=60, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


class Mount:
    """A small tmpfs of its own, unmounted on leaving."""

    def __init__(self, path, size):
        self.path = path
        self.size = size
        self.mounted = False

    def __enter__(self):
        os.makedirs(self.path, exist_ok=True)
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={self.size},mode=0755",
                               "melbrin-test", self.path], capture_output=True, text=True)
        if done.returncode != 0:
            reason = (done.stderr.strip().splitlines() or ["refused"])[0]
            raise unittest.SkipTest(f"cannot mount a tmpfs here ({reason}); "
                                    "run as root where mounting is allowed to test this")
        self.mounted = True
        return self

    def read_only(self):
        subprocess.run(["mount", "-o", "remount,ro", self.path], check=True, capture_output=True)

    def __exit__(self, *exc):
        if self.mounted:
            if subprocess.run(["umount", self.path], capture_output=True).returncode != 0:
                subprocess.run(["umount", "-l", self.path], capture_output=True)
        return False


class Locker:
    """A sqlcipher shell holding a transaction on the file until the block ends."""

    def __init__(self, db, begin):
        self.db = db
        self.begin = begin

    def __enter__(self):
        self.shell = subprocess.Popen(["stdbuf", "-oL", "sqlcipher", "-batch", self.db],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.STDOUT, text=True)
        self.shell.stdin.write(f"{dbcheck.KEY}\n{self.begin};\nselect 'held';\n")
        self.shell.stdin.flush()
        line = self.shell.stdout.readline().strip()
        if line != "held":
            self.__exit__()
            raise AssertionError(f"the sqlcipher shell did not take the lock: {line}")
        return self

    def __exit__(self, *exc):
        try:
            self.shell.stdin.close()
            self.shell.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.shell.kill()
            self.shell.wait()
        self.shell.stdout.close()
        return False


class FaultTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="melbrin-fault-")
        self.workbook = os.path.join(self.dir, "staff.xls")
        make_workbook(self.workbook)

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def starter(self, path, members=0, photo_bytes=0):
        subprocess.run([MAKESTARTERDB, path], check=True, capture_output=True)
        if members:
            dbcheck.query(path, "create temp table n(i); begin;"
                                + "".join(f"insert into n values ({i});" for i in range(members))
                                + "insert into stafftbl(gid, name, photo) select 0, 'Member '"
                                f" || i, randomblob({photo_bytes}) from n; commit;")
        return path

    def with_oversized_photo(self, db):
        """One photo resize-all has to rewrite, so that it does try to write."""
        jpeg = os.path.join(self.dir, "big.jpg")
        subprocess.run(["convert", "-size", "600x800", "xc:gray", jpeg], check=True)
        with open(jpeg, "rb") as f:
            data = f.read().hex()
        dbcheck.query(db, f"update stafftbl set photo = X'{data}' where seq = (select min(seq)"
                          " from stafftbl);")

    def photo_folder(self, count, size="120x160"):
        """A folder of JPEG files named "Member 0.jpg" .. for the starter's members."""
        folder = os.path.join(self.dir, "photos")
        os.makedirs(folder, exist_ok=True)
        first = os.path.join(folder, "Member 0.jpg")
        subprocess.run(["convert", "-size", size, "xc:gray", "+noise", "Random", first],
                       check=True)
        for i in range(1, count):
            shutil.copyfile(first, os.path.join(folder, f"Member {i}.jpg"))
        return folder

    def assert_refused(self, done, names):
        """Exit 1 and one line on standard error that names the problem (names: a pattern)."""
        err = done.stderr.decode(errors="replace")
        out = done.stdout.decode(errors="replace")
        self.assertEqual(done.returncode, 1, f"exit {done.returncode}; stderr: {err!r}")
        lines = err.splitlines()
        self.assertEqual(len(lines), 1, f"stderr is not one line: {err!r}")
        self.assertTrue(lines[0].startswith("melbrin: ") and len(lines[0]) > len("melbrin: "),
                        lines[0])
        for word in SUCCESS_WORDS:
            self.assertNotIn(word, err + out)
        self.assertRegex(lines[0].lower(), names, "the message does not name the problem")

    def test_read_only_file_system(self):
        mnt = os.path.join(self.dir, "ro")
        with Mount(mnt, "4m") as mount:
            db = self.starter(os.path.join(mnt, "cardinfo.mdb"), members=3, photo_bytes=10)
            self.with_oversized_photo(db)
            photos = self.photo_folder(3)
            mount.read_only()
            digest = dbcheck.file_digest(db)
            for args in (["import", self.workbook], ["resize-all"],
                         ["import-photos", photos, "--match", "name"]):
                with self.subTest(args[0]):
                    self.assert_refused(run(args, db), r"read-?only")
                    self.assertEqual(dbcheck.file_digest(db), digest)
            # Reading goes on: the members are listed and a backup is made elsewhere.
            listed = run(["members"], db)
            self.assertEqual(listed.returncode, 0, listed.stderr)
            self.assertEqual(len(listed.stdout.splitlines()), 1 + 3)
            copy = os.path.join(self.dir, "copy.mdb")
            self.assertEqual(run(["backup", copy], db).returncode, 0)
            self.assertEqual(dbcheck.scalar(copy, "select count(*) from stafftbl;"), "3")
            # A backup into the read-only folder.
            self.assert_refused(run(["backup", os.path.join(mnt, "copy.mdb")], db),
                                r"read-?only|permission")
            self.assertEqual(sorted(os.listdir(mnt)), ["cardinfo.mdb"])
            self.assertEqual(dbcheck.file_digest(db), digest)

    def test_database_locked_by_another_process(self):
        db = self.starter(os.path.join(self.dir, "cardinfo.mdb"), members=3, photo_bytes=10)
        self.with_oversized_photo(db)
        digest = dbcheck.file_digest(db)
        copy = os.path.join(self.dir, "copy.mdb")
        # An exclusive lock shuts readers out too; a reserved one (another program writing)
        # only writers.
        cases = [
            ("BEGIN EXCLUSIVE", ["members"]),
            ("BEGIN EXCLUSIVE", ["backup", copy]),
            ("BEGIN EXCLUSIVE", ["import", self.workbook]),
            ("BEGIN EXCLUSIVE", ["resize-all"]),
            ("BEGIN IMMEDIATE", ["import", self.workbook]),
            ("BEGIN IMMEDIATE", ["resize-all"]),
        ]
        for begin, args in cases:
            with self.subTest(f"{begin} {args[0]}"):
                with Locker(db, begin):
                    done = run(args, db)
                self.assert_refused(done, r"locked|busy")
                self.assertFalse(os.path.exists(copy))
                self.assertEqual(dbcheck.file_digest(db), digest)
        dbcheck.integrity(db)
        self.assertEqual(dbcheck.scalar(db, "select count(*) from stafftbl;"), "3")

    def test_backup_onto_a_full_file_system(self):
        db = self.starter(os.path.join(self.dir, "cardinfo.mdb"), members=100,
                          photo_bytes=8000)
        digest = dbcheck.file_digest(db)
        old = self.starter(os.path.join(self.dir, "old.mdb"))
        mnt = os.path.join(self.dir, "full")
        with Mount(mnt, "256k"):
            target = os.path.join(mnt, "copy.mdb")
            for had_old in (False, True):
                with self.subTest(old_backup=had_old):
                    if had_old:
                        shutil.copyfile(old, target)
                    self.assert_refused(run(["backup", target, "--force"], db), r"space|full")
                    # No part file is left, and the old backup is as it was.
                    self.assertEqual(os.listdir(mnt), ["copy.mdb"] if had_old else [])
                    if had_old:
                        self.assertEqual(dbcheck.file_digest(target), dbcheck.file_digest(old))
            self.assertEqual(dbcheck.file_digest(db), digest)

    def test_pdf_onto_a_full_file_system(self):
        db = self.starter(os.path.join(self.dir, "cardinfo.mdb"), members=30, photo_bytes=100)
        digest = dbcheck.file_digest(db)
        mnt = os.path.join(self.dir, "full")
        with Mount(mnt, "256k"):
            target = os.path.join(mnt, "cards.pdf")
            with open(target, "wb") as f:
                f.write(b"%PDF-1.4 an earlier PDF")
            # Fill the rest, then free a few pages: the new PDF starts, but cannot end.
            filler = os.path.join(mnt, "filler")
            fd = os.open(filler, os.O_WRONLY | os.O_CREAT)
            try:
                while os.write(fd, b"\0" * 4096):
                    pass
            except OSError:
                pass
            finally:
                os.close(fd)
            os.truncate(filler, max(0, os.path.getsize(filler) - 8192))
            for args in (["cards", "--output", target], ["checklist", "--output", target]):
                with self.subTest(args[0]):
                    self.assert_refused(run(args, db), r"space|full")
                    self.assertEqual(sorted(os.listdir(mnt)), ["cards.pdf", "filler"])
                    with open(target, "rb") as f:
                        self.assertEqual(f.read(), b"%PDF-1.4 an earlier PDF")
        self.assertEqual(dbcheck.file_digest(db), digest)

    def test_wrong_password(self):
        good = self.starter(os.path.join(self.dir, "good.mdb"), members=2, photo_bytes=10)
        keys = [("another password", "KEY 'not the password'"), ("no password", "KEY ''")]
        for what, key in keys:
            with self.subTest(what):
                db = os.path.join(self.dir, f"{what}.mdb")
                # The same tables and rows, under another key.
                dbcheck.query(good, f"ATTACH DATABASE '{db}' AS other {key};"
                                    " SELECT sqlcipher_export('other'); DETACH DATABASE other;")
                digest = dbcheck.file_digest(db)
                copy = os.path.join(self.dir, "copy.mdb")
                cards = os.path.join(self.dir, "cards.pdf")
                for args in (["members"], ["import", self.workbook], ["resize-all"],
                             ["backup", copy], ["cards", "--output", cards]):
                    self.assert_refused(run(args, db), r"encrypted|not a database")
                    self.assertEqual(dbcheck.file_digest(db), digest)
                self.assertFalse(os.path.exists(copy) or os.path.exists(cards))

    def test_import_of_a_file_that_is_not_a_regular_file(self):
        db = self.starter(os.path.join(self.dir, "cardinfo.mdb"), members=1)
        digest = dbcheck.file_digest(db)
        fifo = os.path.join(self.dir, "staff.xls.fifo")
        os.mkfifo(fifo)  # no writer: an open would wait for one forever
        for path in (fifo, self.dir, "/dev/zero"):
            with self.subTest(path):
                self.assert_refused(run(["import", path], db), r"not a regular file|folder")
                self.assertEqual(dbcheck.file_digest(db), digest)

    def test_import_waits_for_another_writer_and_reads_what_it_wrote(self):
        db = self.starter(os.path.join(self.dir, "cardinfo.mdb"))
        shell = subprocess.Popen(["stdbuf", "-oL", "sqlcipher", "-batch", db],
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True)
        try:
            # Another program writes the same member and group and holds its lock a while.
            shell.stdin.write(f"{dbcheck.KEY}\nBEGIN IMMEDIATE;\n"
                              "INSERT INTO grptbl (gdesc) VALUES ('Sales');\n"
                              "UPDATE grptbl SET gid = seq WHERE gdesc = 'Sales';\n"
                              "INSERT INTO stafftbl (gid, name) VALUES (0, 'Ann Faulty');\n"
                              "select 'held';\n")
            shell.stdin.flush()
            self.assertEqual(shell.stdout.readline().strip(), "held")
            importing = subprocess.Popen(
                [MELBRIN, "import", self.workbook, "--database", db, "--yes"],
                stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
            time.sleep(2)  # the import is connected and waits for the lock
            shell.stdin.write("COMMIT;\n")
            shell.stdin.close()
            shell.wait(timeout=10)
            _, err = importing.communicate(timeout=60)
        finally:
            if shell.poll() is None:
                shell.kill()
            shell.stdout.close()
        self.assertEqual(importing.returncode, 0, err)
        # And two imports of the workbook at once.
        both = [subprocess.Popen([MELBRIN, "import", self.workbook, "--database", db, "--yes"],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                 env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
                for _ in range(2)]
        for p in both:
            _, err = p.communicate(timeout=60)
            self.assertEqual(p.returncode, 0, err)
        self.assertEqual(dbcheck.scalar(db, "select count(*) from grptbl where gdesc = 'Sales';"),
                         "1")
        for name in ("Ann Faulty", "Bob Faulty"):
            self.assertEqual(dbcheck.scalar(db, "select count(*) from stafftbl where name = "
                                                f"'{name}';"), "1", name)
        self.assertEqual(dbcheck.scalar(db, "select gid = (select gid from grptbl where gdesc ="
                                            " 'Sales') from stafftbl where name = 'Ann Faulty';"),
                         "1")

    def test_photo_import_onto_a_full_file_system(self):
        mnt = os.path.join(self.dir, "full")
        photos = self.photo_folder(100, "300x400")
        with Mount(mnt, "1m"):
            db = self.starter(os.path.join(mnt, "cardinfo.mdb"), members=100)
            done = run(["import-photos", photos, "--match", "name"], db)
            self.assert_refused(done, r"full")
            # The first batch of 64 did not fit: it is rolled back whole, and the report says
            # that nothing had been stored.
            self.assertIn("0 photos had been stored before.", done.stdout.decode())
            dbcheck.integrity(db)
            self.assertEqual(dbcheck.scalar(db, "select count(*) from stafftbl where"
                                                " length(photo) > 1;"), "0")
            self.assertEqual(dbcheck.scalar(db, "select count(*) from stafftbl where changedutc"
                                                " is not null;"), "0")

    def test_import_onto_a_full_file_system(self):
        mnt = os.path.join(self.dir, "full")
        big = os.path.join(self.dir, "big.xls")
        import xlwt
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("RECORDS")
        for c, heading in enumerate(["NAME", "POST"]):
            sheet.write(0, c, heading)
        for r in range(1, 3001):
            sheet.write(r, 0, f"Member {r}")
            sheet.write(r, 1, f"{r} " + "x" * 1000)
        book.save(big)
        with Mount(mnt, "1m"):
            db = self.starter(os.path.join(mnt, "cardinfo.mdb"), members=2)
            # The rolled-back pages are written again under fresh initialisation vectors, so
            # the file is compared by its rows rather than its bytes.
            rows = "select group_concat(quote(seq) || quote(gid) || quote(name) || quote(post)" \
                   " || quote(photo), ';') from (select * from stafftbl order by seq);"
            before = dbcheck.scalar(db, rows)
            groups = dbcheck.scalar(db, "select count(*) from grptbl;")
            done = run(["import", big], db)
            self.assert_refused(done, r"unable to post the data\. \(database or disk is full\)")
            self.assertNotIn(b"rollback", done.stderr)
            dbcheck.integrity(db)
            self.assertEqual(dbcheck.scalar(db, rows), before)
            self.assertEqual(dbcheck.scalar(db, "select count(*) from grptbl;"), groups)


if __name__ == "__main__":
    MELBRIN, MAKESTARTERDB = (os.path.abspath(p) for p in sys.argv[1:3])
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)
