#!/usr/bin/env python3
"""Compares what `logweave check --for lotw` says of each record with what
LoTW's own client, TrustedQSL, does with it. The client's converter
(libtqsllib of the Debian package trustedqsl) is run through ctypes on one
record at a time, without a certificate: a record it would sign ends in "no
certificate", one it refuses in the reason why, and one it drops gives
nothing at all.

The records: the planted cases below (each the only record of its file),
and every record of the files given (cut at each <EOR>).
  - a record the client refuses or drops must have an error in the report;
  - a record the report says LoTW refuses must be refused or dropped by the
    client, except for the date floor (19451101), which is the
    certificates' and not the converter's.

usage: tests/adif/lotw_oracle.py LOGWEAVE [FILE.adi ...]
Exits 77 when the client is not installed, 1 on any disagreement.
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tools"))
from make_lotw_tables import Converter  # noqa: E402  the client, run

GOOD = {"CALL": "W1AW", "QSO_DATE": "20200101", "TIME_ON": "1200",
        "BAND": "20m", "MODE": "CW"}

# Each case: fields to change (None leaves one out), or a whole record text.
CASES = [
    {},
    {"CALL": "W1"}, {"CALL": "1W1AW"}, {"CALL": "1AW1"}, {"CALL": "QW1AW"},
    {"CALL": "0W1AW"}, {"CALL": "W1AW/"}, {"CALL": "W1AW//P"},
    {"CALL": "w1aw"}, {"CALL": "ABC"}, {"CALL": "W1AW-1"}, {"CALL": "4Y1A"},
    {"CALL": "A" * 19 + "1"}, {"CALL": "A" * 20 + "1"},
    {"QSO_DATE": "19451101"}, {"QSO_DATE": "19440101"},
    {"TIME_ON": "1260"}, {"TIME_ON": "120000"},
    {"BAND": "20M"}, {"BAND": "20m   "}, {"BAND": "20m    "}, {"BAND": "5m"},
    {"BAND": "8m"}, {"BAND": "submm"}, {"BAND": "40"},
    {"BAND": None, "FREQ": "14.074"}, {"BAND": None, "FREQ": "148.0001"},
    {"BAND": None, "FREQ": "10.01"}, {"FREQ": "7.074"}, {"FREQ": "14.074"},
    {"BAND": "30m", "FREQ": "10.01"},
    {"MODE": "FT8"}, {"MODE": "MFSK", "SUBMODE": "FT4"}, {"MODE": "SSB", "SUBMODE": "USB"},
    {"MODE": "DATA"}, {"MODE": "DYNAMIC"}, {"MODE": "FSK"}, {"MODE": "MTONE"},
    {"MODE": "OFDM"}, {"MODE": "MFSK", "SUBMODE": "JS8"},
    {"MODE": "DIGITALVOICE", "SUBMODE": "FREEDV"}, {"MODE": "FOO"},
    {"MODE": "CW" + " " * 14}, {"MODE": "CW" + " " * 15},
    {"PROP_MODE": "SAT"}, {"PROP_MODE": "SAT", "SAT_NAME": "AO-7"},
    {"PROP_MODE": "sat", "SAT_NAME": "AO-7"},
    {"PROP_MODE": "SAT", "SAT_NAME": "ao-7"}, {"SAT_NAME": "AO-7"},
    {"PROP_MODE": "SAT", "SAT_NAME": "XX-1"}, {"PROP_MODE": "EME"},
    {"PROP_MODE": "GWAVE"}, {"PROP_MODE": "INTERNET"},
    {"BAND_RX": "2m"}, {"BAND_RX": "5m"}, {"FREQ_RX": "145.9", "BAND_RX": "70cm"},
    {"SAT_NAME": "AO-7" + " " * 17, "PROP_MODE": "SAT"},
    "<CALL:4:S>W1AW<QSO_DATE:8:D>20200101<TIME_ON:4:T>1200<BAND:3:E>20m<MODE:2:E>CW<EOR>\n",
    "<CALL:4:I>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<EOR>\n",
    "<CALL:4>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<APP_X_Y:1:X>1<EOR>\n",
    "<call:4>W1AW // c\n<qso_date:8>20200101 // d\n<time_on:4>1200<band:3>20m<mode:2>CW<eor>\n<APP_LoTW_EOF>\n",
    "<CALL:004>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<EOR>\n",
    "<CALL:4>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<NOTES:4>a\r\nb<EOR>\n",
    "<CALL:4>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW<NOTES:5>a\r\nb<EOR>\n",
    "<CALL:4>W1AW<QSO_DATE:8>20200101<TIME_ON:4>1200<BAND:3>20m<MODE:2>CW",
    "<EOR>\n",
]


def library():
    try:
        listing = subprocess.run(["dpkg", "-L", "trustedqsl"], capture_output=True,
                                 text=True).stdout.split()
    except OSError:
        return None
    found = [p for p in listing if p.endswith("/libtqsllib.so")]
    return found[0] if found else None


def record_text(case):
    if isinstance(case, str):
        return case.encode("latin-1")
    fields = dict(GOOD)
    for name, value in case.items():
        if value is None:
            fields.pop(name)
        else:
            fields[name] = value
    return ("".join("<%s:%d>%s" % (n, len(v), v) for n, v in fields.items())
            + "<EOR>\n").encode("latin-1")


def report(logweave, path):
    """record number -> (has an error, LoTW refuses but for the date floor)"""
    out = subprocess.run([logweave, "check", "--for", "lotw", "--all", path],
                         capture_output=True).stdout.decode("latin-1")
    verdicts = {}
    for line in out.splitlines():
        m = re.match(r"record (\d+): [^:]*: error: (.*)", line)
        if not m:
            continue
        error, refuses = verdicts.get(int(m.group(1)), (False, False))
        lotw = m.group(2).startswith("LoTW refuses") and "19451101" not in line
        verdicts[int(m.group(1))] = (True, refuses or lotw)
    return verdicts


def compare(number, text, client, verdicts, where):
    said = client.verdict(text)
    error, refuses = verdicts.get(number, (False, False))
    if said != "taken" and not error:
        return ["%s: the client %s it (%s), the report has no error: %r" %
                (where, "drops" if said == "dropped" else "refuses", said, text[:200])]
    if said == "taken" and refuses:
        return ["%s: the report says LoTW refuses it, the client takes it: %r" %
                (where, text[:200])]
    return []


def main():
    logweave = sys.argv[1]
    path = library()
    if not path:
        print("lotw_oracle.py: trustedqsl is not installed; skipped")
        return 77
    client = Converter(path)
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        for i, case in enumerate(CASES):
            text = record_text(case)
            file = os.path.join(folder, "case.adi")
            with open(file, "wb") as f:
                f.write(b"<EOH>\n" + text)
            problems += compare(1, text, client, report(logweave, file),
                                "case %d" % (i + 1))
    checked = len(CASES)
    for file in sys.argv[2:]:
        data = open(file, "rb").read()
        body = re.split(rb"(?i)<eoh>", data, maxsplit=1)[-1]
        parts = re.split(rb"(?i)(<eor>)", body)
        records = [parts[i] + parts[i + 1] for i in range(0, len(parts) - 1, 2)]
        verdicts = report(logweave, file)
        for number, text in enumerate(records, 1):
            problems += compare(number, text, client, verdicts,
                                "%s record %d" % (os.path.basename(file), number))
        checked += len(records)
    for problem in problems:
        print(problem)
    print("%d records, %d disagreements" % (checked, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
