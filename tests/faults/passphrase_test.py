#!/usr/bin/python3
"""A database file with a password of its own, through the command line: rekey from the
default key to an own passphrase, to another and back; opening with a passphrase file,
standard input, the terminal (a pseudo-terminal here) or nothing; passphrase files and input
that cannot be used; a rekey on a read-only or locked file; backups and copies and the key of
each. Every refusal is exit 1 with one line on standard error, and leaves the file as it was
and opening with the key it had. No passphrase ever shows in a process's arguments (the
program's or its workbook reader's), its output or the settings files.

Usage: passphrase_test.py MELBRIN MAKESTARTERDB [unittest options]
"""
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import termios
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "crash"))
sys.path.insert(0, HERE)
import dbcheck  # noqa: E402
from fault_test import Locker  # noqa: E402

MELBRIN = MAKESTARTERDB = None
OWN = "Own pass 7ü"
ANOTHER = "second, longer passphrase: with spaces; and 'quotes'"
SECRETS = (OWN, ANOTHER)
DEFAULT = "pemx.qz"
OWN_SAYS = "protected by this database's own password"
DEFAULT_SAYS = "protected by the program's default password"


def sql_key(passphrase):
    return "PRAGMA key='%s'; PRAGMA cipher_page_size=4096;" % passphrase.replace("'", "''")


def opens(db, passphrase):
    """Whether the sqlcipher tool reads the file with passphrase (and the file is sound)."""
    try:
        return dbcheck.query(db, "PRAGMA integrity_check;", key=sql_key(passphrase)) == [["ok"]]
    except dbcheck.CheckFailed:
        return False


class PassphraseTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="melbrin-key-")
        self.config = os.path.join(self.dir, "config")
        os.makedirs(self.config)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=self.dir,
                        XDG_CONFIG_HOME=self.config, DBUS_SESSION_BUS_ADDRESS="disabled:")
        self.db = self.path("cardinfo.mdb")
        subprocess.run([MAKESTARTERDB, self.db], check=True, capture_output=True)
        dbcheck.query(self.db, "insert into stafftbl(gid, name) values (0, 'Ann Keyed'),"
                               " (0, 'Bob Keyed'), (0, '陳大文');")
        self.own = self.secret_file("own.txt", OWN + "\n")
        self.another = self.secret_file("another.txt", ANOTHER)

    def tearDown(self):
        # The settings files the runs wrote hold no passphrase.
        for folder, _, files in os.walk(self.config):
            for name in files:
                with open(os.path.join(folder, name), "rb") as f:
                    text = f.read().decode(errors="replace")
                for secret in SECRETS:
                    self.assertNotIn(secret, text, f"a passphrase in {name}")
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def secret_file(self, name, text):
        path = self.path(name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def run_melbrin(self, args, db=None, stdin=None, preexec_fn=None, timeout=60):
        """stdin: text to give, a file descriptor, or None for /dev/null."""
        argv = [MELBRIN, *args, "--database", db or self.db]
        given = {"stdin": subprocess.DEVNULL} if stdin is None else \
            {"stdin": stdin} if isinstance(stdin, int) else {"input": stdin.encode()}
        done = subprocess.run(argv, capture_output=True, timeout=timeout, env=self.env,
                              preexec_fn=preexec_fn, **given)
        self.assert_no_secret(done.stdout + done.stderr, "the output")
        return done

    def assert_no_secret(self, data, where):
        text = data.decode(errors="replace") if isinstance(data, bytes) else data
        for secret in SECRETS:
            self.assertNotIn(secret, text, f"a passphrase in {where}")

    def assert_done(self, done, says=None):
        err = done.stderr.decode()
        self.assertEqual(done.returncode, 0, err)
        if says:
            self.assertIn(says, err)

    def assert_refused(self, done, names):
        err = done.stderr.decode(errors="replace")
        self.assertEqual(done.returncode, 1, f"exit {done.returncode}: {err!r}")
        lines = err.splitlines()
        self.assertEqual(len(lines), 1, f"stderr is not one line: {err!r}")
        self.assertTrue(lines[0].startswith("melbrin: "), lines[0])
        self.assertRegex(lines[0], names)
        self.assertNotIn("was changed", err)
        self.assertNotIn("Database saved.", err)

    def members(self, *key_args, stdin=None, db=None):
        done = self.run_melbrin(["members", *key_args], db=db, stdin=stdin)
        self.assert_done(done)
        names = sorted(line.split("\t")[2] for line in done.stdout.decode().splitlines()[1:])
        self.assertEqual(names, ["Ann Keyed", "Bob Keyed", "陳大文"])

    def assert_unchanged(self, digest, passphrase, db=None):
        db = db or self.db
        self.assertEqual(dbcheck.file_digest(db), digest, "the file changed")
        self.assertTrue(opens(db, passphrase), "the file does not open with its key")

    def rekey_to_own(self):
        self.assert_done(self.run_melbrin(["rekey", "--new-passphrase-file", self.own]))

    # ---------------------------------------------------------------------------------------

    def test_rekey_round_trip(self):
        steps = [
            # (current key options, stdin, new key options, stdin, the key after, the message)
            ([], None, ["--new-passphrase-file", self.own], None, OWN, OWN_SAYS),
            (["--passphrase-file", self.own], None, ["--new-passphrase-stdin"], ANOTHER + "\n",
             ANOTHER, OWN_SAYS),
            (["--passphrase-stdin"], ANOTHER, ["--default"], None, DEFAULT, DEFAULT_SAYS),
        ]
        wrong = self.secret_file("wrong.txt", "not it")
        for current, current_in, new, new_in, after, says in steps:
            with self.subTest(new[0]):
                done = self.run_melbrin(["rekey", *current, *new], stdin=current_in or new_in)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stderr.decode(),
                                 f"melbrin: The password was changed: the database is now {says}.\n")
                digest = dbcheck.file_digest(self.db)
                if after == DEFAULT:
                    self.assertTrue(opens(self.db, DEFAULT))
                    self.members()
                    continue
                self.assertTrue(opens(self.db, after))
                self.assertFalse(opens(self.db, DEFAULT))
                self.members("--passphrase-stdin", stdin=after)
                for args, stdin in ((["--passphrase-file", wrong], None),
                                    (["--passphrase-stdin"], DEFAULT)):
                    self.assert_refused(self.run_melbrin(["members", *args], stdin=stdin),
                                        r"Cannot open '.*cardinfo\.mdb': the password does not "
                                        r"open this database")
                self.assert_refused(self.run_melbrin(["members"]),
                                    r"Cannot open .*not a database.*--passphrase-file FILE or "
                                    r"--passphrase-stdin")
                # The wrong key of a rekey changes nothing either.
                self.assert_refused(self.run_melbrin(["rekey", "--passphrase-file", wrong,
                                                      "--default"]), r"does not open")
                self.assert_unchanged(digest, after)

    def test_passphrases_that_cannot_be_used(self):
        self.rekey_to_own()
        digest = dbcheck.file_digest(self.db)
        empty = self.secret_file("empty.txt", "\n")
        large = self.secret_file("large.txt", "x" * 1025)
        unreadable = self.secret_file("unreadable.txt", OWN)
        os.chmod(unreadable, 0)
        folder = self.path("a folder")
        os.mkdir(folder)
        cases = [
            ("empty file", empty, None, r"gives an empty password"),
            ("missing file", self.path("missing.txt"), None, r"does not exist"),
            ("folder", folder, None, r"is a folder"),
            ("unreadable file", unreadable, None, r"cannot be read"),
            ("larger than 1 KB", large, None, r"larger than 1024 bytes"),
            ("empty input", None, "", r"Standard input gives an empty password"),
            ("input larger than 1 KB", None, "y" * 2000, r"Standard input is larger than 1024"),
        ]
        for what, file, stdin, says in cases:
            with self.subTest(what):
                if what == "unreadable file" and os.geteuid() == 0:
                    self.skipTest("root reads any file")
                current = ["--passphrase-file", file] if file else ["--passphrase-stdin"]
                new = ["--new-passphrase-file", file] if file else ["--new-passphrase-stdin"]
                self.assert_refused(self.run_melbrin(["members", *current], stdin=stdin), says)
                self.assert_refused(self.run_melbrin(["rekey", "--passphrase-file", self.own,
                                                      *new], stdin=stdin), says)
                self.assert_unchanged(digest, OWN)

    def test_rekey_of_a_read_only_file(self):
        digest = dbcheck.file_digest(self.db)
        os.chmod(self.dir, 0o755)
        os.chmod(self.own, 0o644)
        if os.geteuid() == 0:
            # Root writes any file: the program runs as nobody on root's file, mode 0644.
            import pwd
            nobody = pwd.getpwnam("nobody")

            def as_nobody():
                os.setgroups([])
                os.setgid(nobody.pw_gid)
                os.setuid(nobody.pw_uid)
            preexec = as_nobody
            os.chmod(self.db, 0o644)
            os.chmod(self.config, 0o777)
        else:
            preexec = None
            os.chmod(self.db, 0o444)
        done = self.run_melbrin(["rekey", "--new-passphrase-file", self.own], preexec_fn=preexec)
        self.assert_refused(done, r"was not changed: the file is read-only")
        self.assert_unchanged(digest, DEFAULT)

    def test_rekey_of_a_locked_database(self):
        digest = dbcheck.file_digest(self.db)
        for begin in ("BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"):
            with self.subTest(begin):
                with Locker(self.db, begin):
                    done = self.run_melbrin(["rekey", "--new-passphrase-file", self.own])
                self.assert_refused(done, r"locked|busy")
                self.assert_unchanged(digest, DEFAULT)
        self.assertFalse(os.path.exists(self.db + "-journal"))

    def test_off_a_terminal_nothing_is_asked(self):
        self.rekey_to_own()
        for what in ("/dev/null", "an open pipe"):
            with self.subTest(what):
                began = time.monotonic()
                if what == "/dev/null":
                    done = self.run_melbrin(["members"])
                else:
                    # A pipe that never ends: a program that read it would wait forever.
                    reader, writer = os.pipe()
                    try:
                        done = self.run_melbrin(["members"], stdin=reader, timeout=20)
                    finally:
                        os.close(reader)
                        os.close(writer)
                self.assertLess(time.monotonic() - began, 10)
                self.assert_refused(done, r"--passphrase-file FILE or --passphrase-stdin")
                self.assertNotIn("Password for", done.stderr.decode())

    def test_on_a_terminal_the_passphrase_is_typed_without_echo(self):
        self.rekey_to_own()
        for typed, code in ((["wrong one", OWN], 0), (["", "wrong", "still wrong"], 1)):
            with self.subTest(typed=len(typed)):
                master, slave = pty.openpty()
                proc = subprocess.Popen([MELBRIN, "members", "--database", self.db],
                                        stdin=slave, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=self.env)
                echoed = b""
                try:
                    err = b""
                    for answer in typed:
                        while err.count(b"Password for") <= typed.index(answer):
                            ready, _, _ = select.select([proc.stderr], [], [], 30)
                            self.assertTrue(ready, f"no question: {err!r}")
                            err += os.read(proc.stderr.fileno(), 4096)
                        # Typed once the echo is off, as a person would after the question.
                        deadline = time.monotonic() + 10
                        while termios.tcgetattr(slave)[3] & termios.ECHO:
                            self.assertLess(time.monotonic(), deadline, "the echo stays on")
                            time.sleep(0.01)
                        os.write(master, answer.encode() + b"\n")
                    out, rest = proc.communicate(timeout=60)
                    err += rest
                    while select.select([master], [], [], 0)[0]:
                        echoed += os.read(master, 4096)
                finally:
                    if proc.poll() is None:
                        proc.kill()
                        proc.wait()
                    os.close(master)
                    os.close(slave)
                self.assertEqual(proc.returncode, code, err)
                self.assertEqual(err.count(b"Password for"), len(typed))
                self.assert_no_secret(echoed + out + err, "the terminal")
                self.assertNotIn(b"wrong", echoed)
                if code == 0:
                    self.assertIn("Ann Keyed", out.decode())
                    self.assertIn(b"The password does not open this database.", err)
                else:
                    self.assertIn(b"The password is empty.", err)
                    self.assertIn(b"melbrin: Cannot open", err)

    def test_backups_and_copies_keep_the_key_or_take_the_one_given(self):
        self.rekey_to_own()
        digest = dbcheck.file_digest(self.db)
        key = ["--passphrase-file", self.own]
        cases = [
            (["backup", "b1.mdb"], None, OWN, OWN_SAYS),
            (["backup", "b2.mdb", "--new-passphrase-file", self.another], None, ANOTHER, None),
            (["backup", "b3.mdb", "--new-passphrase-stdin"], ANOTHER, ANOTHER, None),
            (["backup", "b4.mdb", "--default"], None, DEFAULT, DEFAULT_SAYS),
            (["copy", self.db, "c1.mdb"], None, OWN, None),
            (["copy", self.db, "c2.mdb", "--default"], None, DEFAULT, None),
        ]
        for args, stdin, copy_key, says in cases:
            with self.subTest(" ".join(args[:1] + args[2:])):
                target = self.path(args[1] if args[0] == "backup" else args[2])
                args = [a if a != os.path.basename(target) else target for a in args]
                if stdin is not None:
                    key_args = key  # the copy's passphrase comes on standard input
                else:
                    key_args = ["--passphrase-stdin"]
                    stdin = OWN
                done = self.run_melbrin([*args, *key_args], stdin=stdin)
                self.assert_done(done)
                if says:
                    self.assertEqual(done.stderr.decode(),
                                     f"melbrin: Database saved. The copy is {says}.\n")
                self.assertTrue(opens(target, copy_key))
                for other in (DEFAULT, OWN, ANOTHER):
                    if other != copy_key:
                        self.assertFalse(opens(target, other), other)
                self.assertEqual(dbcheck.query(target, "select count(*) from stafftbl;",
                                               key=sql_key(copy_key)), [["3"]])
                self.assert_unchanged(digest, OWN)

    def test_no_passphrase_in_the_arguments_of_a_running_import(self):
        self.rekey_to_own()
        import xlwt
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("RECORDS")
        for c, heading in enumerate(["NAME", "POST"]):
            sheet.write(0, c, heading)
        for r in range(1, 6001):
            sheet.write(r, 0, f"Imported {r:05d}")
            sheet.write(r, 1, "Clerk " + "x" * (r % 40))
        workbook = self.path("staff.xls")
        book.save(workbook)
        seen = set()
        for _ in range(3):
            out = tempfile.TemporaryFile(dir=self.dir)
            err = tempfile.TemporaryFile(dir=self.dir)
            proc = subprocess.Popen([MELBRIN, "import", workbook, "--database", self.db,
                                     "--passphrase-stdin", "--yes"], stdin=subprocess.PIPE,
                                    stdout=out, stderr=err, env=self.env)
            proc.stdin.write(OWN.encode())
            proc.stdin.close()
            while proc.poll() is None:
                for pid in filter(str.isdigit, os.listdir("/proc")):
                    try:
                        with open(f"/proc/{pid}/cmdline", "rb") as f:
                            argv = f.read().decode(errors="replace")
                    except OSError:
                        continue
                    self.assert_no_secret(argv, f"the arguments of process {pid}")
                    for name in ("melbrin", "melbrin-xlsreader"):
                        if os.path.basename(argv.split("\0")[0]) == name:
                            seen.add(name)
                time.sleep(0.001)
            proc.wait()
            said = b""
            for f in (out, err):
                f.seek(0)
                said += f.read()
                f.close()
            self.assert_no_secret(said, "the output of the import")
            self.assertEqual(proc.returncode, 0, said)
            if len(seen) == 2:
                break
            dbcheck.query(self.db, "delete from stafftbl where name like 'Imported%';",
                          key=sql_key(OWN))
        self.assertEqual(seen, {"melbrin", "melbrin-xlsreader"})


if __name__ == "__main__":
    MELBRIN, MAKESTARTERDB = (os.path.abspath(p) for p in sys.argv[1:3])
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)
