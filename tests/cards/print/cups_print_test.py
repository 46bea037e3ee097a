#!/usr/bin/python3
"""Prints a card sheet through a real print server onto paper that can be read back.

Starts a print server (cupsd) of its own, with its configuration, spool, socket and logs in
a temporary folder, adds a queue on the virtual PDF printer (cups-pdf) as the default
printer, runs CLIENT (CupsPrintClient.cpp: Print in the preview, OK in the print dialog)
against it, waits for the PDF the printer makes and reads its pages and text back. The
server is stopped at the end, also on failure.

The PDF printer reads its own settings from a fixed folder (/etc/cups), one file per device
name. To point its output at the temporary folder without touching the system's files, the
test runs in a mount namespace of its own in which a private copy of that folder is mounted
over it. Where no mount namespace can be made, it adds a settings file of a device name of
its own to the folder and removes it at the end; nothing there is changed.

Usage: cups_print_test.py CLIENT
Exits 77 (skipped) with the reason when the print server cannot run here.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
QUEUE = "melbrinpdf"
SHEETS_QUEUE = "melbrinsheets"  # the same printer, offering only its listed paper sizes
MEMBER = "Cupsworth"
CUPSD = "/usr/sbin/cupsd"
BACKEND = "/usr/lib/cups/backend/cups-pdf"
PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
CONFIG_FOLDER = "/etc/cups"
INSIDE = "MELBRIN_CUPS_NAMESPACE"


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def fail(reason):
    print("FAILED: " + reason)
    sys.exit(1)


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def configure(root, device, device_folder):
    """The server's and the PDF printer's settings, all folders inside root; the printer's
    for the device name in device_folder (the private copy of the folder when None)."""
    etc = os.path.join(root, "etc")
    for sub in ("spool/tmp", "cache", "state", "log", "out", "pdfspool", "home"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    # What the system keeps there stays visible (the server reads a few type tables).
    shutil.copytree(CONFIG_FOLDER, etc, symlinks=True, ignore=shutil.ignore_patterns("ssl"))
    for name in os.listdir(etc):
        if name.startswith("printers.conf") or name.startswith("classes.conf"):
            os.remove(os.path.join(etc, name))
    write(os.path.join(etc, "cupsd.conf"), f"""Listen {root}/cups.sock
LogLevel info
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
""")
    write(os.path.join(etc, "cups-files.conf"), f"""ServerRoot {etc}
RequestRoot {root}/spool
TempDir {root}/spool/tmp
CacheDir {root}/cache
StateDir {root}/state
ErrorLog {root}/log/error_log
AccessLog {root}/log/access_log
PageLog {root}/log/page_log
SystemGroup root
FileDevice No
""")
    # The PDF printer of device cups-pdf:/NAME reads cups-pdf-NAME.conf.
    write(os.path.join(device_folder or etc, f"cups-pdf-{device}.conf"), f"""Out {root}/out
AnonDirName {root}/out
Spool {root}/pdfspool
Grp root
Log {root}/log
""")
    return etc


def sheets_only_ppd(root):
    """A copy of the printer's description without paper of a size of one's own."""
    with open(PPD, encoding="latin-1") as f:
        lines = f.read().splitlines(keepends=True)
    kept, skipping = [], False
    for line in lines:
        if line.startswith("*CustomPageSize"):
            skipping = True
        if skipping:
            skipping = not line.startswith("*End")
            continue
        if not line.startswith(("*ParamCustomPageSize", "*MaxMedia", "*VariablePaperSize",
                                "*NonUIOrderDependency: 100 AnySetup *CustomPageSize")):
            kept.append(line)
    path = os.path.join(root, "sheets.ppd")
    with open(path, "w", encoding="latin-1") as f:
        f.writelines(kept)
    return path


def run(args, env, timeout=60):
    return subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout)


def log_tail(root, lines=30):
    try:
        with open(os.path.join(root, "log", "error_log"), encoding="utf-8",
                  errors="replace") as f:
            return "".join(f.readlines()[-lines:])
    except OSError:
        return "(no log)"


def start_server(root, etc, env):
    server = subprocess.Popen([CUPSD, "-f", "-c", os.path.join(etc, "cupsd.conf"),
                               "-s", os.path.join(etc, "cups-files.conf")],
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    socket = os.path.join(root, "cups.sock")
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if server.poll() is not None:
            out = server.stdout.read().decode(errors="replace")
            skip(f"cupsd ended at start ({server.returncode}): {out}\n{log_tail(root)}")
        if os.path.exists(socket) and run(["lpstat", "-r"], env).returncode == 0:
            return server
        time.sleep(0.1)
    stop_server(server)
    skip("cupsd did not answer on its socket within 20 s:\n" + log_tail(root))


def stop_server(server):
    if server.poll() is None:
        server.send_signal(signal.SIGTERM)
        try:
            server.wait(timeout=20)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


def wait_for_pdf(root, env):
    """The finished PDF: the queue has no job left and the file is there."""
    out = os.path.join(root, "out")
    deadline = time.monotonic() + 120
    while time.monotonic() < deadline:
        pending = run(["lpstat", "-o", QUEUE], env).stdout.strip()
        pdfs = [f for f in os.listdir(out) if f.endswith(".pdf")]
        if not pending and pdfs:
            return [os.path.join(out, f) for f in pdfs]
        time.sleep(0.25)
    fail("no PDF came out of the queue within 120 s:\n"
         + run(["lpstat", "-W", "all", "-o"], env).stdout + log_tail(root))


def grey_pixels(pdf, root, name):
    """Width, height and grey values (0 black .. 255 white) of the first page at 40 dpi."""
    base = os.path.join(root, name)
    subprocess.run(["pdftoppm", "-r", "40", "-gray", "-singlefile", pdf, base], check=True,
                   capture_output=True)
    with open(base + ".pgm", "rb") as f:
        data = f.read()
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        fail(f"unexpected picture from pdftoppm: {data[:20]!r}")
    width, height = int(header.group(1)), int(header.group(2))
    pixels = data[header.end():header.end() + width * height]
    if len(pixels) != width * height:
        fail("pdftoppm's picture is cut short")
    return width, height, pixels


def check(client, root, private):
    device = "melbrin" if private else f"melbrin-test-{os.getpid()}"
    etc = configure(root, device, None if private else CONFIG_FOLDER)
    if private:
        subprocess.run(["mount", "--bind", etc, CONFIG_FOLDER], check=True)
    env = dict(os.environ)
    env["CUPS_SERVER"] = os.path.join(root, "cups.sock")
    server = start_server(root, etc, env)
    try:
        added = run(["lpadmin", "-p", QUEUE, "-v", f"cups-pdf:/{device}", "-P", PPD, "-E",
                     "-o", "pdftops-renderer-default=gs"], env)
        if added.returncode != 0:
            fail("lpadmin could not add the queue: " + added.stderr)
        added = run(["lpadmin", "-p", SHEETS_QUEUE, "-v", f"cups-pdf:/{device}", "-P",
                     sheets_only_ppd(root), "-E"], env)
        if added.returncode != 0:
            fail("lpadmin could not add the sheets queue: " + added.stderr)
        made_default = run(["lpadmin", "-d", QUEUE], env)
        if made_default.returncode != 0:
            fail("lpadmin could not make the queue the default: " + made_default.stderr)

        client_env = dict(env)
        client_env.update({"QT_QPA_PLATFORM": "offscreen", "HOME": os.path.join(root, "home"),
                           "XDG_CONFIG_HOME": os.path.join(root, "home", "config"),
                           "MELBRIN_EXPECTED_QUEUE": QUEUE, "MELBRIN_SHEETS_QUEUE": SHEETS_QUEUE,
                           "MELBRIN_EXPECTED_PDF": os.path.join(root, "expected.pdf")})
        printed = run([client], client_env, timeout=120)
        sys.stdout.write(printed.stdout + printed.stderr)
        if printed.returncode != 0:
            fail("the print client failed")

        pdfs = wait_for_pdf(root, env)
        refused = run(["lpstat", "-W", "all", "-o", SHEETS_QUEUE], env).stdout.strip()
        if refused:
            fail("the refused card pages reached the printer: " + refused)
        if len(pdfs) != 1:
            fail(f"one print job makes one PDF, not {pdfs}")
        info = run(["pdfinfo", pdfs[0]], env).stdout
        pages = [line.split()[-1] for line in info.splitlines() if line.startswith("Pages:")]
        if pages != ["1"]:
            fail("the card sheet of one member is one page:\n" + info)
        # The printer's PDF carries its text as drawings (its fonts lose their character
        # codes on the way through PostScript), so the paper is compared by its pixels with
        # the PDF the program writes itself, whose text reads back.
        expected = os.path.join(root, "expected.pdf")
        text = " ".join(run(["pdftotext", expected, "-"], env).stdout.split())
        for word in (MEMBER, "S-" + MEMBER, "SAMPLE", "Staff No"):
            if word not in text:
                fail(f"{word!r} is not on the page the program drew: {text!r}")
        paper = grey_pixels(pdfs[0], root, "paper")
        drawn = grey_pixels(expected, root, "drawn")
        if paper[:2] != drawn[:2]:
            fail(f"the paper is {paper[:2]} pixels, the page drawn {drawn[:2]}")
        ink = sum(1 for v in paper[2] if v < 128) / len(paper[2])
        differing = sum(1 for a, b in zip(paper[2], drawn[2]) if abs(a - b) > 64)
        share = differing / len(paper[2])
        print(f"printed through {QUEUE}: {os.path.basename(pdfs[0])}, 1 page, "
              f"{ink:.2%} ink, {share:.2%} of the pixels differ from the page drawn")
        if ink < 0.003:
            fail("the paper is blank")
        if share > 0.005:
            fail("the paper is not the page the program drew")
    finally:
        stop_server(server)
        if private:
            subprocess.run(["umount", CONFIG_FOLDER], check=False)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    client = os.path.abspath(sys.argv[1])
    if os.environ.get(INSIDE) != "1":
        for program, package in ((CUPSD, "cups"), (BACKEND, "printer-driver-cups-pdf")):
            if not os.path.exists(program):
                skip(f"{program} is missing: install {package} (scripts/install-deps)")
        if os.geteuid() != 0:
            skip("the PDF printer runs only under a print server started by root")
        if subprocess.run(["unshare", "-m", "true"], capture_output=True).returncode == 0:
            env = dict(os.environ, **{INSIDE: "1"})
            sys.exit(subprocess.run(["unshare", "-m", "--propagation", "private",
                                     sys.executable, os.path.abspath(__file__), client],
                                    env=env).returncode)
        print("no mount namespace here: a settings file of the test's own goes into "
              + CONFIG_FOLDER + " while it runs")
    private = os.environ.get(INSIDE) == "1"
    with tempfile.TemporaryDirectory(prefix="melbrin-cups-") as root:
        # cups-pdf and the filters run as other users and must reach the folders.
        os.chmod(root, 0o755)
        try:
            check(client, root, private)
        finally:
            own = os.path.join(CONFIG_FOLDER, f"cups-pdf-melbrin-test-{os.getpid()}.conf")
            if not private and os.path.exists(own):
                os.remove(own)


if __name__ == "__main__":
    main()
