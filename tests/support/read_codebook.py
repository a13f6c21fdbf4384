#!/usr/bin/python3
# Reads a codebook back with a strict XML parser (a fault in the markup fails
# the parse) and prints what a test compares, as JSON: each variable's totals,
# value rows, most frequent values, statistics and texts, and every element
# name the document uses.
import json
import sys
import xml.etree.ElementTree as ET

NS = "{http://www.w3.org/1999/xhtml}"


def text(element):
    return "".join(element.itertext())


def rows(table):
    out = []
    for tr in table.iter(NS + "tr"):
        if "data-count" not in tr.attrib:
            continue
        cells = [text(td) for td in tr.findall(NS + "td")]
        out.append({"value": tr.get("data-value"), "count": float(tr.get("data-count")),
                    "cases": int(tr.get("data-cases")), "percent": float(tr.get("data-percent")),
                    "missing": tr.get("data-missing"), "cells": cells})
    return out


def section(sec):
    facts = {}
    for table in sec.findall(NS + "table"):
        if table.get("class") == "facts":
            for tr in table.iter(NS + "tr"):
                facts[text(tr.find(NS + "th"))] = text(tr.find(NS + "td"))
    out = {"name": facts.get("名前"), "label": facts.get("ラベル"), "facts": facts,
           "heading": text(sec.find(NS + "h2")), "totals": {}, "values": [], "frequent": [],
           "statistics": {}, "distinct": None, "svg_texts": []}
    summary = sec.find(NS + "p[@class='summary']")
    if summary is not None:
        out["distinct"] = int(summary.get("data-distinct"))
    values_tables = [t for t in sec.findall(NS + "table") if t.get("class") == "values"]
    if summary is not None and values_tables:
        out["frequent"] = rows(values_tables.pop(0))
    for t in values_tables:
        out["values"] += rows(t)
    for t in sec.findall(NS + "table"):
        if t.get("class") == "totals":
            for tr in t.iter(NS + "tr"):
                if tr.get("data-key"):
                    out["totals"][tr.get("data-key")] = {"count": float(tr.get("data-count")),
                                                         "cases": int(tr.get("data-cases"))}
        if t.get("class") == "statistics":
            for tr in t.iter(NS + "tr"):
                number = float(tr.get("data-number"))
                out["statistics"][tr.get("data-key")] = {
                    "number": None if number != number else number,
                    "text": text(tr.find(NS + "td"))}
    for svg in sec.iter("{http://www.w3.org/2000/svg}svg"):
        out["svg_texts"] += [text(t) for t in svg.iter("{http://www.w3.org/2000/svg}text")]
    return out


def main():
    root = ET.parse(sys.argv[1]).getroot()
    body = root.find(NS + "body")
    variables = [section(s) for s in body.iter(NS + "section") if s.get("class") == "variable"]
    title = {text(tr.find(NS + "th")): text(tr.find(NS + "td"))
             for tr in body.find(NS + "section").iter(NS + "tr")}
    tags = sorted({e.tag.split("}")[-1] for e in root.iter()})
    json.dump({"variables": variables, "title": title, "tags": tags}, sys.stdout,
              ensure_ascii=False)


main()
