#!/usr/bin/python3
"""The command line on a card database on a PostgreSQL server, where other stations and the
server itself get in the way: two imports at once, an import while another station holds the
batch lock, a role that may only read, a wrong password, and a server that goes away in the
middle of an import. Every refusal ends with exit code 1 and one line on standard error that
says why, and leaves the database as it was. Skipped, with the reason, where no PostgreSQL
server can be started.

Usage: server_fault_test.py MELBRIN [unittest options]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import pgserver  # noqa: E402

MELBRIN = None
SERVER = None
BUSY = ("melbrin: Another station is importing or resizing photos in this database. Try again"
        " when it has finished.")
REFUSED = "The server refused the change: permission denied for table "
LOST = "The connection to the server was lost"
# The lock every station's batch takes, as another station's session holds it.
BATCH_LOCK_SQL = "select pg_advisory_lock(1296387138);"
# How the rows of a database are compared before and after a refused change.
ROWS = ("select (select count(*) from grptbl) || '/' || count(*) || '/' || coalesce(sum("
        "length(name) + coalesce(length(post), 0) + coalesce(length(photo), 0)), 0) || '/' ||"
        " coalesce(max(changedutc)::text, '-') || '/' || coalesce(max(printedutc)::text, '-')"
        " from stafftbl")


def setUpModule():
    global SERVER
    SERVER = pgserver.Server.shared()
    if SERVER is None:
        raise unittest.SkipTest(pgserver.Server.skip_reason)


def write_csv(path, rows, first=0):
    with open(path, "w", encoding="utf-8") as f:
        f.write("GROUP,NAME,POST\n")
        for i in range(first, first + rows):
            f.write(f"{'Sales' if i % 2 else 'Stores'},Member {i},Post {i}\n")
    return path


def jpeg(path, size):
    subprocess.run(["convert", "-size", size, "xc:gray", path], check=True)
    return path


class Station:
    """Runs the program on one server database as one role."""

    def __init__(self, server, database, user=pgserver.SUPERUSER, env=None):
        self.server = server
        self.address = server.address(database, user)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.env.update(server.env())
        self.env.update(env or {})

    def start(self, *args):
        return subprocess.Popen([MELBRIN, *args, "--database", self.address, "--yes"],
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=self.env)

    def run(self, *args, timeout=120):
        p = self.start(*args)
        out, err = p.communicate(timeout=timeout)
        return subprocess.CompletedProcess(p.args, p.returncode, out, err)


class ServerCase(unittest.TestCase):
    server = None  # the shared one unless a test needs its own

    def setUp(self):
        self.server = self.server or SERVER
        self.dir = tempfile.mkdtemp(prefix="melbrin-server-fault-")
        self.database = self.server.create_database("faults")
        self.station = Station(self.server, self.database)
        done = self.station.run("init-server", self.station.address)
        if b"unknown command 'init-server'" in done.stderr:
            self.skipTest("this build has no init-server command")
        self.assertEqual(done.returncode, 0, done.stderr)

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def sql(self, sql):
        return self.server.psql(self.database, sql).strip()

    def assert_refused(self, done, says=""):
        """Exit 1 and one line on standard error holding says (all of it when says starts
        with "melbrin: ")."""
        err = done.stderr.decode(errors="replace")
        self.assertEqual(done.returncode, 1, f"exit {done.returncode}; stderr: {err!r}")
        lines = err.splitlines()
        self.assertEqual(len(lines), 1, f"stderr is not one line: {err!r}")
        self.assertTrue(lines[0].startswith("melbrin: ") and len(lines[0]) > 10, lines[0])
        if says.startswith("melbrin: "):
            self.assertEqual(lines[0], says)
        else:
            self.assertIn(says, lines[0])
        self.assertNotIn(b"Completed.", done.stdout + done.stderr)

    def assert_imported_once(self, members):
        self.assertEqual(self.sql("select count(*), count(distinct name) from stafftbl"),
                         f"{members}\t{members}")
        self.assertEqual(self.sql("select count(*), count(distinct gdesc), count(distinct gid)"
                                  " from grptbl where gdesc in ('Sales', 'Stores')"), "2\t2\t2")
        self.assertEqual(self.sql("select count(*) from stafftbl s left join grptbl g on"
                                  " g.gid = s.gid where g.gid is null"), "0")
        self.assert_no_batch_lock()

    def assert_no_batch_lock(self):
        """No session holds the batch lock (a session is ended a moment after its program)."""
        deadline = time.monotonic() + 10
        while self.sql("select count(*) from pg_locks where locktype = 'advisory' and database ="
                       " (select oid from pg_database where datname = current_database())") != "0":
            self.assertLess(time.monotonic(), deadline, "a batch lock is still held")
            time.sleep(0.05)


class ConcurrentImportTest(ServerCase):
    def test_two_imports_at_once_add_every_member_once(self):
        workbook = write_csv(os.path.join(self.dir, "staff.csv"), 3000)
        for attempt in range(2):
            with self.subTest(attempt=attempt):
                both = [self.station.start("import", workbook) for _ in range(2)]
                results = [p.communicate(timeout=120) + (p.returncode,) for p in both]
                done = [r for r in results if r[2] == 0]
                self.assertGreaterEqual(len(done), 1, results)
                for out, err, code in results:
                    if code != 0:
                        self.assertEqual((code, err.decode().strip()), (1, BUSY))
                self.assert_imported_once(3000)

    def test_an_import_waits_for_another_stations_batch_then_gives_up(self):
        workbook = write_csv(os.path.join(self.dir, "staff.csv"), 10)
        holder = Station(self.server, self.database)
        # Another station holds the lock for good: the import asks for a few seconds, then
        # refuses, with nothing written.
        with self.holding_lock():
            started = time.monotonic()
            done = self.station.run("import", workbook)
            waited = time.monotonic() - started
            self.assert_refused(done, BUSY)
            self.assertGreaterEqual(waited, 2.5)
            self.assert_refused(holder.run("resize-all"), BUSY)
            self.assertEqual(self.sql("select count(*) from stafftbl"), "0")
        # Released within the wait: the import waits for it, then runs.
        with self.holding_lock() as release:
            importing = self.station.start("import", workbook)
            time.sleep(1)
            release()
            _, err = importing.communicate(timeout=60)
        self.assertEqual(importing.returncode, 0, err)
        self.assert_imported_once(10)

    class _Lock:
        def __init__(self, case):
            self.case = case
            self.shell = None

        def __enter__(self):
            # A session of its own takes the batch lock the program takes, as another
            # station's import would.
            c = self.case
            self.shell = subprocess.Popen(
                [os.path.join(c.server.info["bin"], "psql"), "-X", "-q", "-A", "-t", "-h",
                 c.server.info["socket"], "-p", str(c.server.port), "-U", pgserver.SUPERUSER,
                 "-d", c.database], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            self.shell.stdin.write(BATCH_LOCK_SQL + "\nselect 'held';\n")
            self.shell.stdin.flush()
            line = ""
            while not line:  # the lock's own result is an empty line
                line = self.shell.stdout.readline()
                if not line:
                    break
                line = line.strip()
            if line != "held":
                self.release()
                raise AssertionError(f"psql did not take the lock: {line!r}")
            return self.release

        def release(self):
            if self.shell and self.shell.poll() is None:
                self.shell.stdin.close()
                self.shell.wait(timeout=10)
                self.shell.stdout.close()

        def __exit__(self, *exc):
            self.release()
            return False

    def holding_lock(self):
        return self._Lock(self)


class ReadOnlyRoleTest(ServerCase):
    def setUp(self):
        super().setUp()
        done = self.station.run("import", write_csv(os.path.join(self.dir, "staff.csv"), 3))
        self.assertEqual(done.returncode, 0, done.stderr)
        big = jpeg(os.path.join(self.dir, "big.jpg"), "600x800")
        with open(big, "rb") as f:
            self.sql("update stafftbl set photo = '\\x%s' where name = 'Member 1'"
                     % f.read().hex())
        self.reader = f"{self.database}_reader"
        self.sql(f"create role {self.reader} login password 'reader-pw';"
                 f" grant connect on database {self.database} to {self.reader};"
                 f" grant select on all tables in schema public to {self.reader}")
        pgpass = os.path.join(self.dir, "pgpass")
        with open(self.server.pgpass) as f, open(pgpass, "w") as out:
            out.write(f.read() + f"*:*:*:{self.reader}:reader-pw\n")
        os.chmod(pgpass, 0o600)
        self.reading = Station(self.server, self.database, self.reader,
                               env={"PGPASSFILE": pgpass})

    def test_browsing_and_printing_work_and_every_change_is_refused(self):
        before = self.sql(ROWS)
        listed = self.reading.run("members")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertEqual(len(listed.stdout.splitlines()), 1 + 3)
        for args in (["cards", "--output"], ["checklist", "--output"]):
            with self.subTest(args[0]):
                pdf = os.path.join(self.dir, f"{args[0]}.pdf")
                done = self.reading.run(*args, pdf)
                self.assertEqual(done.returncode, 0, done.stderr)
                with open(pdf, "rb") as f:
                    self.assertEqual(f.read(5), b"%PDF-")

        photos = os.path.join(self.dir, "photos")
        os.makedirs(photos)
        jpeg(os.path.join(photos, "Member 2.jpg"), "120x160")
        marked = os.path.join(self.dir, "marked.pdf")
        changes = [
            (["import", write_csv(os.path.join(self.dir, "more.csv"), 5, first=2)], "stafftbl"),
            (["resize-all"], "stafftbl"),
            (["import-photos", photos, "--match", "name"], "stafftbl"),
            (["cards", "--output", marked, "--mark-printed"], "stafftbl"),
        ]
        for args, table in changes:
            with self.subTest(args[0]):
                done = self.reading.run(*args)
                self.assert_refused(done, REFUSED + table)
                self.assertEqual(self.sql(ROWS), before)
        self.assert_no_batch_lock()


class WrongPasswordTest(ServerCase):
    def test_a_wrong_or_missing_password_is_refused_without_a_prompt(self):
        user = f"{self.database}_clerk"
        self.sql(f"create role {user} login password 'right-pw'")
        pgpass = os.path.join(self.dir, "pgpass")
        with open(pgpass, "w") as f:
            f.write(f"*:*:*:{user}:wrong-pw\n")
        os.chmod(pgpass, 0o600)
        empty = os.path.join(self.dir, "empty")
        open(empty, "w").close()
        os.chmod(empty, 0o600)
        cases = [
            ("pgpass", {"PGPASSFILE": pgpass}, "password authentication failed"),
            ("PGPASSWORD", {"PGPASSFILE": empty, "PGPASSWORD": "wrong-pw"},
             "password authentication failed"),
            ("none", {"PGPASSFILE": empty}, "no password supplied"),
        ]
        workbook = write_csv(os.path.join(self.dir, "staff.csv"), 2)
        for what, env, reason in cases:
            for args in (["members"], ["import", workbook]):
                with self.subTest(what=what, command=args[0]):
                    done = Station(self.server, self.database, user, env).run(*args, timeout=30)
                    self.assert_refused(done)
                    self.assertIn(reason, done.stderr.decode())
                    self.assertNotIn(b"wrong-pw", done.stderr + done.stdout)
        self.assertEqual(self.sql("select count(*) from stafftbl"), "0")


class ServerGoesAwayTest(ServerCase):
    """On a server of its own, since it is stopped in the middle."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="melbrin-pgtest-own-")
        try:
            pgserver.start(cls.folder)
        except (RuntimeError, OSError, subprocess.CalledProcessError) as e:
            shutil.rmtree(cls.folder, ignore_errors=True)
            raise unittest.SkipTest(f"no PostgreSQL server of its own: {e}")
        cls.server = pgserver.Server(cls.folder, True)

    @classmethod
    def tearDownClass(cls):
        pgserver.stop(cls.folder)
        shutil.rmtree(cls.folder, ignore_errors=True)

    def test_an_import_whose_server_goes_away_is_rolled_back_and_says_why(self):
        done = self.station.run("import", write_csv(os.path.join(self.dir, "first.csv"), 2))
        self.assertEqual(done.returncode, 0, done.stderr)
        before = self.sql(ROWS)
        big = write_csv(os.path.join(self.dir, "big.csv"), 40000, first=2)
        importing = self.station.start("import", big)
        # Stopped once the import has written rows of its batch.
        deadline = time.monotonic() + 60
        while self.sql(f"select count(*) from pg_stat_activity where datname ="
                       f" '{self.database}' and backend_xid is not null") != "1":
            self.assertIsNone(importing.poll(), "the import ended before it was stopped")
            self.assertLess(time.monotonic(), deadline, "the import wrote nothing")
            time.sleep(0.05)
        self.server.stop_server()
        try:
            _, err = importing.communicate(timeout=60)
        finally:
            self.server.start_server()
        done = subprocess.CompletedProcess(importing.args, importing.returncode, b"", err)
        self.assert_refused(done)
        self.assertIn(LOST, err.decode())
        # Nothing of the batch stayed; the database is whole and takes the import again.
        self.assertEqual(self.sql(ROWS), before)
        done = self.station.run("import", big)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assert_imported_once(40002)


if __name__ == "__main__":
    MELBRIN = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
