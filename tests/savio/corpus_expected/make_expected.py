#!/usr/bin/env python3
"""Derives the expected values of the corpus conformance tests.

The dictionary and the cases come from PSPP (DISPLAY DICTIONARY and SAVE
TRANSLATE to CSV); the 8-byte short names, which PSPP does not show, and the
raw bytes of variable labels come from a minimal walk over the variable
records, each label checked against PSPP's decoded text. First-case values
are cross-checked with ReadStat where ReadStat reads the file.

Usage: make_expected.py CORPUS_DIR OUT_DIR
Text fields are written as bytes of the file's encoding, with bytes outside
printable ASCII (and the backslash) escaped as \\xNN; fields are TAB-separated.
"""
import csv, io, math, os, re, struct, subprocess, sys, tempfile

FORMAT_CODES = {
    'A': 1, 'AHEX': 2, 'COMMA': 3, 'DOLLAR': 4, 'F': 5, 'IB': 6, 'PIBHEX': 7, 'P': 8, 'PIB': 9,
    'PK': 10, 'RB': 11, 'RBHEX': 12, 'Z': 15, 'N': 16, 'E': 17, 'DATE': 20, 'TIME': 21,
    'DATETIME': 22, 'ADATE': 23, 'JDATE': 24, 'DTIME': 25, 'WKDAY': 26, 'MONTH': 27, 'MOYR': 28,
    'QYR': 29, 'WKYR': 30, 'PCT': 31, 'DOT': 32, 'CCA': 33, 'CCB': 34, 'CCC': 35, 'CCD': 36,
    'CCE': 37, 'EDATE': 38, 'SDATE': 39, 'MTIME': 40, 'YMDHMS': 41}
CODE_PAGES = {1250: 'cp1250', 1251: 'cp1251', 1252: 'cp1252', 28591: 'latin-1',
              28605: 'iso8859_15', 65001: 'utf-8', 932: 'cp932', 936: 'gbk', 949: 'cp949',
              950: 'big5'}


def esc(b):
    return ''.join(chr(c) if 0x20 <= c < 0x7f and c != 0x5c else '\\x%02x' % c for c in b)


def raw_dictionary(path):
    """Short names, widths, label bytes of each variable record; ext 14 and 20, code page."""
    d = open(path, 'rb').read()
    order = '<' if struct.unpack('<i', d[64:68])[0] in (2, 3) else '>'
    i32 = lambda o: struct.unpack(order + 'i', d[o:o + 4])[0]
    pos, records, ext, slot = 176, [], {}, 0
    while True:
        t = i32(pos)
        if t == 2:
            typ, has_label, nmiss = i32(pos + 4), i32(pos + 8), i32(pos + 12)
            name = d[pos + 24:pos + 32].rstrip(b' \0')
            pos += 32
            label = None
            if has_label:
                n = i32(pos)
                label = d[pos + 4:pos + 4 + n]
                pos += 4 + (n + 3) // 4 * 4
            pos += 8 * abs(nmiss)
            slot += 1
            if typ != -1:
                records.append({'name': name, 'width': typ, 'label': label, 'slot': slot})
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
            ext.setdefault(sub, d[pos + 16:pos + 16 + size * count])
            pos += 16 + size * count
        elif t == 999:
            break
        else:
            raise ValueError('record type %d at %d' % (t, pos))
    widths = {}
    for item in ext.get(14, b'').split(b'\0'):
        item = item.strip(b'\t')
        if b'=' in item:
            k, v = item.split(b'=', 1)
            widths[k] = int(v)
    logical, i = [], 0
    while i < len(records):
        r = dict(records[i])
        w = widths.get(r['name'])
        if w and r['width'] == 255:
            n = (w + 251) // 252
            r['width'] = w
            i += n
        else:
            i += 1
        logical.append(r)
    enc = None
    if 20 in ext:
        enc = ext[20].decode('ascii').lower()
        enc = {'windows-1252': 'cp1252', 'windows-1250': 'cp1250'}.get(enc, enc)
    elif 3 in ext:
        enc = CODE_PAGES.get(struct.unpack(order + '8i', ext[3])[7])
    long_missing = parse_long_missing(ext.get(22, b''), order)
    weight = i32(76)
    weight = [r['name'] for r in logical if r['slot'] == weight]
    return logical, enc or 'cp1252', i32(72), weight[0] if weight else None, 13 in ext, long_missing


def parse_long_missing(body, order):
    """Subtype 22 in either layout (one value_len per variable, or one per
    value): long name -> values. PSPP reads only the second layout, ReadStat
    only the first; the values are taken from whichever fits the record."""
    for per_value in (False, True):
        out, pos, ok = {}, 0, True
        try:
            while pos < len(body):
                n = struct.unpack(order + 'i', body[pos:pos + 4])[0]
                name = body[pos + 4:pos + 4 + n]
                count = body[pos + 4 + n]
                pos += 5 + n
                values = []
                if not per_value:
                    ok &= struct.unpack(order + 'i', body[pos:pos + 4])[0] == 8
                    pos += 4
                for _ in range(count):
                    if per_value:
                        ok &= struct.unpack(order + 'i', body[pos:pos + 4])[0] == 8
                        pos += 4
                    values.append(body[pos:pos + 8].rstrip(b' '))
                    pos += 8
                ok &= 1 <= count <= 3
                out[name] = values
        except (struct.error, IndexError):
            ok = False
        if ok and pos == len(body):
            return out
    return {}


def pspp(path, numeric_names):
    with tempfile.TemporaryDirectory() as tmp:
        sps, data, out = (os.path.join(tmp, n) for n in ('x.sps', 'd.csv', 'o.csv'))
        fmt = ''
        if numeric_names:
            fmt = 'FORMATS %s (E40.16).\n' % ' '.join(numeric_names)
        open(sps, 'w', encoding='utf-8').write(
            "SET TVARS=NAMES.\nSET MXWARNS=100000.\nGET FILE='%s'.\nDISPLAY DICTIONARY.\n%s"
            "SAVE TRANSLATE /OUTFILE='%s' /TYPE=CSV /FIELDNAMES /REPLACE.\n" % (path, fmt, data))
        subprocess.run(['pspp', '-O', 'format=csv', sps, '-o', out], capture_output=True)
        return open(out, encoding='utf-8').read(), open(data, encoding='utf-8').read()


def tables(text):
    result, name, rows = {}, None, []
    for line in text.split('\n'):
        if line.startswith('Table: '):
            if name and name not in result:
                result[name] = rows
            name, rows = line[7:], []
        elif name and line:
            rows.append(line)
    if name and name not in result:
        result[name] = rows
    return {k: list(csv.reader(v)) for k, v in result.items()}


def parse_format(s):
    m = re.match(r'^([A-Z]+)(\d+)(?:\.(\d+))?$', s)
    return FORMAT_CODES[m.group(1)], int(m.group(2)), int(m.group(3) or 0)


def split_missing(s):
    items, cur, quoted = [], '', False
    for ch in s:
        if ch == '"':
            quoted = not quoted
        if ch == ';' and not quoted:
            items.append(cur.strip())
            cur = ''
        else:
            cur += ch
    if cur.strip():
        items.append(cur.strip())
    return items


def num(s):
    s = s.strip()
    if s in ('LOWEST', 'HIGHEST'):
        return s[:2]
    return repr(float(s)) if s else '.'


def make(path, enc_override=None):
    logical, enc, compression, weight, has_long_names, long_missing = raw_dictionary(path)
    numeric = [None] * len(logical)
    dict_text, _ = pspp(path, [])
    t = tables(dict_text)
    rows = t['Variables'][1:]
    if len(rows) != len(logical):
        raise ValueError('PSPP shows %d variables, records give %d' % (len(rows), len(logical)))
    header = t['Variables'][0]
    names = [r[0] for r in rows]
    numeric = [r[0] for r, lv in zip(rows, logical) if lv['width'] == 0]
    _, data_text = pspp(path, numeric)
    cases = list(csv.reader(io.StringIO(data_text)))[1:]
    out = ['cases\t%d' % len(cases), 'variables\t%d' % len(rows),
           'compression\t%d' % (1 if compression else 0),
           'weight\t%s' % (esc(weight) if weight else '-')]
    by_long = {}
    for r, lv in zip(rows, logical):
        short = esc(lv['name'])
        by_long[r[0]] = (short, lv)
        ptype, pw, pd = parse_format(r[header.index('Print Format')])
        wtype, ww, wd = parse_format(r[header.index('Write Format')])
        # PSPP renames invalid names VAR001...; those are not the file's long names.
        # Without a long-names record the long name is the short name (PSPP
        # shows it lower-cased).
        renamed = re.match(r'^VAR\d{3}$', r[0]) and lv['name'] != r[0].encode()
        long_name = esc(r[0].encode(enc, 'replace')) if has_long_names else short
        out.append('var\t%s\t%s\t%d\t%d %d %d\t%d %d %d' % (
            short, '-' if renamed else long_name, lv['width'], ptype, pw, pd, wtype, ww, wd))
        label = r[header.index('Label')] if 'Label' in header else ''
        if lv['label'] is not None:
            try:
                decoded = lv['label'].decode(enc)
            except UnicodeDecodeError:
                decoded = None
            if decoded is not None and decoded.strip() == label.strip():
                out.append('label\t%s\t%s' % (short, esc(lv['label'])))
        raw_missing = long_missing.get(r[0].encode(enc, 'replace'))
        if lv['width'] > 8 and raw_missing:
            out.append('cmissing\t%s\t%d\t%s' % (short, len(raw_missing),
                                                  '\t'.join(esc(v) for v in raw_missing)))
        elif 'Missing Values' in header and r[header.index('Missing Values')]:
            items = split_missing(r[header.index('Missing Values')])
            if lv['width'] == 0:
                if 'THRU' in items[0]:
                    lo, hi = items[0].split(' THRU ')
                    vals = [num(lo), num(hi)] + [num(x) for x in items[1:]]
                    code = -2 if len(items) == 1 else -3
                else:
                    vals, code = [num(x) for x in items], len(items)
                out.append('nmissing\t%s\t%d\t%s' % (short, code, '\t'.join(vals)))
            else:
                vals = [x[1:-1].replace('""', '"').rstrip(' ') for x in items]
                try:
                    enc_vals = [esc(v.encode(enc)) for v in vals]
                    out.append('cmissing\t%s\t%d\t%s' % (short, len(vals), '\t'.join(enc_vals)))
                except UnicodeEncodeError:
                    pass
    labels = {}
    current = None
    for r in t.get('Value Labels', [])[1:]:
        if len(r) < 3:
            continue
        if r[0]:
            current = r[0]
        labels.setdefault(current, []).append((re.sub(r'\[[a-z]\]$', '', r[1]), r[2]))
    for long_name, items in labels.items():
        if long_name not in by_long:
            continue
        short, lv = by_long[long_name]
        out.append('nlabels\t%s\t%d' % (short, len(items)))
        for value, label in items[:3] + items[-1:]:
            try:
                if lv['width'] == 0:
                    line = 'nlabel\t%s\t%s\t%s' % (short, num(value), esc(label.encode(enc)))
                else:
                    line = 'clabel\t%s\t%s\t%s' % (short, esc(value.encode(enc).rstrip(b' ')),
                                                   esc(label.encode(enc)))
            except (UnicodeEncodeError, ValueError):
                continue
            if line not in out:
                out.append(line)
    for tag, case in (('first', cases[0] if cases else None), ('last', cases[-1] if cases else None)):
        if case is None:
            continue
        for value, (r, lv) in zip(case, zip(rows, logical)):
            short = esc(lv['name'])
            if lv['width'] == 0:
                out.append('%s\t%s\t%s' % (tag, short, num(value)))
            else:
                try:
                    b = value.encode(enc).rstrip(b' ')
                except UnicodeEncodeError:
                    continue
                # PSPP shows a character cut short by the field width as '?'.
                if '\ufffd' not in value and not value.endswith('?'):
                    out.append('%s\t%s\t%s' % (tag, short, esc(b)))
    return '\n'.join(out) + '\n', cases, names


def readstat_first(path):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, 'r.csv')
        p = subprocess.run(['readstat', path, out], capture_output=True)
        if p.returncode != 0 or not os.path.exists(out):
            return None
        return list(csv.reader(open(out, encoding='utf-8', errors='replace')))


def main(corpus, outdir):
    for name in sorted(os.listdir(corpus)):
        if not name.endswith(('.sav', '.zsav')):
            continue
        path = os.path.join(corpus, name)
        try:
            text, cases, names = make(path)
        except Exception as e:  # reported, the file is left without expectations
            print('%s: %s' % (name, e))
            continue
        open(os.path.join(outdir, name + '.txt'), 'w').write(text)
        rs = readstat_first(path)
        if rs and cases and len(rs) > 1:
            agree = len(rs) - 1 == len(cases)
            for a, b in zip(rs[1], cases[0]):
                try:
                    fa, fb = float(a) if a else None, float(b) if b.strip() else None
                    if fa is None or fb is None:
                        agree &= (fa is None) == (fb is None)
                    else:
                        agree &= math.isclose(fa, fb, rel_tol=1e-9, abs_tol=1e-6)
                except ValueError:
                    agree &= a.rstrip() == b.rstrip()
            print('%s: readstat %s' % (name, 'agrees' if agree else 'DISAGREES'))
        else:
            print('%s: readstat cannot read it' % name)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
