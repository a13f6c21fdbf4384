#!/usr/bin/python3
# Reads a codebook PDF back with poppler's tools, independent of the program
# that wrote it, and prints as JSON: the outline's items with their pages
# (pdftohtml -xml), each page's text as pdftotext -layout lays it out, and
# the fonts with whether each is embedded (pdffonts).
import json
import subprocess
import sys
import xml.etree.ElementTree as ET


def run(*args):
    return subprocess.run(args, check=True, capture_output=True).stdout.decode("utf-8", "replace")


def main():
    path = sys.argv[1]
    root = ET.fromstring(run("pdftohtml", "-xml", "-i", "-stdout", "-q", path))
    outline = root.find("outline")
    items = [] if outline is None else [
        {"title": "".join(item.itertext()), "page": int(item.get("page"))}
        for item in outline.findall("item")]
    pages = run("pdftotext", "-layout", "-enc", "UTF-8", path, "-").split("\f")
    fonts = []
    for line in run("pdffonts", path).splitlines()[2:]:
        words = line.split()
        # name type... encoding emb sub uni object generation
        if len(words) >= 7:
            fonts.append({"name": words[0], "embedded": words[-5] == "yes"})
    json.dump({"outline": items, "pages": pages, "fonts": fonts}, sys.stdout, ensure_ascii=False)


main()
