#!/usr/bin/python3
"""Writes an .xls workbook for the import tests from a description read on standard input:

{"sheets": [{"name": "RECORDS", "rows": [["NAME", "GROUP"], ["Ann", "Sales"]]}]}

A cell is a string (text), a number, null (left empty) or an object
{"date": "2004-03-05"}, {"datetime": "2004-03-05 10:30:00"} or {"time": "10:30:00"}.
Usage: make_workbook.py OUT.xls < description.json
"""
import datetime
import json
import sys

import xlwt

DATE = xlwt.easyxf(num_format_str="D/M/YYYY")
DATETIME = xlwt.easyxf(num_format_str="D/M/YYYY h:mm:ss")
TIME = xlwt.easyxf(num_format_str="h:mm:ss")


def write_cell(sheet, r, c, cell):
    if cell is None:
        return
    if isinstance(cell, dict):
        if "date" in cell:
            sheet.write(r, c, datetime.datetime.strptime(cell["date"], "%Y-%m-%d"), DATE)
        elif "datetime" in cell:
            value = datetime.datetime.strptime(cell["datetime"], "%Y-%m-%d %H:%M:%S")
            sheet.write(r, c, value, DATETIME)
        else:
            value = datetime.datetime.strptime(cell["time"], "%H:%M:%S").time()
            sheet.write(r, c, value, TIME)
        return
    sheet.write(r, c, cell)


def main():
    description = json.load(sys.stdin)
    book = xlwt.Workbook(encoding="utf-8")
    for s in description["sheets"]:
        sheet = book.add_sheet(s["name"])
        for r, row in enumerate(s.get("rows", [])):
            if not isinstance(row, list):
                sys.exit(f"make_workbook.py: row {r} of sheet {s['name']!r} is not a list: {row!r}")
            for c, cell in enumerate(row):
                write_cell(sheet, r, c, cell)
    book.save(sys.argv[1])


if __name__ == "__main__":
    main()
