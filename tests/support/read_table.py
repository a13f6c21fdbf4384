"""Reads a converted table back with independent readers (the csv module,
openpyxl) and prints it as JSON for the tests to compare with the values
the file holds.

Usage: read_table.py csv|tsv|xlsx PATH KINDS
KINDS has one letter per column: N number, D date, T date-time, H time,
S string. Output: {"header": [...], "rows": [[cell, ...], ...]}; a cell is
null (empty), a number (dates and times as seconds from 1582-10-14 00:00),
or a string (also a date the reader could not read as one).
"""
import csv
import datetime
import json
import re
import sys
from fractions import Fraction

EPOCH = datetime.datetime(1582, 10, 14)


def seconds_of_delta(delta):
    return delta.days * 86400.0 + delta.seconds + delta.microseconds / 1e6


def clock_seconds(text):
    h, m, s = text.split(":")
    return int(h) * 3600 + int(m) * 60 + Fraction(s)


def iso_seconds(text, kind):
    """The seconds of an ISO 8601 text, read exactly (as a decimal) and
    rounded once to the nearest double. A date column's value may hold a
    time of day."""
    try:
        if kind == "H":
            sign = -1 if text.startswith("-") else 1
            return float(sign * clock_seconds(text.lstrip("-")))
        if kind in "DT":
            day, _, clock = text.partition("T")
            days = (datetime.date.fromisoformat(day) - EPOCH.date()).days
            return float(days * 86400 + (clock_seconds(clock) if clock else 0))
    except ValueError:
        pass
    return text


def text_cell(text, kind):
    if text == "":
        return None
    if kind == "N":
        try:
            return float(text)
        except ValueError:
            return text
    if kind in "DTH":
        return iso_seconds(text, kind)
    return text


def untab(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_delimited(path, kinds, tsv):
    with open(path, newline="", encoding="utf-8-sig") as f:
        if tsv:
            lines = f.read().split("\n")
            if lines and lines[-1] == "":
                lines.pop()
            # A row of one empty field is written "" (an empty line would be skipped).
            rows = [[""] if line.rstrip("\r") == '""' else
                    [untab(x) for x in line.rstrip("\r").split("\t")] for line in lines]
        else:
            rows = list(csv.reader(f))
    header, body = (rows[0], rows[1:]) if rows else ([], [])
    return header, [[text_cell(t, kinds[k]) for k, t in enumerate(r)] for r in body]


def xlsx_cell(value, kind):
    if value is None:
        return None
    if isinstance(value, datetime.datetime):
        return seconds_of_delta(value - EPOCH)
    if isinstance(value, datetime.timedelta):
        return seconds_of_delta(value)
    if isinstance(value, datetime.time):
        return value.hour * 3600 + value.minute * 60 + value.second + value.microsecond / 1e6
    if isinstance(value, (int, float)):
        return float(value)
    # Control characters are stored as _xHHHH_ escapes, which openpyxl
    # leaves as they are (spreadsheets decode them).
    value = re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), value)
    return iso_seconds(value, kind) if kind in "DTH" else value


def read_xlsx(path, kinds):
    import openpyxl

    # Not read_only: that mode of openpyxl 3.0 reads [h]:mm:ss cells as dates.
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    rows = list(sheet.iter_rows(values_only=True))
    header = [h for h in rows[0]] if rows else []
    body = [[xlsx_cell(v, kinds[k]) for k, v in enumerate(r)] for r in rows[1:]]
    formulas = sum(1 for r in book.worksheets[0].iter_rows() for c in r
                   if getattr(c, "data_type", "") == "f")
    return header, body, formulas


def main():
    fmt, path, kinds = sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else ""
    formulas = 0
    if fmt == "xlsx":
        header, rows, formulas = read_xlsx(path, kinds)
    else:
        header, rows = read_delimited(path, kinds, fmt == "tsv")
    json.dump({"header": header, "rows": rows, "formulas": formulas}, sys.stdout)


main()
