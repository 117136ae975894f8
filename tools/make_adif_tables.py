#!/usr/bin/env python3
"""Writes src/standard/adif_standard_tables.cpp from the ADIF standard's own
export of its tables (tools/adif/adif-VERSION-all.json): every field with its
data type, enumeration, range and flags; every enumeration's values; the
letters that indicate data types; the bands with their frequency limits.

usage: tools/make_adif_tables.py [EXPORT.json] > src/standard/adif_standard_tables.cpp
"""
import decimal
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT = os.path.join(HERE, "adif", "adif-3.1.6-all.json")

# The data types the program knows, by the export's names.
TYPES = [
    "AwardList", "Boolean", "Character", "CreditList", "Date", "Digit",
    "Enumeration", "GridSquare", "GridSquareExt", "GridSquareList",
    "Integer", "IntlCharacter", "IntlMultilineString", "IntlString",
    "IOTARefNo", "Location", "MultilineString", "Number", "POTARef",
    "POTARefList", "PositiveInteger", "SecondaryAdministrativeSubdivisionListAlt",
    "SecondarySubdivisionList", "SOTARef", "SponsoredAwardList", "String",
    "Time", "WWFFRef",
]


def c_string(text):
    """A C string literal; bytes outside ASCII as escapes (UTF-8)."""
    out = '"'
    for byte in text.encode("utf-8"):
        ch = chr(byte)
        if ch in '"\\':
            out += "\\" + ch
        elif 0x20 <= byte < 0x7F:
            out += ch
        else:
            out += '\\x%02X""' % byte
    return out + '"'


def optional(text):
    return c_string(text) if text else "nullptr"


def type_name(data_type):
    # "CreditList,AwardList": a list of either; the first names it.
    first = data_type.split(",")[0]
    if first not in TYPES:
        raise SystemExit("unknown data type " + data_type)
    return "AdifType::k" + first


def value_column(header):
    """The column that holds an enumeration's values: the first after its
    name."""
    return header[1]


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else DEFAULT
    with open(path, encoding="utf-8") as f:
        adif = json.load(f)["Adif"]
    version = adif["Version"]
    out = []
    out.append("// adif_standard_tables.cpp: written by tools/make_adif_tables.py from the")
    out.append("// export of the ADIF standard's tables, version %s (%s, %s);" %
               (version, adif["Status"], adif["Date"][:10]))
    out.append("// do not edit.")
    out.append("")
    out.append("// clang-format off")
    out.append("")
    out.append('#include "standard/adif_standard.h"')
    out.append("")
    out.append("const char kAdifVersion[] = %s;" % c_string(version))
    out.append("")

    fields = sorted(adif["Fields"]["Records"].values(),
                    key=lambda r: r["Field Name"])
    out.append("const AdifFieldDefinition kAdifFields[] = {")
    for r in fields:
        out.append("    {%s, %s, %s, %s, %s, %s, %s}," % (
            c_string(r["Field Name"]), type_name(r["Data Type"]),
            optional(r.get("Enumeration")), optional(r.get("Minimum Value")),
            optional(r.get("Maximum Value")),
            "true" if r.get("Header Field") == "true" else "false",
            "true" if r.get("Import-only") == "true" else "false"))
    out.append("};")
    out.append("const int kAdifFieldCount = %d;" % len(fields))
    out.append("")

    values = []
    for name, enumeration in adif["Enumerations"].items():
        column = value_column(enumeration["Header"])
        for r in enumeration["Records"].values():
            qualifier = r.get("DXCC Entity Code", "")
            if name == "Submode":
                qualifier = r.get("Mode", "")
            values.append((name, r[column], qualifier,
                           r.get("Import-only") == "true",
                           r.get("Deleted") == "true"))
    values.sort(key=lambda v: (v[0], v[1].upper(), v[2]))
    out.append("const AdifEnumerationValue kAdifEnumerationValues[] = {")
    for name, value, qualifier, import_only, deleted in values:
        out.append("    {%s, %s, %s, %s, %s}," % (
            c_string(name), c_string(value), c_string(qualifier),
            "true" if import_only else "false", "true" if deleted else "false"))
    out.append("};")
    out.append("const int kAdifEnumerationValueCount = %d;" % len(values))
    out.append("")

    indicators = sorted((r["Data Type Indicator"], r["Data Type Name"])
                        for r in adif["DataTypes"]["Records"].values()
                        if r.get("Data Type Indicator"))
    out.append("const AdifTypeIndicator kAdifTypeIndicators[] = {")
    for letter, name in indicators:
        out.append("    {'%s', %s}," % (letter, type_name(name)))
    out.append("};")
    out.append("const int kAdifTypeIndicatorCount = %d;" % len(indicators))
    out.append("")

    bands = sorted(adif["Enumerations"]["Band"]["Records"].values(),
                   key=lambda r: float(r["Lower Freq (MHz)"]))
    # The edges in whole hertz, read from the decimal text exactly, so that
    # every frequency is placed by integer comparison.
    def hertz(mhz):
        value = decimal.Decimal(mhz) * 1000000
        assert value == value.to_integral_value(), mhz
        return "%dULL" % int(value)
    out.append("const AdifBand kAdifBands[] = {")
    for r in bands:
        out.append("    {%s, %s, %s}," % (c_string(r["Band"]),
                                          hertz(r["Lower Freq (MHz)"]),
                                          hertz(r["Upper Freq (MHz)"])))
    out.append("};")
    out.append("const int kAdifBandCount = %d;" % len(bands))
    print("\n".join(out))


if __name__ == "__main__":
    main()
