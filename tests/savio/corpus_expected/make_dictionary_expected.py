#!/usr/bin/env python3
"""Derives the expected dictionary records of the corpus files from PSPP.

For every corpus file that carries them, PSPP's own output gives the
documents (DISPLAY DOCUMENTS), the multiple-response sets (MRSETS /DISPLAY),
the file and variable attributes, hidden ones included (DISPLAY
@ATTRIBUTES), the measure, display width, alignment and role of each
variable (DISPLAY DICTIONARY) and the extra product info and byte order
(SYSFILE INFO). PSPP does not read variable sets (subtype 5) nor show the
list of extension records (the XML record among them); those two are taken
from a walk over the records.

Usage: make_dictionary_expected.py CORPUS_DIR OUT_DIR
Writes OUT_DIR/<file>.txt for each file PSPP reads. Texts are
UTF-8 as PSPP shows them, with backslash, TAB, LF and CR escaped as \\\\, \\t,
\\n and \\r; fields are TAB-separated:
  document      LINE
  product_info  TEXT
  byte_order    little|big
  mrset         NAME LABEL category|dichotomy COUNTED MEMBER...
  attribute     (dataset)|VARIABLE NAME VALUE
  display       VARIABLE MEASURE WIDTH|- ALIGNMENT   (files with subtype 11;
                WIDTH '-' when the record holds no widths)
  role          VARIABLE ROLE
  varset        NAME MEMBER...
  extension     SUBTYPE SIZE COUNT   (every type 7 record, in file order)
  unchecked     VARIABLE   (a variable PSPP renamed; its lines are left out)
Variables are named by their long names, or their short names in files
without long names (PSPP shows those in lower case); a variable that PSPP
renames (an invalid or repeated name becomes VAR001...) is left out.
"""
import csv, io, os, struct, subprocess, sys, tempfile

MEASURES = {'Nominal': 'nominal', 'Ordinal': 'ordinal', 'Scale': 'scale'}
ALIGNMENTS = {'Left': 'left', 'Right': 'right', 'Center': 'center'}
ROLES = {'Input': 'input', 'Output': 'target', 'Both': 'both', 'None': 'none',
         'Partition': 'partition', 'Split': 'split'}


def esc(text):
    return (text.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')
            .replace('\r', '\\r'))


def records(path):
    """The extension records (subtype -> list of (size, count, body)), the
    number of variable records that are not continuations, and the short
    names, from a walk over the dictionary."""
    d = open(path, 'rb').read()
    order = '<' if struct.unpack('<i', d[64:68])[0] in (2, 3) else '>'
    i32 = lambda o: struct.unpack(order + 'i', d[o:o + 4])[0]
    pos, ext, nvars, shorts, order_ = 176, {}, 0, [], []
    while True:
        t = i32(pos)
        if t == 2:
            typ, has_label, nmiss = i32(pos + 4), i32(pos + 8), i32(pos + 12)
            if typ != -1:
                nvars += 1
                shorts.append((d[pos + 24:pos + 32].rstrip(b' \0'), typ))
            pos += 32
            if has_label:
                pos += 4 + (i32(pos) + 3) // 4 * 4
            pos += 8 * abs(nmiss)
        elif t == 3:
            n = i32(pos + 4)
            pos += 8
            for _ in range(n):
                pos += 8 + (d[pos + 8] + 8) // 8 * 8
        elif t == 4:
            pos += 8 + 4 * i32(pos + 4)
        elif t == 6:
            pos += 8 + 80 * i32(pos + 4)
        elif t == 7:
            sub, size, count = i32(pos + 4), i32(pos + 8), i32(pos + 12)
            ext.setdefault(sub, []).append((size, count, d[pos + 16:pos + 16 + size * count]))
            order_.append((sub, size, count))
            pos += 16 + size * count
        elif t == 999:
            break
        else:
            raise ValueError('record type %d at %d' % (t, pos))
    # Very long strings: the segments after the first are not variables.
    widths = {}
    for size, count, body in ext.get(14, []):
        for item in body.split(b'\0'):
            item = item.strip(b'\t')
            if b'=' in item:
                k, v = item.split(b'=', 1)
                widths[k] = int(v)
    logical, i = [], 0
    while i < len(shorts):
        short, width = shorts[i]
        logical.append(short)
        w = widths.get(short)
        i += (w + 251) // 252 if w and width == 255 else 1
    ext['order'] = order_
    return ext, nvars, logical


CODE_PAGES = {1250: 'cp1250', 1251: 'cp1251', 1252: 'cp1252', 28591: 'latin-1',
              28605: 'iso8859_15', 65001: 'utf-8', 932: 'cp932'}


class Names:
    """The variables' names as the tests name them: long name, else short."""

    def __init__(self, ext, shorts):
        enc = 'utf-8'
        if 20 in ext:
            enc = ext[20][0][2].decode('ascii').lower()
        elif 3 in ext and len(ext[3][0][2]) == 32:
            code = struct.unpack('<8i', ext[3][0][2])[7]
            enc = CODE_PAGES.get(code, CODE_PAGES.get(struct.unpack('>8i', ext[3][0][2])[7],
                                                      'utf-8'))
        decode = lambda b: b.decode(enc, 'replace')
        long_of = {}
        for size, count, body in ext.get(13, []):
            for item in body.split(b'\t'):
                if b'=' in item:
                    k, v = item.split(b'=', 1)
                    long_of.setdefault(k, decode(v))
        self.names = [long_of.get(s, decode(s)) for s in shorts]
        self.folded = {}
        for n in self.names:
            self.folded.setdefault(n.upper(), n)
        # Older writers name variables by short name in some records.
        for short, n in zip(shorts, self.names):
            self.folded.setdefault(decode(short).upper(), n)

    def __call__(self, name):
        """The name the tests use for PSPP's (or a record's) name; None for
        a name PSPP made up."""
        if name in self.names:
            return name
        return self.folded.get(name.upper())


def pspp(path, commands):
    with tempfile.TemporaryDirectory() as tmp:
        sps, out = os.path.join(tmp, 'x.sps'), os.path.join(tmp, 'o.csv')
        open(sps, 'w', encoding='utf-8').write(
            "SET LOCALE='UTF-8'.\nSET TVARS=NAMES.\nSET MXWARNS=100000.\nGET FILE='%s'.\n%s\n"
            % (path, commands))
        subprocess.run(['pspp', '-O', 'format=csv', sps, '-o', out], capture_output=True)
        return open(out, encoding='utf-8', errors='replace').read()


def tables(text):
    """Table title -> rows (lists of cells); the first table of each title."""
    result, name, buf = {}, None, []

    def flush():
        if name and name not in result:
            result[name] = list(csv.reader(io.StringIO('\n'.join(buf))))

    lines = text.split('\n')
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith('Table: '):
            flush()
            name, buf = line[7:], []
        elif name is not None:
            if line == '' and not buf_open(buf):
                flush()
                name, buf = None, []
            else:
                buf.append(line)
        i += 1
    flush()
    return result


def buf_open(buf):
    """Whether the CSV text so far ends inside a quoted cell."""
    return '\n'.join(buf).count('"') % 2 == 1


def make(path):
    ext, nvars, shorts = records(path)
    name_of = Names(ext, shorts)
    out = []
    t = tables(pspp(path, 'DISPLAY DOCUMENTS.\nMRSETS /DISPLAY NAME=ALL.\nDISPLAY @ATTRIBUTES.\n'
                          'DISPLAY DICTIONARY.\nSYSFILE INFO FILE=\'%s\'.' % path))
    docs = t.get('Documents', [])
    if docs and docs[0] and docs[0][0] != '(none)':
        for line in docs[0][0].split('\n'):
            out.append('document\t' + esc(line.rstrip(' ')))
    info = {r[0]: r[1] for r in t.get('File Information', []) if len(r) >= 2}
    if 10 in ext and 'Product' in info:
        out.append('product_info\t' + esc(info['Product']))
    if 'Integer Format' in info:
        out.append('byte_order\t' + ('big' if info['Integer Format'] == 'Big Endian' else 'little'))
    for r in t.get('Multiple Response Sets', [])[1:]:
        if len(r) < 5:
            continue
        kind = 'dichotomy' if r[2] == 'Dichotomies' else 'category'
        members = [name_of(m) for m in r[4].split('\n') if m]
        if None in members:
            continue
        out.append('\t'.join(['mrset', esc(r[0]), esc(r[1]), kind, esc(r[3])] +
                             [esc(m) for m in members]))
    owner = None
    for r in t.get('Variable and Dataset Attributes', [])[1:]:
        if len(r) < 3:
            continue
        owner = r[0] or owner
        name = owner if owner == '(dataset)' else name_of(owner)
        if name is not None:
            out.append('\t'.join(['attribute', esc(name), esc(r[1]), esc(r[2])]))
    variables = t.get('Variables', [])
    if variables:
        header = variables[0]
        col = {h: i for i, h in enumerate(header)}
        widths = None
        if 11 in ext:
            size, count, _ = ext[11][0]
            widths = count == 3 * nvars
            shown = size == 4 and count in (2 * nvars, 3 * nvars)
        for r in variables[1:]:
            name = name_of(r[col['Name']])
            if name is None:
                out.append('unchecked\t' + esc(name_of.names[int(r[col['Position']]) - 1]))
                continue
            if 'Role' in col:
                out.append('role\t%s\t%s' % (esc(name), ROLES[r[col['Role']]]))
            if 11 in ext and shown:
                out.append('display\t%s\t%s\t%s\t%s' % (
                    esc(name), MEASURES[r[col['Measurement Level']]],
                    r[col['Width']] if widths else '-', ALIGNMENTS[r[col['Alignment']]]))
    for sub, size, count in ext['order']:
        out.append('extension\t%d\t%d\t%d' % (sub, size, count))
    for size, count, body in ext.get(5, []):
        for line in body.decode('utf-8', 'replace').replace('\r', '').split('\n'):
            if '=' not in line:
                continue
            name, members = line.split('=', 1)
            known = [name_of(m) for m in members.split()]
            out.append('\t'.join(['varset', esc(name)] + [esc(m) for m in known if m]))
    return out


def main(corpus, outdir):
    os.makedirs(outdir, exist_ok=True)
    for name in sorted(os.listdir(corpus)):
        if not name.endswith(('.sav', '.zsav')):
            continue
        try:
            lines = make(os.path.join(corpus, name))
        except Exception as e:  # reported, the file is left without expectations
            print('%s: %s' % (name, e))
            continue
        open(os.path.join(outdir, name + '.txt'), 'w', encoding='utf-8').write(
            '\n'.join(lines) + '\n')
        print('%s: %d lines' % (name, len(lines)))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
