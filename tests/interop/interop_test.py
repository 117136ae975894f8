#!/usr/bin/env python3
"""Runs the real logweave on tables written by other DBF writers.

    interop_test.py --writer python3-dbf|shapelib --logweave PATH --work DIR

The tables are written into DIR by python3-dbf (make_dbf_tables.py) or by
shapelib's dbfcreate/dbfadd (make_shapelib_table.sh). What logweave must
print is worked out here from the values written, by the conversion rules
the manual page gives, not by logweave's code:

- `fields` lists exactly the table's columns (a trailer after the column
  descriptions, such as Visual FoxPro's 263 bytes, is never a column);
- `convert` writes CALL first, then the fields of the earlier columns from
  the nearest back, then the later ones; trailing blanks go, colons go under
  TIME keywords, S/s/T/t become Y under QSL_SENT and QSL_RCVD, an empty value
  gives no field, a NUL ends a value, a record without a call gives <EOR>
  alone, deleted records are converted unless --skip-deleted;
- without the newer options every value is the table's bytes as stored;
  --memo gives the memo texts; --charset utf-8 gives back the very text that
  was written, read in the table's code page; --charset ascii plain ASCII.

Before logweave is run, each table is read back here with a small reader of
its own, so that a writer that stores something else than expected is
reported as such and not blamed on logweave.

Exit status: 0 all passed, 1 a check failed, 77 the writer is not installed.
"""

import argparse
import datetime
import json
import os
import shutil
import struct
import subprocess
import sys
import time
import unicodedata
import xml.etree.ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import contact_log  # noqa: E402

SKIPPED = 77

# The keywords of logweave's catalogue (`logweave catalogue`): --auto maps a
# column whose name is one of them.
CATALOGUE = set("""ADDRESS AGE ARRL_SECT BAND CALL CNTY COMMENT CONT
    CONTEST_ID CQZ DXCC FREQ GRIDSQUARE IOTA ITUZ MODE NAME NOTES OPERATOR PFX
    PROP_MODE QSLMSG QSLRDATE QSLSDATE QSL_RCVD QSL_SENT QSL_VIA QSO_DATE QTH
    RST_RCVD RST_SENT RX_PWR SAT_MODE SAT_NAME SRX STATE STX TEN_TEN TIME_OFF
    TIME_ON TX_PWR VE_PROV""".split())
SKIP_WORD = {"en": "Skip", "es": "Omitir"}

# Letters that do not decompose into a base letter and accents.
ASCII_LETTERS = {"ß": "ss", "Æ": "AE", "æ": "ae", "Ø": "O", "ø": "o",
                 "Œ": "OE", "œ": "oe", "Ð": "D", "ð": "d"}


# ---------------------------------------------------------------------------
# Reading a table back, independently of logweave.

class RawTable:
    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        self.version = data[0]
        self.year, self.month, self.day = data[1], data[2], data[3]
        self.count, self.header_length, self.record_length = struct.unpack(
            "<IHH", data[4:12])
        self.driver = data[29]
        self.descriptors = []  # (name, type, length, decimals)
        offset = 32
        while data[offset] != 0x0D:
            block = data[offset:offset + 32]
            name = block[:11].split(b"\0")[0].decode("ascii")
            self.descriptors.append((name, chr(block[11]), block[16],
                                     block[17]))
            offset += 32
        self.records = []  # (deletion flag, [column bytes])
        position = self.header_length
        for _ in range(self.count):
            record = data[position:position + self.record_length]
            position += self.record_length
            values, at = [], 1
            for _, _, length, _ in self.descriptors:
                values.append(record[at:at + length])
                at += length
            self.records.append((record[0:1], values))


# ---------------------------------------------------------------------------
# What the writers store, and what logweave must make of it.

def stored_bytes(table, column, value):
    """The bytes a writer stores for a value of a non-memo column."""
    _, kind, length, decimals = column
    if value is None or value == "":
        if kind == "N" and table["writer"] == "shapelib":
            return b"*" * length  # shapelib's NULL number
        return b" " * length
    if kind == "C":
        return value.encode("cp%d" % table["code_page"]).ljust(length, b" ")
    if kind == "D":
        return value.strftime("%Y%m%d").encode()
    if kind == "N":
        return ("%*.*f" % (length, decimals, value)).encode()
    if kind == "L":
        return b"T" if value else b"F"
    raise ValueError("no model for column type " + kind)


def apply_rules(keyword, value):
    """A stored value under a keyword, or None when it gives no field."""
    if keyword.startswith("TIME"):
        value = value.replace(b":", b"")
    if keyword in ("QSL_SENT", "QSL_RCVD"):
        value = value.translate(bytes.maketrans(b"SsTt", b"YYYY"))
    value = value.rstrip(b" ")
    if not value:
        return None
    return value.split(b"\0")[0]


def ascii_spelling(text):
    out = []
    for char in text:
        if ord(char) < 0x80:
            out.append(char)
        elif char in ASCII_LETTERS:
            out.append(ASCII_LETTERS[char])
        else:
            base = "".join(c for c in unicodedata.normalize("NFKD", char)
                           if not unicodedata.combining(c))
            out.append(base if base and base.isascii() else "?")
    return "".join(out)


def encode(value, charset, code_page):
    if charset == "keep":
        return value
    text = value.decode("cp%d" % code_page)
    if charset == "utf-8":
        return text.encode("utf-8")
    return ascii_spelling(text).encode("ascii")


def in_line_order(fields):
    """The (keyword, value) pairs of a record in the order written: CALL
    first, then the earlier fields from the nearest back, then the later
    ones; none when there is no CALL."""
    held, line = [], None
    for field in fields:
        if line is not None:
            line.append(field)
            continue
        held.append(field)
        if field[0] == "CALL":
            line = held[::-1]
    return line or []


def record_line(fields):
    """The ADIF line of a record from its (keyword, value) pairs in column
    order."""
    return b"".join(b"<%s:%d>%s " % (keyword.encode(), len(value), value)
                    for keyword, value in in_line_order(fields)) + b"<EOR>\r\n"


class Case:
    """One run of `logweave convert` and what it must write."""

    def __init__(self, name, args, mapping, memo=False, charset="keep",
                 code_page=None, skip_deleted=False, lang="en",
                 to_file=False, ascii_only=False, adx=False):
        self.name, self.args, self.mapping = name, args, mapping
        self.memo, self.charset, self.code_page = memo, charset, code_page
        self.skip_deleted, self.lang = skip_deleted, lang
        self.to_file, self.ascii_only, self.adx = to_file, ascii_only, adx


def record_fields(table, raw, case):
    """Per written record, its (keyword, stored value after the value rules)
    pairs in column order."""
    columns = table["columns"]
    records = []
    for index, contact in enumerate(table["contacts"]):
        if case.skip_deleted and index in table["deleted"]:
            continue
        fields = []
        for number, column in enumerate(columns):
            name = column[0].upper()
            keyword = case.mapping.get(name)
            if keyword is None:
                continue
            if column[1] == "M":
                if case.memo:
                    value = (contact.get(name) or "").encode(
                        "cp%d" % table["code_page"])
                else:
                    value = raw.records[index][1][number]  # the block number
            else:
                value = stored_bytes(table, column, contact.get(name))
            value = apply_rules(keyword, value)
            if value is not None:
                fields.append((keyword, value))
        records.append(fields)
    return records


def expected_records(table, raw, case):
    """The record lines of a run, and how many values --charset changes."""
    lines, changed = [], 0
    for fields in record_fields(table, raw, case):
        lines.append(record_line([(keyword, encode(value, case.charset,
                                                   case.code_page))
                                  for keyword, value in fields]))
        # A record without a call sign writes none of its values.
        if case.charset != "keep" and any(k == "CALL" for k, _ in fields):
            changed += sum(1 for _, value in fields
                           if any(b >= 0x80 for b in value))
    return b"".join(lines), changed


def expected_fields(table, raw, lang):
    created, with_ = (("Creado el", "con") if lang == "es"
                      else ("Created in", "with"))
    lines = ["%s: %02d-%02d-%02d %s %d Qso's" % (
        created, raw.day, raw.month, raw.year, with_, len(table["contacts"]))]
    for name, kind, length, decimals in raw.descriptors:
        lines.append("%-12s  %c  %9d %10d %s" % (name, kind, length, decimals,
                                                 SKIP_WORD[lang]))
    return ("\n".join(lines) + "\n").encode("latin-1")


def cases_for(table):
    """The runs for a table: mappings, memo, code pages and character sets."""
    # Mappings are keyed by the upper-case column name; the options spell
    # the names in other cases on purpose.
    names = [c[0].upper() for c in table["columns"]]
    auto = {n: n for n in names if n in CATALOGUE}
    page = table["code_page"]
    # Where the header names the code page, let logweave find it.
    page_args = (["--codepage", "auto"] if table["driver_names_code_page"]
                 else ["--codepage", str(page)])
    memo = ["--memo"] if table["memo"] else []
    cases = [
        Case("--auto", ["--auto"], auto),
        Case("utf-8", ["--auto"] + memo + page_args + ["--charset", "utf-8"],
             auto, memo=bool(memo), charset="utf-8", code_page=page),
    ]
    cases.append(
        Case("adx", ["--auto"] + memo + page_args + ["--format", "adx"],
             auto, memo=bool(memo), code_page=page, adx=True))
    if table["kind"] == "empty":
        return cases
    cases.append(
        Case("ascii", ["--auto"] + memo + page_args + ["--charset", "ascii"],
             auto, memo=bool(memo), charset="ascii", code_page=page,
             ascii_only=table["kind"] == "chars"))
    if table["kind"] != "log":
        return cases
    cases += [
        Case("--auto, default output file", ["--auto"], auto, to_file=True),
        Case("--auto --skip-deleted", ["--auto", "--skip-deleted"], auto,
             skip_deleted=True),
    ]
    # Spanish, with a column left out by the Spanish skip word and a logical
    # column taken as a QSL flag (T becomes Y, F stays).
    spanish = dict(auto)
    del spanish["BAND"]
    args = ["--lang", "es", "--auto", "--map", "BAND=Omitir"]
    if "LOTW" in names:
        spanish["LOTW"] = "QSL_RCVD"
        args += ["--map", "lotw=qsl_rcvd"]
    cases.append(Case("--lang es, Omitir, L as QSL", args, spanish,
                      lang="es"))
    # Explicit mapping only: names in any case, column numbers, keywords
    # outside the catalogue, the code page given outright.
    explicit = {"CALL": "CALL", "QSO_DATE": "QSO_DATE", "TIME_ON": "TIME_OFF",
                "NAME": "COMMENT", "MODE": "SUBMODE", "FREQ": "FREQ_RX"}
    args = ["--map", "call=CALL,#1=QSO_DATE", "--map", "time_on=time_off",
            "--map", "Name=COMMENT", "--map", "#5=SUBMODE",
            "--map", "#%d=freq_rx" % (names.index("FREQ") + 1)]
    if "NOTES" in names:
        explicit["NOTES"] = "NOTES"
        args += ["--map", "notes=NOTES", "--memo"]
    cases.append(Case("explicit --map, utf-8",
                      args + ["--codepage", str(page), "--charset", "utf-8"],
                      explicit, memo="NOTES" in names, charset="utf-8",
                      code_page=page))
    return cases


# ---------------------------------------------------------------------------
# The shapelib tables.

def shapelib_tables(folder):
    """dBase III tables written by dbfcreate/dbfadd: character and number
    columns only (dates and flags as characters, no memo); the language
    driver byte is always 0x57 (Windows ANSI), so for the other pages the code
    page is given on the command line, as a user would."""
    script = os.path.join(HERE, "make_shapelib_table.sh")
    as_text = {"D": ("C", 8), "L": ("C", 1)}
    log_columns = [(n, as_text.get(k, (k, l))[0], as_text.get(k, (k, l))[1], d)
                   for n, k, l, d in contact_log.COLUMNS if k != "M"]
    # dbfadd keeps leading blanks, so this writer also shows they stay.
    log_contacts = [dict(c) for c in contact_log.CONTACTS] + [dict(
        QSO_DATE=datetime.date(2005, 1, 8), TIME_ON="06:00", CALL="OH2BH",
        BAND="20M", MODE="SSB", FREQ=14.2, NAME="  Väinö Virtanen",
        QSL_SENT="S", LOTW=False)]
    tables = []
    # Shapefile tools often write lower-case column names: so does the 437
    # table (--auto and --map ignore the letter case).
    lower_columns = [(n.lower(), k, l, d) for n, k, l, d in log_columns]
    jobs = [("log", 1252, log_columns, log_contacts),
            ("log", 850, log_columns, [dict(c) for c in log_contacts]),
            ("log", 437, lower_columns, [dict(c) for c in log_contacts])]
    # 862 and 1257 are pages python3-dbf cannot write.
    jobs += [("chars", page, contact_log.CHARSET_COLUMNS[:2],
              contact_log.charset_contacts(page))
             for page in (1252, 850, 437, 862, 1257)]
    jobs.append(("empty", 1252, log_columns, []))
    for kind, page, columns, contacts in jobs:
        # Values as dbfadd takes them: dates and flags spelled out, text in
        # the code page's bytes.
        rows = b""
        for contact in contacts:
            for name, _, _, decimals in columns:
                name = name.upper()
                value = contact.get(name)
                if isinstance(value, datetime.date):
                    value = value.strftime("%Y%m%d")
                elif isinstance(value, bool):
                    value = "T" if value else "F"
                elif isinstance(value, float):
                    value = "%.*f" % (decimals, value)
                elif value is None:
                    value = ""
                contact[name] = value
                rows += value.encode("cp%d" % page) + b"\x1f"
            rows += b"\n"
        path = os.path.join(folder, "shapelib_%s_%d.dbf" % (kind, page))
        options = []
        for name, kind_, length, decimals in columns:
            options += (["-n", name, str(length), str(decimals)]
                        if kind_ == "N" else ["-s", name, str(length)])
        subprocess.run(["bash", script, path] + options, input=rows,
                       check=True)
        # Numbers come back as numbers in the model.
        for contact in contacts:
            if contact.get("FREQ"):
                contact["FREQ"] = float(contact["FREQ"])
        tables.append(dict(
            path=path, writer="shapelib", format="dBase III (shapelib)",
            detail="names in lower case" if page == 437 and kind == "log"
            else "",
            kind=kind, code_page=page, driver_names_code_page=page == 1252,
            columns=columns, contacts=contacts, deleted=set(),
            system_columns=[], memo=False))
    return tables


# ---------------------------------------------------------------------------

class Checker:
    def __init__(self, logweave):
        self.logweave = logweave
        self.runs = 0
        self.failures = []

    def run(self, args, locale="C"):
        self.runs += 1
        env = dict(os.environ, LC_ALL=locale)
        return subprocess.run([self.logweave] + args, capture_output=True,
                              env=env)

    def fail(self, table, what, detail):
        self.failures.append("%s: %s\n    %s" % (
            os.path.basename(table["path"]), what, detail))

    def compare(self, table, what, expected, actual):
        if expected == actual:
            return True
        want, got = expected.split(b"\n"), actual.split(b"\n")
        for number, (a, b) in enumerate(zip(want, got), 1):
            if a != b:
                self.fail(table, what, "line %d\n      expected %r\n      "
                          "got      %r" % (number, a, b))
                return False
        self.fail(table, what, "expected %d lines, got %d (last: %r)" % (
            len(want), len(got), got[-1] if got else b""))
        return False


def check_writer(checker, table, raw):
    """The table holds what was meant to be written; False when not."""
    columns = table["columns"]
    wanted = [(n, k, l, d) for n, k, l, d in columns]
    listed = raw.descriptors[:len(columns)]
    system = [d[0].upper() for d in raw.descriptors[len(columns):]]
    problems = []
    if listed != wanted:
        problems.append("columns %r, meant %r" % (listed, wanted))
    if system != table["system_columns"]:
        problems.append("system columns %r, meant %r" % (
            system, table["system_columns"]))
    if raw.count != len(table["contacts"]):
        problems.append("%d records, meant %d" % (raw.count,
                                                  len(table["contacts"])))
    for index, (flag, values) in enumerate(raw.records):
        want_flag = b"*" if index in table["deleted"] else b" "
        if flag != want_flag:
            problems.append("record %d has flag %r" % (index + 1, flag))
        for column, value in zip(columns, values):
            if column[1] == "M":
                continue
            meant = stored_bytes(table, column,
                                 table["contacts"][index].get(column[0].upper()))
            if value != meant:
                problems.append("record %d %s holds %r, meant %r" % (
                    index + 1, column[0], value, meant))
    for problem in problems:
        checker.fail(table, "the writer did not store what was meant",
                     problem)
    return not problems


def check_table(checker, table, headers):
    raw = RawTable(table["path"])
    if not check_writer(checker, table, raw):
        return
    for lang in ("en", "es") if table["kind"] == "log" else ("en",):
        result = checker.run(["fields", table["path"], "--lang", lang])
        if result.returncode != 0:
            checker.fail(table, "fields --lang " + lang,
                         "exit %d: %s" % (result.returncode, result.stderr))
        else:
            checker.compare(table, "fields --lang " + lang,
                            expected_fields(table, raw, lang), result.stdout)
    for case in cases_for(table):
        what = "convert %s  [%s]" % (" ".join(case.args), case.name)
        if case.to_file:
            output = os.path.splitext(table["path"])[0] + ".ADI"
            if os.path.exists(output):
                os.remove(output)
            result = checker.run(["convert", table["path"]] + case.args)
            adif = b""
            if os.path.exists(output):
                with open(output, "rb") as f:
                    adif = f.read()
        else:
            result = checker.run(["convert", table["path"], "-o", "-"] +
                                 case.args)
            adif = result.stdout
        if result.returncode != 0:
            checker.fail(table, what, "exit %d: %s" % (
                result.returncode, result.stderr.decode("latin-1").strip()))
            continue
        if case.adx:
            check_adx(checker, table, raw, case, what, adif, result.stderr)
            continue
        header = headers[case.lang]
        if not adif.startswith(header):
            checker.fail(table, what, "the ADIF does not start with the "
                         "header: %r" % adif[:80])
            continue
        records = adif[len(header):]
        if case.ascii_only:
            outside = sorted(set(b for b in records
                                 if not (0x20 <= b < 0x7F or b in b"\r\n")))
            if outside:
                checker.fail(table, what, "bytes outside ASCII: %r" %
                             bytes(outside))
            continue
        expected, changed = expected_records(table, raw, case)
        checker.compare(table, what, expected, records)
        if case.charset == "ascii":
            note = (b"note: %d values held characters outside ASCII" % changed
                    if changed else b"note:")
            if (note in result.stderr) != bool(changed):
                checker.fail(table, what, "expected %r on standard error, "
                             "got %r" % (note if changed else b"no note",
                                         result.stderr))


def adif_field_types():
    """{field name: data type} of the record fields, from the ADIF
    standard's own export of its tables."""
    path = os.path.join(HERE, "..", "..", "tools", "adif",
                        "adif-3.1.6-all.json")
    with open(path, encoding="utf-8") as f:
        adif = json.load(f)["Adif"]
    return adif["Version"], {r["Field Name"]: r["Data Type"] for r in
                             adif["Fields"]["Records"].values()}


ADIF_VERSION, ADIF_TYPES = adif_field_types()


def adx_expected(table, raw, case):
    """Per record, its elements as (name, text, exact): where the model's
    ASCII spelling has no "?", the text is compared exactly; otherwise it
    must only be ASCII. Also how many values go to an _INTL companion."""
    mapped = set(case.mapping.values())
    records, kept = [], 0
    for fields in record_fields(table, raw, case):
        elements = []
        for keyword, value in in_line_order(fields):
            text = value.decode("cp%d" % case.code_page)
            companion = keyword + "_INTL"
            if text.isascii() or ADIF_TYPES[keyword].startswith("Intl"):
                elements.append((keyword, text, True))
                continue
            spelled = ascii_spelling(text)
            elements.append((keyword, spelled, "?" not in spelled))
            if companion in ADIF_TYPES and companion not in mapped:
                elements.append((companion, text, True))
                kept += 1
        records.append(elements)
    return records, kept


def check_adx(checker, table, raw, case, what, document, stderr):
    """Reads the ADX back with Python's XML parser and checks it against the
    ADIF XML structure and the values the table holds."""
    declaration = b'<?xml version="1.0" encoding="UTF-8"?>'
    if not document.startswith(declaration):
        checker.fail(table, what, "no XML declaration: %r" % document[:60])
        return
    try:
        root = xml.etree.ElementTree.fromstring(document)
    except xml.etree.ElementTree.ParseError as error:
        checker.fail(table, what, "not well-formed XML: %s" % error)
        return
    version = root.findtext("HEADER/ADIF_VER")
    records = root.findall("RECORDS/RECORD")
    if (root.tag != "ADX" or [e.tag for e in root] != ["HEADER", "RECORDS"]
            or version != ADIF_VERSION):
        checker.fail(table, what, "not an ADX document of ADIF %s: root %s, "
                     "%r, version %r" % (ADIF_VERSION, root.tag,
                                         [e.tag for e in root], version))
        return
    expected, kept = adx_expected(table, raw, case)
    if len(records) != len(expected):
        checker.fail(table, what, "%d records, expected %d" % (
            len(records), len(expected)))
        return
    for number, (record, want) in enumerate(zip(records, expected), 1):
        got = [(e.tag, e.text or "") for e in record]
        if [g[0] for g in got] != [w[0] for w in want]:
            checker.fail(table, what, "record %d has fields %r, expected %r"
                         % (number, [g[0] for g in got], [w[0] for w in want]))
            continue
        for (tag, text), (_, wanted, exact) in zip(got, want):
            # The standard allows characters outside ASCII in the Intl
            # types alone.
            plain = not ADIF_TYPES[tag].startswith("Intl")
            if (exact and text != wanted) or (plain and not text.isascii()):
                checker.fail(table, what, "record %d %s holds %r, expected "
                             "%r" % (number, tag, text, wanted))
    note = b"note: %d values held characters outside ASCII: each" % kept
    if (note in stderr) != bool(kept):
        checker.fail(table, what, "expected %r on standard error, got %r" % (
            note if kept else b"no note", stderr))


def read_headers(checker, tables):
    """The ADIF header in each language, from a table without records."""
    empty = next(t for t in tables if t["kind"] == "empty")
    headers = {}
    for lang in ("en", "es"):
        result = checker.run(["convert", empty["path"], "--auto", "--lang",
                              lang, "-o", "-"])
        headers[lang] = result.stdout
        if (result.returncode != 0 or b"<EOH>" not in result.stdout or
                b"<EOR>" in result.stdout):
            checker.fail(empty, "ADIF header (--lang %s)" % lang,
                         "exit %d, output %r" % (result.returncode,
                                                 result.stdout[-60:]))
    return headers


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--writer", required=True,
                        choices=["python3-dbf", "shapelib"])
    parser.add_argument("--logweave", required=True)
    parser.add_argument("--work", required=True)
    options = parser.parse_args()

    started = time.monotonic()
    if os.path.isdir(options.work):
        shutil.rmtree(options.work)
    os.makedirs(options.work)
    if options.writer == "python3-dbf":
        try:
            import make_dbf_tables
        except ImportError:
            print("SKIPPED: the dbf module (Debian package python3-dbf) is "
                  "not installed")
            return SKIPPED
        tables = make_dbf_tables.write_all(options.work)
    else:
        if not (shutil.which("dbfcreate") and shutil.which("dbfadd")):
            print("SKIPPED: dbfcreate/dbfadd (Debian package shapelib) are "
                  "not installed")
            return SKIPPED
        tables = shapelib_tables(options.work)

    checker = Checker(os.path.abspath(options.logweave))
    headers = read_headers(checker, tables)
    print("%-24s %-22s %-40s %-6s %7s %7s  %s" % (
        "table", "format", "", "code", "records", "deleted", "result"))
    for table in tables:
        before_runs, before_failures = checker.runs, len(checker.failures)
        check_table(checker, table, headers)
        failed = len(checker.failures) - before_failures
        print("%-24s %-22s %-40s %-6s %7d %7d  %s (%d runs)" % (
            os.path.basename(table["path"]), table["format"], table["detail"],
            "cp%d" % table["code_page"], len(table["contacts"]),
            len(table["deleted"]), "FAIL" if failed else "ok",
            checker.runs - before_runs))
    for failure in checker.failures:
        print("FAIL " + failure)
    formats = sorted(set(t["format"] for t in tables))
    pages = sorted(set(t["code_page"] for t in tables))
    print("%s: %d tables (%s; code pages %s), %d logweave runs, %d failures, "
          "%.1f s" % (options.writer, len(tables), ", ".join(formats),
                      ", ".join(map(str, pages)), checker.runs,
                      len(checker.failures), time.monotonic() - started))
    return 1 if checker.failures else 0


if __name__ == "__main__":
    sys.exit(main())
