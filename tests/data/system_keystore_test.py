#!/usr/bin/python3
"""The operating system's secret store as the program reaches it (through keystore_tool, one
process per question).

NoStoreTest: without a session bus, with a bus address where nothing listens and with a bus
that accepts the connection and never answers, the store counts as none: nothing is kept,
nothing found, and no question hangs.

KeyringTest: a private session bus with gnome-keyring's secret service in it, in a private
HOME. A remembered passphrase is found again by another process, lies in the store under the
database's absolute path (read from outside with secret-tool), in no plain file, and is gone
once forgotten. Skipped, with the reason, where the bus or the keyring cannot be started.

No process here ever sees the user's own session bus.

Usage: system_keystore_test.py KEYSTORE_TOOL NoStoreTest|KeyringTest [unittest options]
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

TOOL = None
SKIP = 77
# Longer than the store's own waits, so that a hang shows as a failure here, not as a stuck run.
RUN_TIMEOUT = 60

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def clean_env(root, bus_address):
    """An environment of the test's own: HOME, settings and data under root, the given bus,
    and no desktop that would make the store pick another backend."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("XDG_", "KDE_", "GNOME_", "DBUS_")) and k != "DESKTOP_SESSION"}
    home = os.path.join(root, "home")
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"),
               XDG_RUNTIME_DIR=os.path.join(root, "run"),
               DBUS_SESSION_BUS_ADDRESS=bus_address, LC_ALL="C.UTF-8", LANG="C.UTF-8")
    for folder in (home, env["XDG_RUNTIME_DIR"]):
        os.makedirs(folder, mode=0o700, exist_ok=True)
    return env


def tool(env, *args, stdin=None, cwd=None):
    done = subprocess.run([TOOL, *args], input=(stdin or "").encode(), capture_output=True,
                          env=env, cwd=cwd, timeout=RUN_TIMEOUT)
    return done.returncode, done.stdout.decode().strip(), done.stderr.decode()


class SilentBus:
    """A socket that takes every connection and never says a word: a hung session bus."""

    def __init__(self, path):
        self.server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.server.bind(path)
        self.server.listen(8)
        self.clients = []
        self.thread = threading.Thread(target=self.accept, daemon=True)
        self.thread.start()

    def accept(self):
        try:
            while True:
                self.clients.append(self.server.accept()[0])
        except OSError:
            pass

    def close(self):
        for client in self.clients:
            client.close()
        self.server.close()


class NoStoreTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="melbrin-nostore-")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)

    def check_no_store(self, address, reason):
        env = clean_env(self.root, address)
        database = os.path.join(self.root, "cards.mdb")
        self.assertEqual(tool(env, "available")[:2], (0, "no"))
        code, out, err = tool(env, "remember", database, stdin="Kept nowhere 1")
        self.assertEqual(code, 0, err)
        self.assertTrue(out.startswith("refused: "), out)
        self.assertIn(reason, out)
        self.assertNotIn("Kept nowhere", out + err)
        self.assertEqual(tool(env, "find", database, stdin="Kept nowhere 1")[:2], (0, "none"))
        self.assertEqual(tool(env, "forget", database)[0], 0)

    def test_no_bus_at_all(self):
        # The store says at once that there is none, rather than waiting for an answer.
        for address in ("disabled:", "unix:path=" + os.path.join(self.root, "nothing-here")):
            with self.subTest(address=address):
                self.check_no_store(address, "there is no secret store on this computer")

    def test_bus_that_never_answers(self):
        path = os.path.join(self.root, "silent-bus")
        bus = SilentBus(path)
        self.addCleanup(bus.close)
        self.check_no_store("unix:path=" + path, "the secret store did not answer")


class KeyringTest(unittest.TestCase):
    secrets = []

    @classmethod
    def setUpClass(cls):
        for program in ("dbus-daemon", "gnome-keyring-daemon", "secret-tool", "gdbus"):
            if not shutil.which(program):
                raise unittest.SkipTest(f"{program} is not installed (scripts/install-deps)")
        cls.root = tempfile.mkdtemp(prefix="melbrin-keyring-")
        cls.processes = []
        try:
            cls.start_store()
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def start_store(cls):
        config = os.path.join(cls.root, "bus.conf")
        with open(config, "w") as f:
            f.write(BUS_CONFIG.format(socket=os.path.join(cls.root, "bus")))
        bus = subprocess.Popen(["dbus-daemon", "--config-file", config, "--nofork",
                                "--print-address=1"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, env=clean_env(cls.root, "disabled:"))
        cls.processes.append(bus)
        address = cls.first_line(bus, 10)
        if not address:
            raise unittest.SkipTest("a private session bus cannot be started here: "
                                    + bus.stderr.read1(4096).decode(errors="replace").strip())
        cls.env = clean_env(cls.root, address)
        keyring = subprocess.Popen(["gnome-keyring-daemon", "--foreground", "--unlock",
                                    "--components=secrets"], stdin=subprocess.PIPE,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                   env=cls.env)
        cls.processes.append(keyring)
        keyring.stdin.write(b"unlocks the test keyring")
        keyring.stdin.close()
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline and keyring.poll() is None:
            owner = subprocess.run(
                ["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
                 "--object-path", "/org/freedesktop/DBus", "--method",
                 "org.freedesktop.DBus.NameHasOwner", "org.freedesktop.secrets"],
                capture_output=True, text=True, env=cls.env, timeout=10)
            if "true" in owner.stdout:
                return
            time.sleep(0.2)
        keyring.kill()
        _, err = keyring.communicate(timeout=10)
        raise unittest.SkipTest("gnome-keyring's secret service did not start here: "
                                + err.decode(errors="replace").strip()[-300:])

    @staticmethod
    def first_line(process, timeout):
        result = []
        reader = threading.Thread(target=lambda: result.append(process.stdout.readline()),
                                  daemon=True)
        reader.start()
        reader.join(timeout)
        return result[0].decode().strip() if result else ""

    @classmethod
    def tearDownClass(cls):
        for process in reversed(cls.processes):
            process.kill()
            process.wait(timeout=10)
        shutil.rmtree(cls.root, ignore_errors=True)

    def run_tool(self, *args, stdin=None, cwd=None):
        code, out, err = tool(self.env, *args, stdin=stdin, cwd=cwd)
        self.assertEqual(code, 0, err)
        for secret in self.secrets:
            self.assertNotIn(secret, out + err)
        return out

    def lookup(self, name):
        """What the store holds under name, asked from outside the program."""
        done = subprocess.run(["secret-tool", "lookup", "user", name, "server", "Melbrin"],
                              capture_output=True, env=self.env, timeout=RUN_TIMEOUT)
        return done.stdout.decode() if done.returncode == 0 else None

    def plain_files_holding(self, secret):
        needle = secret.encode()
        found = []
        for folder, _, files in os.walk(self.root):
            for name in files:
                path = os.path.join(folder, name)
                if os.path.isfile(path) and not os.path.islink(path):
                    with open(path, "rb") as f:
                        if needle in f.read():
                            found.append(path)
        return found

    def test_remember_find_forget(self):
        self.assertEqual(self.run_tool("available"), "yes")
        office = os.path.join(self.root, "office")
        os.makedirs(office, exist_ok=True)
        database = os.path.join(office, "cards.mdb")
        other = os.path.join(office, "other.mdb")
        first, second = "Kept in the store 1", "Zweites Paßwort – ünï 2"
        self.secrets = [first, second]

        # Named relative and uncleaned, kept under the absolute path.
        self.assertEqual(self.run_tool("remember", "../office/./cards.mdb", stdin=first,
                                       cwd=office), "kept")
        self.assertEqual(self.lookup(database), first)
        self.assertIsNone(self.lookup("../office/./cards.mdb"))
        # Each question below comes from a new process: the passphrase is in the store.
        self.assertEqual(self.run_tool("find", database, stdin=first), "same")
        self.assertEqual(self.run_tool("find", database, stdin=second), "different")
        self.assertEqual(self.run_tool("find", other, stdin=first), "none")

        # Remembering again replaces the entry.
        self.assertEqual(self.run_tool("remember", database, stdin=second), "kept")
        self.assertEqual(self.lookup(database), second)
        self.assertEqual(self.run_tool("find", database, stdin=second), "same")
        for secret in self.secrets:
            self.assertEqual(self.plain_files_holding(secret), [])

        self.run_tool("forget", database)
        self.assertIsNone(self.lookup(database))
        self.assertEqual(self.run_tool("find", database, stdin=second), "none")
        self.run_tool("forget", database)  # nothing left to forget is no failure


def main():
    global TOOL
    TOOL = sys.argv[1]
    argv = [sys.argv[0]] + sys.argv[2:]
    program = unittest.main(argv=argv, exit=False, verbosity=2)
    result = program.result
    if not result.wasSuccessful():
        return 1
    if result.skipped and result.testsRun <= len(result.skipped):
        for _, reason in result.skipped:
            print("skipped:", reason)
        return SKIP
    return 0


if __name__ == "__main__":
    sys.exit(main())
