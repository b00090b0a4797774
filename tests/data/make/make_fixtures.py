#!/usr/bin/env python3
"""Makes the workbook fixtures an office suite cannot write: every sheet kind and visibility in
.xlsx and .xls, a strict-namespace package, a BIFF5 workbook with GBK names, encrypted files, and
truncated, corrupt and hostile files. Only the standard library is used; the output is the same
on every run.
    python3 tests/data/make/make_fixtures.py tests/data
"""
import os
import struct
import sys
import zipfile
import zlib

OUT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "tests/data")
FIXED_TIME = (2024, 3, 15, 12, 0, 0)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    print("wrote", name, len(data), "bytes")


# ---------------------------------------------------------------- zip packages (.xlsx family)

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
STRICT_MAIN = "http://purl.oclc.org/ooxml/spreadsheetml/main"
STRICT_RELS = "http://purl.oclc.org/ooxml/officeDocument/relationships"
MS_RELS = "http://schemas.microsoft.com/office/2006/relationships"


def package(parts, stored=False):
    """A zip of (name, text or bytes) parts, in the given order, with fixed dates."""
    import io
    buffer = io.BytesIO()
    method = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
    with zipfile.ZipFile(buffer, "w", method) as z:
        for name, content in parts:
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = method
            z.writestr(info, content.encode() if isinstance(content, str) else content)
    return buffer.getvalue()


def relationships(items):
    rows = "".join(f'<Relationship Id="{i}" Type="{t}" Target="{target}"/>'
                   for i, t, target in items)
    return f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PKG}">{rows}</Relationships>'


def sheet_xml(rows, ns=MAIN, root="worksheet"):
    return f'<?xml version="1.0" encoding="UTF-8"?><{root} xmlns="{ns}"><sheetData>{rows}</sheetData></{root}>'


def make_kinds_xlsx():
    """Every sheet kind and visibility; order differs from sheetId and from the part numbers; the
    workbook part lives outside xl/; the relationship attribute uses an unusual prefix while the
    prefix "r" is bound to another namespace."""
    sheets = [  # name, sheetId, rId, state, kind
        ("汇总", 7, "rId9", None, "worksheet"),
        ("图表 1", 2, "rId3", None, "chartsheet"),
        ("Macro1", 5, "rId4", None, "macrosheet"),
        ("Dialog1", 1, "rId5", None, "dialogsheet"),
        ("隐藏", 3, "rId6", "hidden", "worksheet"),
        ("Very Hidden", 4, "rId7", "veryHidden", "worksheet"),
        ("Data & <More>", 6, "rId8", None, "worksheet"),
    ]
    types = {
        "worksheet": (RELS + "/worksheet", "sheets/s{}.xml"),
        "chartsheet": (RELS + "/chartsheet", "charts/c{}.xml"),
        "macrosheet": (MS_RELS + "/xlMacrosheet", "macros/m{}.xml"),
        "dialogsheet": (RELS + "/dialogsheet", "dialogs/d{}.xml"),
    }
    entries = []
    rels = [("rId1", RELS + "/sharedStrings", "/book/strings.xml")]
    parts = []
    for n, (name, sheet_id, rid, state, kind) in enumerate(sheets):
        state_attr = f' state="{state}"' if state else ""
        escaped = name.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
        entries.append(f'<sheet name="{escaped}" sheetId="{sheet_id}"{state_attr} '
                       f'r:id="rIdWrong" rel:id="{rid}"/>')
        rel_type, pattern = types[kind]
        target = pattern.format(len(sheets) - n)
        rels.append((rid, rel_type, target))
        root = {"worksheet": "worksheet", "chartsheet": "chartsheet",
                "macrosheet": "worksheet", "dialogsheet": "dialogsheet"}[kind]
        if kind == "chartsheet":
            parts.append((f"book/{target}", f'<chartsheet xmlns="{MAIN}"/>'))
        else:
            parts.append((f"book/{target}",
                          sheet_xml(f'<row r="1"><c r="A1" t="inlineStr"><is><t>{escaped}</t></is></c></row>',
                                    root=root)))
    workbook = (f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{MAIN}" '
                f'xmlns:r="urn:not-relationships" xmlns:rel="{RELS}"><sheets>'
                + "".join(entries) + "</sheets></workbook>")
    strings = f'<sst xmlns="{MAIN}" count="0" uniqueCount="0"/>'
    write("kinds.xlsx", package(
        [("[Content_Types].xml", content_types()),
         ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "book/main.xml")])),
         ("book/main.xml", workbook),
         ("book/_rels/main.xml.rels", relationships(rels)),
         ("book/strings.xml", strings)] + parts))


def content_types():
    return ('<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/'
            'package/2006/content-types"><Default Extension="xml" ContentType="application/xml"/>'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
            'relationships+xml"/></Types>')


def standard_package(sheet_rows, strings=None, styles=None, date1904=False, names=None,
                     ns=MAIN, rels_ns=RELS, stored=False, extra=None):
    """A package laid out as Excel lays it out: xl/workbook.xml, xl/worksheets/sheetN.xml."""
    names = names or [f"Sheet{i + 1}" for i in range(len(sheet_rows))]
    entries = "".join(f'<sheet name="{n}" sheetId="{i + 1}" r:id="rId{i + 10}"/>'
                      for i, n in enumerate(names))
    pr = '<workbookPr date1904="1"/>' if date1904 else ""
    workbook = (f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{ns}" xmlns:r="{rels_ns}">'
                f'{pr}<sheets>{entries}</sheets></workbook>')
    rels = [(f"rId{i + 10}", rels_ns + "/worksheet", f"worksheets/sheet{i + 1}.xml")
            for i in range(len(sheet_rows))]
    parts = [("[Content_Types].xml", content_types()),
             ("_rels/.rels", relationships([("rId1", rels_ns + "/officeDocument", "xl/workbook.xml")])),
             ("xl/workbook.xml", workbook)]
    if strings is not None:
        rels.append(("rId1", rels_ns + "/sharedStrings", "sharedStrings.xml"))
        parts.append(("xl/sharedStrings.xml", f'<sst xmlns="{ns}">{strings}</sst>'))
    if styles is not None:
        rels.append(("rId2", rels_ns + "/styles", "styles.xml"))
        parts.append(("xl/styles.xml", f'<styleSheet xmlns="{ns}">{styles}</styleSheet>'))
    parts.append(("xl/_rels/workbook.xml.rels", relationships(rels)))
    for i, rows in enumerate(sheet_rows):
        parts.append((f"xl/worksheets/sheet{i + 1}.xml", sheet_xml(rows, ns)))
    return package(parts + (extra or []), stored)


CELL_STYLES = (
    '<numFmts><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>'
    '<numFmt numFmtId="165" formatCode="0.00_);[Red]\\(0.00\\)"/>'
    '<numFmt numFmtId="166" formatCode="h:mm AM/PM"/></numFmts>'
    '<cellStyleXfs><xf numFmtId="14"/></cellStyleXfs>'
    '<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/>'
    '<xf numFmtId="22"/><xf numFmtId="166"/><xf numFmtId="49"/></cellXfs>')


def make_cells_xlsx():
    """Cell values of every kind: shared strings (rich text, phonetic runs, escapes), inline
    strings, numbers, booleans, errors, dates by built-in and custom formats, cells without a
    reference, a gap row and a gap column inside the used range."""
    strings = ("<si><t>Plain</t></si>"
               "<si><r><t>Ri</t></r><r><rPr><b/></rPr><t>ch</t></r></si>"
               "<si><t>東京</t><rPh sb=\"0\" eb=\"2\"><t>トウキョウ</t></rPh></si>"
               "<si><t>Tab_x0009_and_x000D__x000A_break</t></si>"
               "<si><t xml:space=\"preserve\">  spaced  </t></si>")
    rows = (
        '<row r="2"><c r="B2" t="s"><v>0</v></c><c r="C2" t="s"><v>1</v></c>'
        '<c r="D2" t="s"><v>2</v></c><c r="E2" t="s"><v>3</v></c><c r="F2" t="s"><v>4</v></c></row>'
        '<row r="3"><c r="B3"><v>42</v></c><c r="C3"><v>-0.5</v></c><c r="D3"><v>1234567.891</v></c>'
        '<c r="E3" t="n"><v>3.14159265358979</v></c><c r="F3" s="3"><v>7.5</v></c></row>'
        '<row r="4"><c r="B4" t="b"><v>1</v></c><c r="C4" t="b"><v>0</v></c>'
        '<c r="D4" t="e"><v>#N/A</v></c><c r="E4" t="str"><f>A1</f><v>formula text</v></c>'
        '<c r="F4" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c></row>'
        '<row r="6"><c r="B6" s="1"><v>45366</v></c><c r="C6" s="2"><v>45366</v></c>'
        '<c r="D6" s="4"><v>45366.75</v></c><c r="E6" s="5"><v>0.5625</v></c>'
        '<c r="F6" s="6"><v>12</v></c></row>'
        '<row><c><v>1</v></c><c s="1"/><c><v>3</v></c></row>'
        '<row r="9" spans="1:8"><c r="H9" s="1"/></row>')
    write("cells.xlsx", standard_package([rows], strings=strings, styles=CELL_STYLES,
                                         names=["Cells"]))
    # The same serials in the 1904 date system.
    write("date1904.xlsx", standard_package(
        ['<row r="1"><c r="A1" s="1"><v>0</v></c><c r="B1" s="1"><v>43904</v></c></row>'],
        styles=CELL_STYLES, date1904=True, names=["1904"]))


def make_strict_xlsx():
    """ISO/IEC 29500 strict: the purl.oclc.org namespaces and relationship types; one date cell
    stored as an ISO 8601 date."""
    strings = "<si><t>严格</t></si>"
    styles = '<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>'
    rows = ('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>2.5</v></c>'
            '<c r="C1" t="d" s="1"><v>2024-03-15T00:00:00</v></c></row>')
    write("strict.xlsx", standard_package([rows, ""], strings=strings, styles=styles,
                                          names=["严格一", "Strict Two"], ns=STRICT_MAIN,
                                          rels_ns=STRICT_RELS))


def make_xlsx_failures():
    good = standard_package(['<row r="1"><c r="A1"><v>1</v></c></row>'])
    # A word-processing package: an office document that is not a workbook.
    write("document.docx.xlsx", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "word/document.xml")])),
        ("word/document.xml",
         '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"/>')]))
    write("plain.zip.xlsx", package([("readme.txt", "just a zip")]))
    write("binary.xlsb", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "xl/workbook.bin")])),
        ("xl/workbook.bin", b"\x83\x01\x00")]))
    write("malformed_workbook.xlsx", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "xl/workbook.xml")])),
        ("xl/workbook.xml", f'<workbook xmlns="{MAIN}"><sheets><sheet name="A"'),
        ("xl/_rels/workbook.xml.rels", relationships([]))]))
    write("missing_sheet_rel.xlsx", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "xl/workbook.xml")])),
        ("xl/workbook.xml", f'<workbook xmlns="{MAIN}" xmlns:r="{RELS}"><sheets>'
                            '<sheet name="A" sheetId="1" r:id="rId5"/></sheets></workbook>'),
        ("xl/_rels/workbook.xml.rels", relationships([]))]))
    write("truncated.xlsx", good[: len(good) // 2])
    # A billion-laughs DTD in the workbook part.
    laughs = ('<?xml version="1.0"?><!DOCTYPE workbook [<!ENTITY a "aaaaaaaaaa">'
              + "".join(f'<!ENTITY {chr(98 + i)} "{("&" + chr(97 + i) + ";") * 10}">'
                        for i in range(8))
              + f']><workbook xmlns="{MAIN}" xmlns:r="{RELS}"><sheets>'
                '<sheet name="&i;" sheetId="1" r:id="rId1"/></sheets></workbook>')
    write("entity_bomb.xlsx", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "xl/workbook.xml")])),
        ("xl/workbook.xml", laughs),
        ("xl/_rels/workbook.xml.rels",
         relationships([("rId1", RELS + "/worksheet", "worksheets/sheet1.xml")]))]))
    # Nesting far deeper than any workbook part.
    deep = (f'<workbook xmlns="{MAIN}">' + "<a>" * 100000 + "</a>" * 100000 + "</workbook>")
    write("deep_nesting.xlsx", package([
        ("_rels/.rels", relationships([("rId1", RELS + "/officeDocument", "xl/workbook.xml")])),
        ("xl/workbook.xml", deep),
        ("xl/_rels/workbook.xml.rels", relationships([]))]))
    # A cell at each corner of the grid: a used range far too large to print.
    write("far_corners.xlsx", standard_package(
        ['<row r="1"><c r="A1"><v>1</v></c></row>'
         '<row r="1048576"><c r="XFD1048576"><v>2</v></c></row>']))
    write("outside_grid.xlsx", standard_package(['<row r="1"><c r="XFE1"><v>1</v></c></row>']))
    # The sheet and the shared strings are damaged; the sheet list must still come out, since
    # listing never reads them.
    write("damaged_sheet.xlsx", damage_entries(standard_package(
        ['<row r="1"><c r="A1" t="s"><v>0</v></c></row>'] * 2, strings="<si><t>x</t></si>",
        names=["One", "Two"], stored=True), ["xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"]))
    # Workbook parts that inflate far past the limit: one says so in the zip directory, the
    # other claims 200 bytes.
    write("zip_bomb.xlsx", zip_bomb(80 << 20, None))
    write("lying_zip_bomb.xlsx", zip_bomb(1 << 20, 200))


def damage_entries(data, names):
    """Flips a byte inside each named stored entry, so its checksum no longer matches."""
    data = bytearray(data)
    with zipfile.ZipFile(__import__("io").BytesIO(bytes(data))) as z:
        for name in names:
            info = z.getinfo(name)
            offset = info.header_offset
            name_len, extra_len = struct.unpack_from("<HH", data, offset + 26)
            start = offset + 30 + name_len + extra_len
            data[start + info.file_size // 2] ^= 0x20
    return bytes(data)


def zip_bomb(size, claimed_size):
    """A package whose workbook part inflates to `size` spaces; the zip directory gives its size
    as `claimed_size`, or truly when that is None."""
    parts = []
    rels = relationships([("rId1", RELS + "/officeDocument", "xl/workbook.xml")]).encode()
    bomb_plain = (f'<workbook xmlns="{MAIN}"><sheets>').encode() + b" " * size
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    bomb = compressor.compress(bomb_plain) + compressor.flush()
    crc = zlib.crc32(bomb_plain)
    for name, plain, packed, method, claimed in [
            ("_rels/.rels", rels, rels, 0, len(rels)),
            ("xl/workbook.xml", bomb_plain, bomb, 8,
             len(bomb_plain) if claimed_size is None else claimed_size)]:
        parts.append((name.encode(), zlib.crc32(plain), packed, method, claimed))
    out = bytearray()
    central = bytearray()
    for name, crc, packed, method, claimed in parts:
        offset = len(out)
        header = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, 0, 0x5821, crc,
                             len(packed), claimed, len(name), 0)
        out += header + name + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, method, 0, 0x5821,
                               crc, len(packed), claimed, len(name), 0, 0, 0, 0, 0, offset) + name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(parts), len(parts), len(central),
                      len(out), 0)
    return bytes(out + central + end)


# ---------------------------------------------------------------- compound files (.xls)

END, FREE, FATSECT = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD


def compound_file(streams):
    """A version-3 compound file holding `streams` ((name, bytes), in the root storage); streams
    under 4096 bytes go to the mini stream, as the format wants."""
    sectors = []
    fat = {}

    def add_chain(data, unit=512):
        if not data:
            return END
        start = len(sectors)
        count = (len(data) + unit - 1) // unit
        for i in range(count):
            sectors.append(data[i * unit:(i + 1) * unit].ljust(unit, b"\0"))
            fat[start + i] = start + i + 1 if i + 1 < count else END
        return start

    mini = bytearray()
    minifat = []
    placed = []
    for name, data in streams:
        if len(data) < 4096:
            start = len(mini) // 64
            count = (len(data) + 63) // 64
            for i in range(count):
                minifat.append(start + i + 1 if i + 1 < count else END)
            mini += data.ljust(count * 64, b"\0")
            placed.append((name, start if data else END, len(data)))
        else:
            placed.append((name, add_chain(data), len(data)))
    mini_start = add_chain(bytes(mini))
    minifat_bytes = b"".join(struct.pack("<I", x) for x in minifat)
    minifat_start = add_chain(minifat_bytes)

    def entry(name, kind, left, right, child, start, size):
        encoded = name.encode("utf-16-le") + b"\0\0"
        return (encoded.ljust(64, b"\0") + struct.pack("<HBB", len(encoded), kind, 1)
                + struct.pack("<III", left, right, child) + b"\0" * 16 + b"\0" * 4
                + b"\0" * 16 + struct.pack("<II", start, size) + b"\0" * 4)

    entries = [entry("Root Entry", 5, FREE, FREE, 1 if placed else FREE, mini_start, len(mini))]
    for i, (name, start, size) in enumerate(placed):
        right = i + 2 if i + 1 < len(placed) else FREE
        entries.append(entry(name, 2, FREE, right, FREE, start, size))
    while len(entries) % 4:
        entries.append(entry("", 0, FREE, FREE, FREE, 0, 0))
    directory_start = add_chain(b"".join(entries))
    # FAT sectors cover every sector, themselves included.
    fat_count = 1
    while fat_count * 128 < len(sectors) + fat_count:
        fat_count += 1
    fat_start = len(sectors)
    for i in range(fat_count):
        fat[fat_start + i] = FATSECT
        sectors.append(b"")
    table = [fat.get(i, FREE) for i in range(fat_count * 128)]
    for i in range(fat_count):
        sectors[fat_start + i] = b"".join(struct.pack("<I", x) for x in table[i * 128:(i + 1) * 128])
    difat = [fat_start + i for i in range(fat_count)] + [FREE] * (109 - fat_count)
    header = (bytes.fromhex("D0CF11E0A1B11AE1") + b"\0" * 16
              + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + b"\0" * 6
              + struct.pack("<IIIIIIIII", 0, fat_count, directory_start, 0, 4096, minifat_start,
                            len(minifat_bytes) // 512 + (1 if len(minifat_bytes) % 512 else 0),
                            END, 0)
              + b"".join(struct.pack("<I", x) for x in difat))
    return header + b"".join(sectors)


def rec(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data


def bof(dt, biff8=True):
    if biff8:
        return rec(0x0809, struct.pack("<HHHHII", 0x0600, dt, 0x0DBB, 0x07CC, 0, 0x0600))
    return rec(0x0809, struct.pack("<HHHH", 0x0500, dt, 0x096C, 0x07C9))


EOF_RECORD = rec(0x000A)


def chars(text):
    """Flags and characters of a BIFF8 string: 8-bit when every character allows it."""
    if all(ord(c) < 256 for c in text):
        return b"\0", text.encode("latin-1")
    return b"\1", text.encode("utf-16-le")


def ustr16(text):
    flags, data = chars(text)
    return struct.pack("<H", len(text)) + flags + data


def ustr8(text):
    flags, data = chars(text)
    return struct.pack("<B", len(text)) + flags + data


def sst_records(strings, limit):
    """SST and CONTINUE records of at most `limit` payload bytes. A string's header never splits;
    its characters may, and then the next record starts with a flags byte. Entries are a text,
    or (text, runs, phonetic bytes) for rich and phonetic strings."""
    records = [bytearray(struct.pack("<II", len(strings), len(strings)))]

    def room():
        return limit - len(records[-1])

    for item in strings:
        text, runs, ext = (item, 0, b"") if isinstance(item, str) else item
        flags, data = chars(text)
        wide = flags == b"\1"
        header = struct.pack("<H", len(text)) + bytes([flags[0] | (8 if runs else 0) | (4 if ext else 0)])
        if runs:
            header += struct.pack("<H", runs)
        if ext:
            header += struct.pack("<I", len(ext))
        if room() < len(header) + (2 if wide else 1):
            records.append(bytearray())
        records[-1] += header
        rest = text
        while rest:
            width = 2 if wide else 1
            take = min(len(rest), room() // width)
            if take == 0:
                # Continue in a new record, switching to UTF-16 for what is left when it can.
                wide = not all(ord(c) < 256 for c in rest) or len(records) % 2 == 0
                records.append(bytearray([1 if wide else 0]))
                continue
            piece = rest[:take]
            records[-1] += piece.encode("utf-16-le" if wide else "latin-1")
            rest = rest[take:]
        tail = b"\x01\x00\x02\x00" * runs + ext
        while tail:
            if room() == 0:
                records.append(bytearray())
            take = min(len(tail), room())
            records[-1] += tail[:take]
            tail = tail[take:]
    return rec(0x00FC, bytes(records[0])) + b"".join(rec(0x003C, bytes(r)) for r in records[1:])


def rk_int(value):
    return ((value << 2) | 2) & 0xFFFFFFFF


def cell(row, col, xf=0):
    return struct.pack("<HHH", row, col, xf)


def biff8_workbook(sheets, globals_extra=b"", sst=b"", filepass=False, date1904=False,
                   formats=(), xfs=(0,)):
    """A BIFF8 workbook stream. `sheets` are (name, state, type, substream records)."""
    head = bof(5)
    if filepass:
        head += rec(0x002F, struct.pack("<HHH", 1, 1, 2) + b"\x55" * 48)
    head += rec(0x0042, struct.pack("<H", 1200))
    head += rec(0x0022, struct.pack("<H", 1 if date1904 else 0))
    for fid, code in formats:
        head += rec(0x041E, struct.pack("<H", fid) + ustr16(code))
    for ifmt in xfs:
        head += rec(0x00E0, struct.pack("<HHHBBBBIIH", 0, ifmt, 0, 0x20, 0, 0, 0, 0, 0, 0x20C0))
    head += globals_extra

    def boundsheets(positions):
        return b"".join(rec(0x0085, struct.pack("<IBB", pos, state, kind) + ustr8(name))
                        for pos, (name, state, kind, _) in zip(positions, sheets))

    tail = sst + EOF_RECORD
    base = len(head) + len(boundsheets([0] * len(sheets))) + len(tail)
    positions, offset = [], base
    for _, _, _, body in sheets:
        positions.append(offset)
        offset += len(body)
    return head + boundsheets(positions) + tail + b"".join(body for *_, body in sheets)


def sheet_stream(dt, cells=b"", wsbool=None):
    body = bof(dt)
    if wsbool is not None:
        body += rec(0x0081, struct.pack("<H", wsbool))
    return body + cells + EOF_RECORD


def make_kinds_xls():
    """BIFF8 with every sheet type and visibility, a VB module (not a sheet), compressed and
    UTF-16 names, and a first sheet with every kind of cell record. The shared strings are cut
    into many CONTINUE records so that strings, rich-text runs and phonetic data straddle them."""
    long_text = "Continued " * 12 + "中文继续" + " tail"
    strings = ["Name", "数量", long_text, ("Rich text", 3, b""), ("Phonetic", 0, b"\x01" * 30),
               "last"]
    sst = sst_records(strings, 37)
    cells = b"".join([
        rec(0x00FD, cell(0, 0) + struct.pack("<I", 0)),
        rec(0x00FD, cell(0, 1) + struct.pack("<I", 1)),
        rec(0x00FD, cell(0, 2) + struct.pack("<I", 2)),
        rec(0x0201, cell(0, 9)),  # BLANK: formatted only, outside the used range
        rec(0x027E, cell(1, 0) + struct.pack("<I", rk_int(42))),
        rec(0x027E, cell(1, 1) + struct.pack("<I", rk_int(1234) | 1)),  # 12.34
        rec(0x027E, cell(1, 2) + struct.pack("<I", (struct.unpack("<Q", struct.pack("<d", 0.5))[0] >> 32))),
        rec(0x00BD, struct.pack("<HH", 2, 0) + struct.pack("<HI", 0, rk_int(7))
            + struct.pack("<HI", 0, rk_int(-3)) + struct.pack("<HI", 0, rk_int(1)) + struct.pack("<H", 2)),
        rec(0x0203, cell(3, 0) + struct.pack("<d", 123456789012.0)),
        rec(0x0203, cell(3, 1, 1) + struct.pack("<d", 45366.0)),  # XF 1: built-in 14
        rec(0x0203, cell(3, 2, 2) + struct.pack("<d", 45366.0)),  # XF 2: custom date
        rec(0x0205, cell(4, 0) + struct.pack("<BB", 1, 0)),
        rec(0x0205, cell(4, 1) + struct.pack("<BB", 0x07, 1)),
        rec(0x0006, cell(4, 2) + struct.pack("<BBBBBBH", 0, 0, 0, 0, 0, 0, 0xFFFF)
            + struct.pack("<HI", 0, 0) + struct.pack("<H", 0)),
        rec(0x0207, ustr16("公式结果")),
        rec(0x0006, cell(5, 0) + struct.pack("<d", 2.5) + struct.pack("<HI", 0, 0) + struct.pack("<H", 0)),
        rec(0x0006, cell(5, 1) + struct.pack("<BBBBBBH", 1, 0, 1, 0, 0, 0, 0xFFFF)
            + struct.pack("<HI", 0, 0) + struct.pack("<H", 0)),
        rec(0x0204, cell(5, 2) + ustr16("Label")),
        rec(0x00FD, cell(6, 0) + struct.pack("<I", 3)),
        rec(0x00FD, cell(6, 1) + struct.pack("<I", 4)),
        rec(0x00FD, cell(6, 2) + struct.pack("<I", 5)),
    ])
    # Enough rows that the stream is over 4096 bytes and lives in regular sectors.
    table = b"".join(rec(0x027E, cell(8 + r, c) + struct.pack("<I", rk_int(r * 10 + c)))
                     for r in range(80) for c in range(3))
    sheets = [
        ("工作表", 0, 0, sheet_stream(0x10, cells + table)),
        ("Chart1", 0, 2, sheet_stream(0x20)),
        ("Module1", 1, 6, sheet_stream(0x06)),
        ("Hidden", 1, 0, sheet_stream(0x10, rec(0x0204, cell(0, 0) + ustr16("secret")))),
        ("Very Hidden", 2, 0, sheet_stream(0x10)),
        ("Macro1", 0, 1, sheet_stream(0x40)),
        ("Ünïcödé", 0, 0, sheet_stream(0x10)),
    ]
    stream = biff8_workbook(sheets, sst=sst, formats=[(164, 'yyyy"年"m"月"d"日"')],
                            xfs=(0, 14, 164))
    assert len(stream) >= 4096, len(stream)
    write("kinds.xls", compound_file([("Workbook", stream)]))
    return stream


def make_biff5_gbk():
    """A BIFF5 workbook (stream "book", lower case) in code page 936 with GBK names and labels."""
    def label(row, col, text):
        data = text.encode("gbk")
        return rec(0x0204, cell(row, col) + struct.pack("<H", len(data)) + data)

    names = ["销售数据", "汇总", "Sheet3"]
    sheets = [label(0, 0, "产品") + label(0, 1, "数量") + label(1, 0, "苹果")
              + rec(0x027E, cell(1, 1) + struct.pack("<I", rk_int(12))), b"", b""]
    head = bof(5, False) + rec(0x0042, struct.pack("<H", 936))
    head += rec(0x00E0, struct.pack("<HHHH", 0, 0, 0, 0) + b"\0" * 8)

    def boundsheets(positions):
        out = b""
        for pos, name in zip(positions, names):
            data = name.encode("gbk")
            out += rec(0x0085, struct.pack("<IBBB", pos, 0, 0, len(data)) + data)
        return out

    base = len(head) + len(boundsheets([0] * 3)) + len(EOF_RECORD)
    positions, bodies, offset = [], [], base
    for cells in sheets:
        body = bof(0x10, False) + cells + EOF_RECORD
        positions.append(offset)
        bodies.append(body)
        offset += len(body)
    stream = head + boundsheets(positions) + EOF_RECORD + b"".join(bodies)
    write("biff5_gbk.xls", compound_file([("book", stream)]))


def make_xls_failures(kinds_stream):
    sheets = [("Sheet1", 0, 0, sheet_stream(0x10))]
    write("encrypted.xls", compound_file([("Workbook", biff8_workbook(sheets, filepass=True))]))
    # Agile encryption as Office writes it: the package is encrypted inside a compound file.
    write("encrypted.xlsx", compound_file([
        ("EncryptionInfo", struct.pack("<HHI", 4, 4, 0x40) + b"<encryption/>"),
        ("EncryptedPackage", struct.pack("<Q", 5000) + bytes(range(256)) * 20),
        ("\x06DataSpaces", b"")]))
    write("no_workbook.xls", compound_file([("WordDocument", b"\xEC\xA5" + b"\0" * 5000)]))
    kinds = open(os.path.join(OUT, "kinds.xls"), "rb").read()
    write("truncated.xls", kinds[: len(kinds) // 2])
    # The workbook stream's chain loops back on itself.
    looped = bytearray(kinds)
    fat_sector = struct.unpack_from("<I", looped, 76)[0]
    fat_offset = 512 * (fat_sector + 1)
    first = 0  # the workbook stream was placed first
    struct.pack_into("<I", looped, fat_offset + 4 * (first + 3), first + 1)
    write("fat_loop.xls", bytes(looped))
    # A header that claims more FAT sectors than the file could hold.
    absurd = bytearray(kinds)
    struct.pack_into("<I", absurd, 44, 0x7FFFFFFF)
    write("absurd_fat.xls", bytes(absurd))
    # A directory whose tree points back at itself, with no workbook stream in it.
    tree = bytearray(compound_file([("Other", b"x" * 100), ("More", b"y" * 100)]))
    directory_sector = struct.unpack_from("<I", tree, 48)[0]
    d = 512 * (directory_sector + 1)
    struct.pack_into("<I", tree, d + 128 * 2 + 68, 1)  # entry 2's left is entry 1
    struct.pack_into("<I", tree, d + 128 * 1 + 68, 2)  # and entry 1's left is entry 2
    write("directory_loop.xls", bytes(tree))
    # A record in the sheet that claims to run past the end of the stream.
    overrun = biff8_workbook([("Sheet1", 0, 0, bof(0x10) + struct.pack("<HH", 0x0203, 8000))])
    write("record_overrun.xls", compound_file([("Workbook", overrun.ljust(4096, b"\0"))]))
    # Shared strings that claim two billion entries and hold one.
    sst = rec(0x00FC, struct.pack("<II", 0x7FFFFFFF, 0x7FFFFFFF) + ustr16("only"))
    absurd_sst = biff8_workbook([("Sheet1", 0, 0, sheet_stream(
        0x10, rec(0x00FD, cell(0, 0) + struct.pack("<I", 0))))], sst=sst)
    write("absurd_sst.xls", compound_file([("Workbook", absurd_sst)]))


def main():
    os.makedirs(OUT, exist_ok=True)
    make_kinds_xlsx()
    make_cells_xlsx()
    make_strict_xlsx()
    make_xlsx_failures()
    make_xls_failures(make_kinds_xls())
    make_biff5_gbk()
    write("not_a_workbook.xlsx", "名称,数量\n苹果,3\n".encode())
    write("empty.xls", b"")


if __name__ == "__main__":
    main()
