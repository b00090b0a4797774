#!/usr/bin/python3
"""Makes the fixtures that an office suite can write: LibreOffice Calc, driven headless through
Python-UNO, saves one workbook as .xlsx, .xls (BIFF8), .xltx and .xlsm. (This LibreOffice writes
no BIFF5 and no password-protected file through the API: make_fixtures.py makes those.) Run with Debian's /usr/bin/python3 (python3-uno, libreoffice-calc-nogui):
    /usr/bin/python3 tests/data/make/make_office_fixtures.py tests/data
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

OUT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "tests/data")


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def connect():
    profile = tempfile.mkdtemp(prefix="lo-profile-")
    office = subprocess.Popen([
        "soffice", "--headless", "--invisible", "--nologo", "--norestore",
        f"-env:UserInstallation=file://{profile}",
        "--accept=socket,host=127.0.0.1,port=2083;urp;",
    ])
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(100):
        try:
            context = resolver.resolve(
                "uno:socket,host=127.0.0.1,port=2083;urp;StarOffice.ComponentContext")
            return office, context
        except Exception:
            time.sleep(0.3)
    raise SystemExit("LibreOffice did not start")


def locale(language, country):
    loc = uno.createUnoStruct("com.sun.star.lang.Locale")
    loc.Language = language
    loc.Country = country
    return loc


def number_format(doc, code):
    formats = doc.getNumberFormats()
    loc = locale("en", "US")
    key = formats.queryKey(code, loc, False)
    return key if key != -1 else formats.addNew(code, loc)


# Sheet names: Chinese and Latin, more than ten, the third one hidden.
NAMES = ["数据", "季度报表", "隐藏", "Summary", "一月", "二月", "三月", "四月", "五月", "六月",
         "七月", "八月"]


def build(desktop):
    doc = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                       (prop("Hidden", True),))
    sheets = doc.getSheets()
    sheets.getByIndex(0).setName(NAMES[0])
    for index, name in enumerate(NAMES[1:], start=1):
        sheets.insertNewByName(name, index)
    data = sheets.getByName("数据")
    rows = [
        ["Name", "Amount", "Ratio", "Paid", "Due"],
        ["苹果", 1234.5, 0.125, None, None],
        ["Banana", 123456789012, 1e-10, None, None],
    ]
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            cell = data.getCellByPosition(c, r)
            if isinstance(value, str):
                cell.setString(value)
            elif value is not None:
                cell.setValue(float(value))
    data.getCellByPosition(3, 1).setFormula("=TRUE()")
    data.getCellByPosition(3, 2).setFormula("=FALSE()")
    # 2024-03-15 as the short date, and 2024-03-15 13:45:30 with an explicit format.
    due = data.getCellByPosition(4, 1)
    due.setValue(45366.0)
    due.NumberFormat = number_format(doc, "YYYY/M/D")
    stamp = data.getCellByPosition(4, 2)
    stamp.setValue(45366 + (13 * 3600 + 45 * 60 + 30) / 86400)
    stamp.NumberFormat = number_format(doc, "YYYY-MM-DD HH:MM:SS")
    # Formulas with number, string and error results; row 5 stays empty inside the used range.
    data.getCellByPosition(0, 3).setFormula("=A2&\"!\"")
    data.getCellByPosition(1, 3).setFormula("=B2*2")
    data.getCellByPosition(2, 3).setFormula("=1/0")
    data.getCellByPosition(2, 5).setString("end")
    report = sheets.getByName("季度报表")
    for r, row in enumerate([["季度", "收入"], ["一季度", 100], ["二季度", 250.75]]):
        for c, value in enumerate(row):
            cell = report.getCellByPosition(c, r)
            if isinstance(value, str):
                cell.setString(value)
            else:
                cell.setValue(float(value))
    sheets.getByName("隐藏").IsVisible = False
    return doc


def save(doc, name, filter_name, *extra):
    path = os.path.join(OUT, name)
    if os.path.exists(path):
        os.remove(path)
    doc.storeToURL(uno.systemPathToFileUrl(path), (prop("FilterName", filter_name),) + extra)
    print("wrote", path)


def main():
    office, context = connect()
    try:
        desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        doc = build(desktop)
        save(doc, "office_book.xlsx", "Calc MS Excel 2007 XML")
        save(doc, "office_book.xls", "MS Excel 97")
        save(doc, "office_template.xltx", "Calc MS Excel 2007 XML Template")
        save(doc, "office_macros.xlsm", "Calc MS Excel 2007 VBA XML")
        doc.close(True)
    finally:
        try:
            desktop.terminate()
        except Exception:
            pass
        office.wait(timeout=30)


if __name__ == "__main__":
    main()
