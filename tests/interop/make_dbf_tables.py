#!/usr/bin/env python3
"""Writes the contact log as tables of the formats python3-dbf writes.

    make_dbf_tables.py FOLDER

For each format (dBase III and Clipper with a .dbt memo file, FoxPro and
Visual FoxPro with an .fpt memo file) and each code page (437, 850, 1252,
named in the table's language driver byte) it writes the contact log with
two records marked as deleted, a table of every upper-half character, and,
per format, a table with no records; in dBase III, a table of every
upper-half character in each other code page the writer knows. Needs the `dbf` module (Debian package
python3-dbf). Prints one line per table.
"""

import os
import sys

import dbf

import contact_log

FORMATS = [
    # (python3-dbf type, description)
    ("db3", "dBase III + .dbt"),
    ("clp", "Clipper + .dbt"),
    ("fp", "FoxPro + .fpt"),
    ("vfp", "Visual FoxPro + .fpt"),
]
CODE_PAGES = [437, 850, 1252]
# The other single-byte code pages python3-dbf names in the language driver
# byte: a table of every upper-half character in each, in dBase III.
OTHER_CODE_PAGES = [737, 852, 857, 860, 861, 863, 865, 866, 874, 1250, 1251,
                    1253, 1254, 1255, 1256]
# FoxPro memo block sizes, varied with the code page: FoxPro's usual 64,
# Visual FoxPro's SET BLOCKSIZE TO 0 (1 byte), the writer's default 128. The
# .dbt of dBase III always has 512-byte blocks.
BLOCK_SIZES = {437: 64, 850: 0, 1252: 128}


def column_definition(column, nullable=False):
    name, kind, length, decimals = column
    if kind == "C":
        definition = "%s C(%d)" % (name, length)
    elif kind == "N":
        definition = "%s N(%d,%d)" % (name, length, decimals)
    else:
        definition = "%s %s" % (name, kind)
    return definition + (" null" if nullable else "")


def empty_value(kind, nullable):
    if nullable:
        return None
    return {"C": "", "M": ""}.get(kind)


def write_table(path, dbf_type, code_page, columns, contacts, deleted,
                nullable=()):
    definitions = [column_definition(c, c[0] in nullable) for c in columns]
    table = dbf.Table(path, "; ".join(definitions), dbf_type=dbf_type,
                      codepage="cp%d" % code_page,
                      memo_size=BLOCK_SIZES.get(code_page, 512))
    table.open(dbf.READ_WRITE)
    try:
        for contact in contacts:
            table.append(tuple(
                contact.get(name, empty_value(kind, name in nullable))
                for name, kind, _, _ in columns))
        for index in sorted(deleted):
            dbf.delete(table[index])
    finally:
        table.close()


def with_memo_length(columns, dbf_type):
    # Visual FoxPro keeps memo block numbers as four binary bytes.
    memo_length = 4 if dbf_type == "vfp" else 10
    return [(n, k, memo_length if k == "M" else l, d)
            for n, k, l, d in columns]


def detail(dbf_type, code_page, dos_memo_extension, has_nullable):
    """What sets a table apart from the others of its format."""
    parts = []
    if dbf_type in ("fp", "vfp"):
        parts.append("blocks of %d" % (BLOCK_SIZES.get(code_page) or 1))
    if dos_memo_extension:
        parts.append("NAME.DBF+." + dos_memo_extension)
    if has_nullable:
        parts.append("_NullFlags")
    return ", ".join(parts)


def write_all(folder):
    """Writes every table into folder; returns their descriptions."""
    tables = []
    for dbf_type, description in FORMATS:
        log_columns = list(contact_log.COLUMNS)
        nullable = ()
        if dbf_type == "vfp":
            log_columns.append(contact_log.NULLABLE_COLUMN)
            nullable = (contact_log.NULLABLE_COLUMN[0],)
        log_columns = with_memo_length(log_columns, dbf_type)
        charset_columns = with_memo_length(contact_log.CHARSET_COLUMNS,
                                           dbf_type)
        jobs = []
        for code_page in CODE_PAGES:
            jobs.append(("log", code_page, log_columns,
                         contact_log.CONTACTS, contact_log.DELETED))
            jobs.append(("chars", code_page, charset_columns,
                         contact_log.charset_contacts(code_page), set()))
        jobs.append(("empty", 1252, log_columns, [], set()))
        if dbf_type == "db3":
            jobs += [("chars", code_page, charset_columns,
                      contact_log.charset_contacts(code_page), set())
                     for code_page in OTHER_CODE_PAGES]
        for kind, code_page, columns, contacts, deleted in jobs:
            name = "%s_%s_%d.dbf" % (dbf_type, kind, code_page)
            # A log copied from DOS: upper-case names, and the memo file's
            # extension in lower case, as some copies leave it.
            dos_name = kind == "log" and code_page == 1252
            if dos_name:
                name = name.upper()
            path = os.path.join(folder, name)
            write_table(path, dbf_type, code_page, columns, contacts, deleted,
                        nullable)
            memo_extension = "fpt" if dbf_type in ("fp", "vfp") else "dbt"
            if dos_name:
                stem = os.path.splitext(path)[0]
                os.rename(stem + "." + memo_extension.upper(),
                          stem + "." + memo_extension)
            has_nullable = any(c[0] in nullable for c in columns)
            tables.append(dict(
                path=path, writer="python3-dbf", format=description,
                detail=detail(dbf_type, code_page, dos_name and
                              memo_extension, has_nullable),
                kind=kind, code_page=code_page, driver_names_code_page=True,
                columns=columns, contacts=contacts, deleted=set(deleted),
                system_columns=["_NULLFLAGS"] if has_nullable else [],
                memo=True))
    return tables


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for table in write_all(sys.argv[1]):
        print("%-40s %-22s %-14s cp%-5d %d records" % (
            table["path"], table["format"], table["detail"], table["code_page"],
            len(table["contacts"])))


if __name__ == "__main__":
    main()
