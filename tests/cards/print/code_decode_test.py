#!/usr/bin/python3
"""Every card's barcode or QR code, printed by the real program, read back by a scanner.

For each style, code kind and output, a starter database gets members with staff numbers and
the stored choice in its settings table; `melbrin cards` writes the PDF; each card is rendered
at 600 dots per inch (pdftoppm) and decoded (zbarimg). Each card's code must decode to the
staff number of the member whose name is on that card, a member without a staff number gets
no code, and a staff number Code 128 cannot hold gets none and is named on standard error.
The codes are vectors: the PDF holds no more pictures than without them.

Usage: code_decode_test.py MELBRIN MAKESTARTERDB
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "crash"))
import dbcheck  # noqa: E402

MELBRIN = MAKESTARTERDB = None
DPI = 600
MM = 72 / 25.4  # points per millimetre

# Twelve members: a second sheet for every style. Names are single words, so that a card's
# text shows whose card it is.
MEMBERS = [("Alvarez", "S-1001"), ("Brennan", "A17-42"), ("Chow", "x9z"), ("Dupont", ""),
           ("Eriksen", "20231207"), ("Fischer", "STAFF-000123456"), ("Garcia", "g-7"),
           ("Hughes", "HU/55"), ("Ivanova", "I 8"), ("Wang", "王01"), ("Kowalski", "K0"),
           ("Lopez", "L-12-34")]

# Where each design puts its cards on A4 (from the paper's corner, millimetres): the columns'
# left edges, the rows' pitch and count, and the card's size.
SHEETS = {
    0: ([10.0, 110.0], 54.0, 5, (85.5, 54.0)),
    1: ([10.0, 110.0], 53.9, 5, (85.5, 54.0)),
    2: ([10.0, 76.6, 143.2], 86.0, 3, (54.0, 85.5)),
}


def run(args, **kw):
    return subprocess.run(args, capture_output=True, timeout=120, **kw)


def page_count(pdf):
    for line in run(["pdfinfo", pdf]).stdout.decode().splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    raise AssertionError(f"pdfinfo cannot read {pdf}")


def picture_count(pdf):
    lines = run(["pdfimages", "-list", pdf]).stdout.decode().splitlines()
    return len(lines) - 2


def card_text(pdf, page, box):
    x, y, w, h = (round(v * MM) for v in box)
    done = run(["pdftotext", "-f", str(page), "-l", str(page), "-x", str(x), "-y", str(y),
                "-W", str(w), "-H", str(h), pdf, "-"])
    return done.stdout.decode()


def decoded(pdf, page, box, folder):
    """What zbarimg reads on the card in box (millimetres) of the page, rendered at 600 dpi."""
    x, y, w, h = (round(v * DPI / 25.4) for v in box)
    stem = os.path.join(folder, "card")
    run(["pdftoppm", "-r", str(DPI), "-f", str(page), "-l", str(page), "-x", str(x), "-y",
         str(y), "-W", str(w), "-H", str(h), "-gray", "-png", "-singlefile", pdf, stem],
        check=True)
    done = run(["zbarimg", "-q", "--raw", stem + ".png"])
    if done.returncode not in (0, 4):  # 4: no symbol found
        raise AssertionError(f"zbarimg failed: {done.stderr.decode()}")
    return [line for line in done.stdout.decode().splitlines() if line]


def cards_of(pdf, style, output):
    """(page, box) of every card place in the PDF."""
    pages = page_count(pdf)
    if output == "card":
        return [(p, (0, 0, 86.0, 86.0)) for p in range(1, pages + 1)]
    columns, pitch, rows, (w, h) = SHEETS[style]
    return [(p, (x, 10.0 + r * pitch, w, h)) for p in range(1, pages + 1) for x in columns
            for r in range(rows)]


class CodeDecodeTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="melbrin-codes-")
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=self.dir,
                        XDG_CONFIG_HOME=os.path.join(self.dir, "config"))

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def database(self, style, kind, output):
        path = os.path.join(self.dir, f"cards-{style}-{kind}-{output}.mdb")
        subprocess.run([MAKESTARTERDB, path], check=True, capture_output=True)
        values = ", ".join(f"(0, '{name}', '{staffno}')" for name, staffno in MEMBERS)
        settings = [("card.code.kind", kind)]
        if output == "card":
            settings.append(("card.output", "card"))
        dbcheck.query(path, f"insert into stafftbl (gid, name, staffno) values {values};"
                            f" update param set style = {style};"
                            + "".join(f" insert into settings (key, value) values ('{k}', '{v}');"
                                      for k, v in settings))
        return path

    def print_cards(self, db, name):
        pdf = os.path.join(self.dir, name)
        done = run([MELBRIN, "cards", "--database", db, "--output", pdf], env=self.env)
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        return pdf, done.stderr.decode()

    def test_every_card_decodes_to_its_member(self):
        for style in (0, 1, 2):
            for kind in ("code128", "qr"):
                for output in ("a4", "card"):
                    with self.subTest(style=style + 1, kind=kind, output=output):
                        self.check(style, kind, output)

    def check(self, style, kind, output):
        db = self.database(style, kind, output)
        pdf, stderr = self.print_cards(db, f"{style}-{kind}-{output}.pdf")
        expected = {name: staffno for name, staffno in MEMBERS}
        if kind == "code128":
            expected["Wang"] = ""  # outside Latin-1: no barcode, and the member is named
            self.assertIn("Wang", stderr)
            self.assertIn("No code printed for 1 member", stderr)
        else:
            self.assertNotIn("No code printed", stderr)
        seen = set()
        work = os.path.join(self.dir, "work")
        os.makedirs(work, exist_ok=True)
        for page, box in cards_of(pdf, style, output):
            text = card_text(pdf, page, box)
            names = [name for name in expected if name in text.split()]
            if not names:
                continue  # a place left empty on the last sheet
            self.assertEqual(len(names), 1, f"page {page} at {box}: {text!r}")
            name = names[0]
            seen.add(name)
            codes = decoded(pdf, page, box, work)
            want = [expected[name]] if expected[name] else []
            self.assertEqual(codes, want, f"{name}'s card, page {page} at {box}")
        self.assertEqual(seen, set(expected))

        # Drawn as vectors: no picture more than the same cards without codes.
        dbcheck.query(db, "update settings set value = 'none' where key = 'card.code.kind';")
        plain, _ = self.print_cards(db, f"{style}-{kind}-{output}-plain.pdf")
        self.assertEqual(picture_count(pdf), picture_count(plain))


if __name__ == "__main__":
    MELBRIN, MAKESTARTERDB = sys.argv[1], sys.argv[2]
    for tool in ("pdftoppm", "pdftotext", "pdfimages", "zbarimg", "sqlcipher"):
        if not shutil.which(tool):
            print(f"{tool} is not installed (scripts/install-deps installs it)")
            sys.exit(1)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
