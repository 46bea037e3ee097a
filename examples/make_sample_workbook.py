#!/usr/bin/python3
"""Writes import.xls, a small workbook for the "Import" command: a RECORDS sheet with the six
headings the import knows (in mixed letter case, as users type them), English and Chinese
names, a joining date held as a date, a staff number held as a number, and a member without
a group. Needs Debian's python3-xlwt. Usage: make_sample_workbook.py [OUT.xls]
"""
import datetime
import sys

import xlwt

ROWS = [
    ("Sales", "Chan Tai Man", "陳大文", 1001, "Manager", datetime.date(2004, 3, 5)),
    ("Sales", "Lee Siu Ming", "李小明", 1002, "Clerk", datetime.date(2010, 11, 22)),
    ("Accounts", "Wong Mei Ling", "黃美玲", "A-17", "Accountant", "1/02/2003"),
    (None, "Ho Ka Yan", "何嘉欣", 1004, None, None),
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "import.xls"
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("RECORDS")
    date = xlwt.easyxf(num_format_str="D/M/YYYY")
    for c, heading in enumerate(("Group", "NAME", "Chinese_Name", "STAFF_ID", "Post", "date_join")):
        sheet.write(0, c, heading)
    for r, row in enumerate(ROWS, start=1):
        for c, value in enumerate(row):
            if value is None:
                continue
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, date)
            else:
                sheet.write(r, c, value)
    book.save(out)


if __name__ == "__main__":
    main()
