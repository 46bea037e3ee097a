#!/usr/bin/python3
"""A day's work at the card desk, driven through a real X display (Xvfb with a window
manager) with real key presses and mouse clicks from xdotool, as an operator would do it:

- start on a fresh starter database; create a group; type in members with photos and save
  them; move one to another group; delete the last row of the list;
- open the card layout dialog, change a text slot, preview from it; preview the cards and
  save them as a PDF; preview the check list; back the database up;
- resize the window and exit; import a workbook from the command line; start again and
  find the window where it was, the imported and the typed-in members in their groups;
  close the window with its close button.

Every message box the program shows is logged by the program itself (the logging
category melbrin.answers); the test fails on any error box, on a box it did not expect,
on a crash, or when the stored data does not show the work. Screenshots of every step
are kept in the output folder.

Usage: desktop_day_test.py MELBRIN XLSREADER MAKESTARTERDB WORKBOOK OUTDIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


class Failed(Exception):
    pass


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


class Display:
    """A private X server with a window manager, and xdotool to drive it."""

    def __init__(self, outdir):
        self.outdir = outdir
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise Failed("Xvfb did not start")
            number += chunk
        os.close(read)
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip())
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.shots = 0
        time.sleep(0.5)

    def close(self):
        for process in (self.wm, self.xvfb):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()

    def xdo(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                              text=True).stdout

    def windows(self):
        """Visible top-level windows of the program: id -> (name, x, y, width, height)."""
        found = {}
        for line in self.xdo("search", "--onlyvisible", "--classname", "melbrin").split():
            name = self.xdo("getwindowname", line).strip()
            geometry = self.xdo("getwindowgeometry", "--shell", line)
            values = dict(re.findall(r"(\w+)=(-?\d+)", geometry))
            if not values:
                continue
            found[int(line)] = (name, int(values["X"]), int(values["Y"]), int(values["WIDTH"]),
                                int(values["HEIGHT"]))
        return found

    def key(self, *keys):
        for k in keys:
            self.xdo("key", "--clearmodifiers", k)
            time.sleep(0.15)

    def type(self, text):
        # xdotool maps a character outside the keyboard onto a spare key code for the moment:
        # slowly, so that the program reads the new keyboard map before each.
        self.xdo("type", "--delay", "30" if text.isascii() else "300", text)
        time.sleep(0.2)

    def click(self, window, x, y, button=1):
        """Clicks at x, y of a window's client area."""
        self.xdo("mousemove", "--window", window, x, y)
        time.sleep(0.1)
        self.xdo("click", button)
        time.sleep(0.3)

    def shot(self, what):
        self.shots += 1
        name = os.path.join(self.outdir, f"{self.shots:02d}-{what}.png")
        subprocess.run(["import", "-window", "root", name], env=self.env, check=False,
                       capture_output=True)
        return name


class Program:
    """One run of the desktop program, with its message log."""

    def __init__(self, display, folder, home, log):
        self.display = display
        self.log_name = log
        env = dict(display.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   LC_ALL="C.UTF-8", LANG="C.UTF-8", QT_QPA_PLATFORM="xcb",
                   QT_LOGGING_RULES="melbrin.answers.info=true;qt.qpa.*=false",
                   XDG_RUNTIME_DIR=home, DBUS_SESSION_BUS_ADDRESS="disabled:")
        if "ASAN_OPTIONS" in env:
            # libxkbcommon-x11 (loaded by the xcb platform only) hands strndup names that are
            # not terminated within the length given; the strict check flags that inside the
            # system library, before any code of ours runs.
            env["ASAN_OPTIONS"] += ":strict_string_checks=0"
        with open(log, "a+") as earlier:
            earlier.seek(0)
            self.seen = len(earlier.read().splitlines())  # lines of an earlier run
        self.log = open(log, "a")
        self.process = subprocess.Popen([os.path.join(folder, "melbrin")], env=env,
                                        stdout=self.log, stderr=self.log, cwd=folder)
        self.main = self.wait_window("Melbrin", known=set())

    def alive(self):
        if self.process.poll() is not None:
            raise Failed(f"the program ended with {self.process.returncode}")

    def boxes(self):
        """Message boxes logged since the last call: list of (kind, title, text)."""
        with open(self.log_name) as f:
            lines = f.read().splitlines()
        new = []
        for line in lines[self.seen:]:
            m = re.search(r"melbrin\.answers: (\w+) \| (.*?) \| (.*)$", line)
            if m:
                new.append(m.groups())
        self.seen = len(lines)
        return new

    def expect_no_box(self, step):
        for kind, title, text in self.boxes():
            raise Failed(f"{step}: unexpected {kind} box '{title}': {text}")

    def wait_window(self, name, known=None, timeout=15):
        """The id of a newly shown window called name (a regular expression)."""
        known = set(self.display.windows()) if known is None else known
        end = time.time() + timeout
        while time.time() < end:
            self.alive()
            for wid, (title, *_rest) in self.display.windows().items():
                if wid not in known and re.fullmatch(name, title):
                    time.sleep(0.4)
                    return wid
            time.sleep(0.1)
        self.display.shot("missing-window")
        raise Failed(f"no window '{name}' appeared; shown: {self.display.windows()}")

    def wait_gone(self, wid, timeout=15):
        end = time.time() + timeout
        while time.time() < end:
            self.alive()
            if wid not in self.display.windows():
                time.sleep(0.3)
                return
            time.sleep(0.1)
        self.display.shot("window-stays")
        raise Failed(f"window {wid} did not close")

    def answer(self, action, kind, title_pattern, text_pattern, keys=("Return",)):
        """Does action, which must show exactly one box of this kind, and answers it."""
        known = set(self.display.windows())
        action()
        box = self.wait_window(".*", known=known)
        self.display.shot(f"box-{kind}")
        logged = self.boxes()
        self.display.key(*keys)
        self.wait_gone(box)
        if len(logged) != 1 or logged[0][0] != kind or not re.search(title_pattern, logged[0][1]) \
                or not re.search(text_pattern, logged[0][2]):
            raise Failed(f"expected one {kind} box '{text_pattern}', the program showed {logged}")

    def end(self, timeout=15):
        try:
            self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failed("the program did not end")
        self.log.close()
        if self.process.returncode != 0:
            raise Failed(f"the program ended with {self.process.returncode}")


# Where the controls are in the main window's client area at its designed layout: x from the
# left edge for the staff list, from the right edge for the details panel (negative), y from
# the top (below the menu bar). The window may be wider or narrower than designed; the panel
# keeps to the right.
PLACES = {
    "New": (227, 87), "Staff No": (-232, 105), "Photo": (-42, 279), "Save": (-276, 383),
    "first row": (120, 184), "Delete": (51, 431), "Preview": (213, 431),
    "Card Layout": (560, 35), "Check List": (345, 35), "Save Database": (448, 35),
}


class Desk:
    def __init__(self, display, program):
        self.display = display
        self.program = program

    def click(self, place, button=1):
        name, _x, _y, width, _height = self.display.windows()[self.program.main]
        x, y = PLACES[place]
        self.display.click(self.program.main, x if x >= 0 else width + x, y, button)

    def new_group(self, name):
        p = self.program
        known = set(self.display.windows())
        self.click("New")
        box = p.wait_window("Create new group", known=known)
        self.display.type(name)
        self.display.shot("new-group")
        self.display.key("Return")
        p.wait_gone(box)
        logged = p.boxes()
        if [k for k, *_ in logged] != ["input"]:
            raise Failed(f"new group: the program showed {logged}")

    def choose_file(self, action, path, kind):
        """Does action, which must open a file dialog, and gives it path."""
        p = self.program
        known = set(self.display.windows())
        action()
        dialog = p.wait_window(".*", known=known)
        self.display.key("ctrl+a")
        self.display.type(path)
        self.display.shot(f"file-{kind}")
        self.display.key("Return")
        p.wait_gone(dialog)
        logged = p.boxes()
        if not logged or logged[0][0] != kind:
            raise Failed(f"expected a {kind} file dialog, the program showed {logged}")
        return logged[1:]

    def member(self, staffno, name, chinese, post, photo):
        """Types a new member into the details panel, with a photo, and saves it."""
        p = self.program
        self.click("Staff No")
        self.display.key("ctrl+a")
        self.display.type(staffno)
        for text in (name, chinese, post):
            self.display.key("Tab")
            self.display.key("ctrl+a")
            self.display.type(text)
        rest = self.choose_file(lambda: self.click("Photo"), photo, "open")
        if rest:
            raise Failed(f"loading the photo showed {rest}")
        self.click("Staff No")
        self.display.key("Return")
        time.sleep(0.5)
        self.display.shot(f"saved-{staffno}")
        p.expect_no_box(f"saving {staffno}")

    def preview(self, action, what, pdf=None):
        """Does action, which must open the print preview, looks at it and closes it."""
        p = self.program
        known = set(self.display.windows())
        action()
        window = p.wait_window("Print Preview", known=known, timeout=30)
        time.sleep(1.0)
        self.display.shot(f"preview-{what}")
        # xdotool tells the size of the window's own area reliably, not its place under a
        # window manager: the window and a title bar must fit on the 1024 x 768 screen.
        _name, _x, _y, width, height = self.display.windows()[window]
        if width > 1024 or height + 32 > 768:
            raise Failed(f"the preview of {what} does not fit on the screen: {width}x{height}")
        if pdf:
            rest = self.choose_file(lambda: self.display.key("ctrl+s"), pdf, "save")
            # a name typed without an extension gets ".pdf"
            if rest or not os.path.exists(pdf + ".pdf"):
                raise Failed(f"saving the preview of {what} as {pdf}: {rest}")
        self.display.key("alt+F4")
        p.wait_gone(window)
        p.expect_no_box(f"preview of {what}")


def members(melbrin, database):
    """The stored members as (group, staff no, name, Chinese name, post, photo size)."""
    out = run(melbrin, "--database", database, "members")
    rows = [line.split("\t") for line in out.splitlines()[1:]]
    return {r[1]: (r[0], r[2], r[3], r[4], r[8]) for r in rows}


def day(display, folder, home, log, melbrin, workbook, work):
    photo = os.path.join(work, "portrait.jpg")
    run("convert", "-size", "480x640", "gradient:#203060-#e0c090", "-fill", "white",
        "-draw", "circle 240,260 240,120", "-quality", "90", photo)
    database = os.path.join(folder, "cardinfo.mdb")

    p = Program(display, folder, home, log)
    desk = Desk(display, p)
    display.shot("start")
    p.expect_no_box("start")
    first_place = display.windows()[p.main]

    desk.new_group("Security Desk")
    desk.member("S001", "Alice Wong", "王小明", "Guard", photo)
    desk.member("S002", "Bob Marley-Smith", "李四", "Driver", photo)
    desk.member("S003", "Carol Anne Long-Surname", "", "Clerk", photo)

    # Bob goes to the default group through the list's popup menu, from the keyboard.
    desk.click("first row")
    display.key("Down", "Menu")
    time.sleep(0.5)
    display.shot("popup")
    display.key("Down", "Return")
    time.sleep(0.5)
    p.expect_no_box("move")

    # The last row of the list goes: End, then Delete and its confirmation.
    desk.click("first row")
    display.key("End")
    p.answer(lambda: display.key("Delete"), "question", "Confirm", "Delete the record")
    display.shot("deleted-last")
    p.expect_no_box("delete")

    # The card layout dialog: Alt+C; the seventh slot shows the remark; its own preview;
    # the dialog stays where it was; Save Settings, then Esc.
    known = set(display.windows())
    display.key("alt+c")
    layout = p.wait_window("Card Layout", known=known)
    display.click(layout, 234, 207)
    display.key("End", "Return")
    display.shot("layout")
    placed = display.windows()[layout]
    desk.preview(lambda: display.click(layout, 41, 310), "layout")
    after = [w for w, place in display.windows().items() if place[0] == "Card Layout"]
    if len(after) != 1 or display.windows()[after[0]] != placed:
        raise Failed(f"the layout dialog moved from {placed}; shown: {display.windows()}")
    layout = after[0]
    p.answer(lambda: display.click(layout, 126, 310), "information", "Information",
             "Settings are saved")
    display.key("Escape")
    p.wait_gone(layout)

    cards = os.path.join(work, "cards")
    desk.preview(lambda: desk.click("Preview"), "cards", pdf=cards)
    text = run("pdftotext", cards + ".pdf", "-")
    if "Alice Wong" not in text or "Bob Marley-Smith" in text:
        raise Failed(f"the cards of Security Desk read {text!r}")
    desk.preview(lambda: desk.click("Check List"), "checklist")

    backup = os.path.join(work, "backup.mdb")
    rest = desk.choose_file(lambda: desk.click("Save Database"), backup, "save")
    time.sleep(1.0)
    if any(k == "error" for k, *_ in rest) or not os.path.exists(backup):
        raise Failed(f"backup: {rest}")
    display.key("Return")
    time.sleep(0.5)

    display.xdo("windowsize", p.main, 760, 560)
    time.sleep(0.5)
    display.shot("resized")
    resized = display.windows()[p.main]
    display.key("alt+e")
    p.end()

    stored = members(melbrin, database)
    expected = {"S001": ("Security Desk", "Alice Wong", "王小明", "Guard", "480x640"),
                "S002": ("DEFAULT", "Bob Marley-Smith", "李四", "Driver", "480x640")}
    if stored != expected:
        raise Failed(f"after the first run the database holds {stored}, not {expected}")
    if members(melbrin, backup) != expected:
        raise Failed("the backup does not hold the members")

    run(melbrin, "--database", database, "--yes", "import", workbook)
    imported = members(melbrin, database)
    if len(imported) <= len(expected) or any(imported[k] != v for k, v in expected.items()):
        raise Failed(f"the import left {imported}")

    p = Program(display, folder, home, log)
    display.shot("restart")
    p.expect_no_box("restart")
    place = display.windows()[p.main]
    if place[3:] != resized[3:]:
        raise Failed(f"the window came back as {place}, it was {resized} at exit")
    display.key("alt+F4")
    p.end()
    return first_place


def main():
    melbrin, reader, makestarterdb, workbook, outdir = sys.argv[1:6]
    shutil.rmtree(outdir, ignore_errors=True)
    os.makedirs(outdir)
    work = tempfile.mkdtemp(prefix="melbrin-day-")
    display = Display(outdir)
    try:
        folder = os.path.join(work, "program")
        os.makedirs(folder)
        for f in (melbrin, reader):
            shutil.copy2(f, folder)
        run(makestarterdb, os.path.join(folder, "cardinfo.mdb"))
        home = os.path.join(work, "home")
        os.makedirs(home)
        log = os.path.join(outdir, "melbrin.log")
        day(display, folder, home, log, os.path.join(folder, "melbrin"), workbook, work)
        print(f"a day's work passed; screenshots in {outdir}")
    except Failed as e:
        display.shot("failed")
        print(f"FAILED: {e}\nscreenshots and the program's log in {outdir}")
        return 1
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
