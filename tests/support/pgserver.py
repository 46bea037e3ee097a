#!/usr/bin/env python3
"""A private PostgreSQL cluster for the tests.

    pgserver.py start FOLDER   initdb into a temporary folder and start it; FOLDER gets
                               server.json (port, socket, data folder), the CA certificate
                               and a pgpass file for the superuser
    pgserver.py stop FOLDER    stop it and remove its data

The cluster listens on 127.0.0.1 at a free port, with TLS (a certificate for CN=localhost
signed by a CA made here) and on a Unix socket. The superuser is "melbrin" with the password
"melbrin-test"; local socket connections are trusted, TCP ones need the password. PostgreSQL
refuses to run as root, so as root the cluster runs as the "postgres" account.

Python tests import this module: Server.shared() gives the run's server (the one CTest started,
named by MELBRIN_PGTEST, or one started for this process and stopped at its exit).
"""

import atexit
import glob
import json
import os
import pwd
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SUPERUSER = "melbrin"
PASSWORD = "melbrin-test"


def _bin_dir():
    found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
    if not found:
        raise RuntimeError("PostgreSQL is not installed (no initdb under /usr/lib/postgresql)")
    preferred = [p for p in found if "/15/" in p]
    return os.path.dirname((preferred or found)[-1])


def _run_user():
    if os.geteuid() != 0:
        return None
    for name in ("postgres", "nobody"):
        try:
            return pwd.getpwnam(name)
        except KeyError:
            continue
    raise RuntimeError("running as root and no unprivileged account to run PostgreSQL")


def _as_server_user(cmd):
    user = _run_user()
    return ["runuser", "-u", user.pw_name, "--"] + cmd if user else cmd


def _give(path):
    user = _run_user()
    if user:
        os.chown(path, user.pw_uid, user.pw_gid)


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, capture_output=True)


def _make_certificates(folder, data):
    ca_key = os.path.join(folder, "ca.key")
    ca = os.path.join(folder, "ca.crt")
    _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-subj",
             "/CN=Melbrin test CA", "-keyout", ca_key, "-out", ca)
    key = os.path.join(data, "server.key")
    csr = os.path.join(folder, "server.csr")
    crt = os.path.join(data, "server.crt")
    _openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout", key,
             "-out", csr)
    ext = os.path.join(folder, "server.ext")
    with open(ext, "w") as f:
        f.write("subjectAltName=DNS:localhost\n")
    _openssl("x509", "-req", "-in", csr, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial",
             "-days", "30", "-extfile", ext, "-out", crt)
    os.chmod(key, 0o600)
    _give(key)
    _give(crt)
    return ca


def start(folder):
    folder = os.path.abspath(folder)
    os.makedirs(folder, exist_ok=True)
    info_path = os.path.join(folder, "server.json")
    if os.path.exists(info_path):
        stop(folder)
    bindir = _bin_dir()
    data = tempfile.mkdtemp(prefix="melbrin-pg-")
    _give(data)
    pwfile = os.path.join(data, "pw")
    with open(pwfile, "w") as f:
        f.write(PASSWORD + "\n")
    _give(pwfile)
    cluster = os.path.join(data, "cluster")
    subprocess.run(_as_server_user([os.path.join(bindir, "initdb"), "-D", cluster, "-U",
                                    SUPERUSER, "--pwfile", pwfile, "--auth-local=trust",
                                    "--auth-host=scram-sha-256", "-E", "UTF8",
                                    "--locale=C.UTF-8", "--no-sync"]),
                   check=True, capture_output=True)
    os.remove(pwfile)
    ca = _make_certificates(folder, cluster)
    port = _free_port()
    with open(os.path.join(cluster, "postgresql.conf"), "a") as f:
        f.write("\n".join([
            "listen_addresses = '127.0.0.1'",
            "port = %d" % port,
            "unix_socket_directories = '%s'" % data,
            "ssl = on",
            "ssl_cert_file = 'server.crt'",
            "ssl_key_file = 'server.key'",
            # Without fsync a stopped server still keeps what was committed (the tests stop
            # it as a crash would), though a crash of the machine would not.
            "fsync = off",
            "full_page_writes = off",
            "max_connections = 60",
            ""]))
    log = os.path.join(data, "server.log")
    subprocess.run(_as_server_user([os.path.join(bindir, "pg_ctl"), "-D", cluster, "-l", log,
                                    "-w", "-t", "60", "start"]),
                   check=True, capture_output=True)
    pgpass = os.path.join(folder, "pgpass")
    with open(pgpass, "w") as f:
        for host in ("127.0.0.1", "localhost", data):
            f.write("%s:%d:*:%s:%s\n" % (host, port, SUPERUSER, PASSWORD))
    os.chmod(pgpass, 0o600)
    info = {"port": port, "data": data, "cluster": cluster, "socket": data, "bin": bindir,
            "ca": ca, "pgpass": pgpass, "log": log}
    with open(info_path, "w") as f:
        json.dump(info, f)
    return info


def stop(folder):
    info_path = os.path.join(os.path.abspath(folder), "server.json")
    try:
        with open(info_path) as f:
            info = json.load(f)
    except FileNotFoundError:
        return
    subprocess.run(_as_server_user([os.path.join(info["bin"], "pg_ctl"), "-D", info["cluster"],
                                    "-m", "immediate", "-w", "stop"]),
                   capture_output=True)
    shutil.rmtree(info["data"], ignore_errors=True)
    os.remove(info_path)


class Server:
    """The run's server, as the tests use it."""

    _shared = None

    def __init__(self, folder, own):
        self.folder = folder
        self.own = own
        with open(os.path.join(folder, "server.json")) as f:
            self.info = json.load(f)
        self.port = self.info["port"]
        self.ca = self.info["ca"]
        self.pgpass = self.info["pgpass"]
        self._count = 0

    @classmethod
    def shared(cls):
        """The server, or None with the reason in Server.skip_reason."""
        if cls._shared is None:
            folder = os.environ.get("MELBRIN_PGTEST")
            own = not folder
            try:
                if own:
                    folder = tempfile.mkdtemp(prefix="melbrin-pgtest-")
                    start(folder)
                    atexit.register(lambda: (stop(folder), shutil.rmtree(folder, True)))
                elif not os.path.exists(os.path.join(folder, "server.json")):
                    raise RuntimeError("the test run's server did not start")
                cls._shared = Server(folder, own)
            except (RuntimeError, OSError, subprocess.CalledProcessError) as e:
                cls.skip_reason = "no PostgreSQL server: %s" % e
                return None
        return cls._shared

    skip_reason = ""

    def env(self):
        """Variables that give libpq the superuser's password."""
        return {"PGPASSFILE": self.pgpass}

    def address(self, database, user=SUPERUSER, **options):
        query = "&".join("%s=%s" % kv for kv in options.items())
        return "postgresql://%s@127.0.0.1:%d/%s%s" % (user, self.port, database,
                                                      "?" + query if query else "")

    def psql(self, database, sql):
        """Runs SQL as the superuser; returns the rows as tab-separated text."""
        out = subprocess.run([os.path.join(self.info["bin"], "psql"), "-X", "-q", "-A", "-t",
                              "-F", "\t", "-v", "ON_ERROR_STOP=1", "-h", self.info["socket"],
                              "-p", str(self.port), "-U", SUPERUSER, "-d", database, "-c", sql],
                             capture_output=True, text=True)
        if out.returncode != 0:
            raise RuntimeError("psql: %s" % out.stderr.strip())
        return out.stdout

    def create_database(self, prefix="t"):
        self._count += 1
        name = "%s_%d_%d_%d" % (prefix, os.getpid(), self._count, int(time.time() * 1000) % 100000)
        self.psql("postgres", "create database %s owner %s" % (name, SUPERUSER))
        return name

    def stop_server(self):
        subprocess.run(_as_server_user([os.path.join(self.info["bin"], "pg_ctl"), "-D",
                                        self.info["cluster"], "-m", "immediate", "-w", "stop"]),
                       check=True, capture_output=True)

    def start_server(self):
        subprocess.run(_as_server_user([os.path.join(self.info["bin"], "pg_ctl"), "-D",
                                        self.info["cluster"], "-l", self.info["log"], "-w",
                                        "-t", "60", "start"]),
                       check=True, capture_output=True)


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop"):
        sys.stderr.write(__doc__)
        return 2
    try:
        if argv[1] == "start":
            start(argv[2])
        else:
            stop(argv[2])
    except (RuntimeError, OSError, subprocess.CalledProcessError) as e:
        detail = getattr(e, "stderr", b"") or b""
        sys.stderr.write("pgserver: %s %s\n" % (e, detail.decode(errors="replace")))
        # A machine without PostgreSQL still runs the other tests: the server tests skip.
        return 0
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
