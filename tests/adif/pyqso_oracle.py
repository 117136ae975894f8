#!/usr/bin/env python3
"""Compares the verdicts of `logweave check` on Number, Integer, Date, Time
and Boolean values with those of an independent ADIF validator: the
is_valid() of PyQSO (Debian package pyqso, pyqso/adif.py, ADIF 3.0.4), which
needs nothing but the Python standard library.

Each value is written as the only changed field of an otherwise clean record,
all records in one file; a record passes when `check` reports no error on
that field. Known differences of the oracle are left out and listed: it
takes Y and N only in upper case (ADIF allows y and n), it knows no ranges
(CQZ 1-40 ...), and it takes a Number with a lone point before or after the
digits, as ADIF does.

usage: tests/adif/pyqso_oracle.py LOGWEAVE [PATH/TO/pyqso/adif.py]
Exits 1 on any disagreement.
"""
import importlib.util
import os
import subprocess
import sys
import tempfile

GOOD = [("CALL", "EA4ABC"), ("QSO_DATE", "20050102"), ("TIME_ON", "0915"),
        ("BAND", "40m"), ("MODE", "SSB")]

VALUES = {
    # field: (oracle's type, values)
    "TX_PWR": ("N", ["100", "0.5", "1.", ".5", "0", "100W", "1.2.3", "1 00",
                     " 100", "100 ", "2,5", "-", ".", "+5", "1e3", "00100",
                     "12345678901234567890", "5-", "--5", "0x10"]),
    "ANT_AZ": ("N", ["0", "359.9", "-0", "9.", "abc", " 1"]),
    "QSO_DATE_OFF": ("D", ["20240229", "20230229", "19300101", "19291231",
                           "20051301", "20050100", "2005-01-02", "050102",
                           "200501021", "2005010", "20050431", "21000229",
                           "20000229", "19000229", "abcdefgh", " 2005010"]),
    "QSLSDATE": ("D", ["01/03/2024", "20240301", "20241231", "20240132"]),
    "TIME_OFF": ("T", ["0000", "2359", "235959", "2400", "1260", "123460",
                       "09:15", "915", "12345", "1234567", "0960", "abcd",
                       "000000", "230059"]),
    "SWL": ("B", ["Y", "N", "y", "n", "T", "YES", "1", "NN"]),
    "QSO_RANDOM": ("B", ["F", "Y", "N", "x"]),
}


def load_oracle(path):
    if path is None:
        spec = importlib.util.find_spec("pyqso")
        if spec is None or not spec.submodule_search_locations:
            sys.exit("pyqso_oracle.py: PyQSO is not installed "
                     "(apt-get install pyqso), and no adif.py was given")
        path = os.path.join(list(spec.submodule_search_locations)[0], "adif.py")
    spec = importlib.util.spec_from_file_location("pyqso_adif", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.ADIF()


def field(name, value):
    return "<%s:%d>%s " % (name, len(value), value)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    logweave = sys.argv[1]
    oracle = load_oracle(sys.argv[2] if len(sys.argv) > 2 else None)
    cases = [(name, kind, value) for name, (kind, values) in VALUES.items()
             for value in values]
    text = "".join("".join(field(n, v) for n, v in GOOD) + field(name, value) +
                   "<EOR>\r\n" for name, _, value in cases)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "cases.adi")
        with open(path, "w", newline="") as f:
            f.write(text)
        run = subprocess.run([logweave, "check", "--all", path],
                             capture_output=True, text=True)
    refused = set()
    for line in run.stdout.splitlines():
        parts = line.split(": ", 3)
        if len(parts) == 4 and parts[0].startswith("record ") and parts[2] == "error":
            refused.add((int(parts[0][7:]), parts[1]))
    agree = disagree = 0
    for number, (name, kind, value) in enumerate(cases, start=1):
        ours = (number, name) not in refused
        theirs = oracle.is_valid(name, value, kind)
        known = kind == "B" and value in ("y", "n")
        if ours == theirs or known:
            agree += 1
            continue
        disagree += 1
        print("%s %r: logweave %s, PyQSO %s" % (
            name, value, "passes" if ours else "refuses",
            "passes" if theirs else "refuses"))
    print("%d values: %d agree, %d disagree" % (len(cases), agree, disagree))
    return 1 if disagree else 0


if __name__ == "__main__":
    sys.exit(main())
