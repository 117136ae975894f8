#!/usr/bin/env python3
"""Old logs as other loggers wrote them, through --guess --fix --check.

    old_logs_test.py --logweave PATH --work DIR

Each log is a table written by python3-dbf (dBase III, FoxPro, Visual
FoxPro) in a logger's layout, language and code page, from contacts known
here: column names in Spanish, German, French, Italian, Portuguese, Polish,
Russian (Cyrillic names) and English; dates, times, frequencies, bands,
modes and QSL flags in the forms those loggers wrote. Every log is converted
with `convert --guess --fix --charset ascii --check`, and every record of
the output is compared with the contact it came from: a field missing, a
field with another value, a record left out or one made up is a failure.
Logs whose values do not decide a column must stop with exit status 2 and
write nothing; given the option the message names, they convert.

The expected values are worked out here from the contacts themselves, not
from logweave's rules. Where LoTW's client (Debian's trustedqsl) is
installed, every record of each output also goes through its converter,
which must take it. Exit status: 0 all passed, 1 a check failed, 77
python3-dbf is not installed.
"""

import argparse
import datetime
import os
import random
import re
import subprocess
import sys

try:
    import dbf
except ImportError:
    print("SKIPPED: no dbf module (Debian package python3-dbf)")
    sys.exit(77)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "adif"))
import lotw_oracle  # noqa: E402  LoTW's client, where it is installed


def lotw_client():
    path = lotw_oracle.library()
    return lotw_oracle.Converter(path) if path else None


def refused_by_lotw(client, text):
    """The client's verdict on each record of an ADIF text it does not take."""
    body = re.split(r"(?i)<eoh>", text, maxsplit=1)[-1]
    parts = re.split(r"(?i)(<eor>)", body)
    refused = []
    for i in range(0, len(parts) - 1, 2):
        said = client.verdict((parts[i] + parts[i + 1]).encode("latin-1"))
        if said != "taken":
            refused.append("record %d: LoTW's client: %s" % (i // 2 + 1, said))
    return refused

# Bands: (ADIF name, a frequency in kHz on it, its MHz name, metres name).
BANDS = [("160m", 1836, "1.8", "160"), ("80m", 3650, "3.5", "80"),
         ("40m", 7085, "7", "40"), ("30m", 10110, "10", "30"),
         ("20m", 14195, "14", "20"), ("17m", 18120, "18", "17"),
         ("15m", 21295, "21", "15"), ("12m", 24940, "24", "12"),
         ("10m", 28495, "28", "10")]
VHF = [("6m", 50150, "50", "6"), ("2m", 145525, "144", "2"),
       ("70cm", 433250, "432", "70"), ("23cm", 1296550, "1296", "23")]
CALLS = ["EA4ABC", "F6XYZ", "DL1MUE", "G3ABC", "I2XYZ", "W1AW", "JA1XYZ",
         "VK2ABC", "PY2XYZ", "LU1ABC", "OH2BH", "SM5XYZ", "SP9ABC", "UA3ABC",
         "OK1XYZ", "ON4ABC", "PA3XYZ", "HB9ABC", "OE1XYZ", "CT1ABC"]
# Modes as written, and the ADIF MODE and SUBMODE they are.
MODES = {"USB": ("SSB", "USB"), "LSB": ("SSB", "LSB"), "CW": ("CW", None),
         "FT8": ("FT8", None), "FT4": ("MFSK", "FT4"), "RTTY": ("RTTY", None),
         "FM": ("FM", None), "SSB": ("SSB", None), "BLU": ("SSB", None),
         "J3E": ("SSB", None), "A1A": ("CW", None)}


def contacts(seed, count, bands, start=datetime.datetime(2003, 11, 3, 8, 0)):
    """Contacts in the order of a log: one after another in time."""
    rng = random.Random(seed)
    moment = start
    out = []
    for _ in range(count):
        moment += datetime.timedelta(minutes=rng.randint(3, 2000),
                                     seconds=rng.randint(0, 59))
        band = rng.choice(bands)
        out.append({"call": rng.choice(CALLS), "when": moment, "band": band,
                    "khz": band[1] + rng.randint(0, 30),
                    "mode": rng.choice(["USB", "CW", "FT8", "FT4"]),
                    "sent": rng.random() < 0.5, "rcvd": rng.random() < 0.3})
    return out


def mhz(khz):
    text = "%d.%03d" % (khz // 1000, khz % 1000)
    return text


# Each log: (file, dbf type, code page, columns, rows, what the ADIF must
# hold per contact, extra options). A column is (definition, value of a
# contact); an expected field is (ADIF name, value of a contact).
def layouts():
    logs = []
    # 1. A Spanish logger, dBase III in DOS 850: text dates d/m/yy,
    # frequencies in kHz with a decimal comma, bands in metres, SI/NO.
    rows = contacts(1, 60, BANDS)
    logs.append(("es_db3_850", "db3", 850, [
        ("INDICATIVO C(12)", lambda c: c["call"].lower()),
        ("FECHA C(10)", lambda c: c["when"].strftime("%d/%m/%y")),
        ("HORA C(5)", lambda c: c["when"].strftime("%H:%M")),
        ("FRECUENCIA C(10)", lambda c: "%d,5" % c["khz"]),
        ("BANDA C(4)", lambda c: c["band"][3]),
        ("MODO C(6)", lambda c: c["mode"]),
        ("QSL_E C(2)", lambda c: "SI" if c["sent"] else "NO"),
        ("NOMBRE C(20)", lambda c: "Jos\u00e9 Mar\u00eda"),
    ], rows, {"FREQ": lambda c: "%s5" % mhz(c["khz"])}, []))
    # 2. A German logger, FoxPro in DOS 437: dates d.m.yyyy, numeric times
    # HHMMSS that lost their leading zeros, QRG in MHz, J/N.
    rows = contacts(2, 60, BANDS, datetime.datetime(2010, 1, 1, 0, 5))
    logs.append(("de_fp_437", "fp", 437, [
        ("RUFZEICHEN C(12)", lambda c: c["call"]),
        ("DATUM C(10)", lambda c: "%d.%d.%d" % (c["when"].day,
                                                c["when"].month,
                                                c["when"].year)),
        ("ZEIT N(6,0)", lambda c: int(c["when"].strftime("%H%M%S"))),
        ("QRG C(10)", lambda c: mhz(c["khz"])),
        ("BAND C(5)", lambda c: c["band"][0].upper()),
        ("BETRIEBSAR C(6)", lambda c: c["mode"]),
        ("QSL_S C(1)", lambda c: "J" if c["sent"] else "N"),
        ("NAME C(20)", lambda c: "J\u00fcrgen"),
        ("DOK C(4)", lambda c: "P01"),
    ], rows, {"TIME_ON": lambda c: c["when"].strftime("%H%M%S"),
              "FREQ": lambda c: mhz(c["khz"])}, []))
    # 3. A VHF log in English, dBase III in 1252: dates yy-mm-dd, kHz, the
    # station's own locator on every record.
    rows = contacts(3, 40, VHF)
    logs.append(("en_vhf_db3_1252", "db3", 1252, [
        ("CALL C(12)", lambda c: c["call"]),
        ("DATE C(8)", lambda c: c["when"].strftime("%y-%m-%d")),
        ("TIME C(4)", lambda c: c["when"].strftime("%H%M")),
        ("FREQ C(8)", lambda c: str(c["khz"])),
        ("MODE C(4)", lambda c: "FM" if c["mode"] == "FT8" else "SSB"),
        ("LOCATOR C(6)", lambda c: "IN80DK"),
    ], rows, {"MODE": lambda c: "FM" if c["mode"] == "FT8" else "SSB",
              "SUBMODE": lambda c: None, "FREQ": lambda c: mhz(c["khz"]),
              "MY_GRIDSQUARE": lambda c: "IN80DK"}, []))
    # 4. A French logger, Visual FoxPro in 1252: times 14h31, frequencies in
    # hertz, modes BLU and A1A, OUI/NON.
    rows = contacts(4, 40, BANDS)
    logs.append(("fr_vfp_1252", "vfp", 1252, [
        ("INDICATIF C(12)", lambda c: c["call"]),
        ("DATE C(10)", lambda c: c["when"].strftime("%d/%m/%Y")),
        ("HEURE C(6)", lambda c: c["when"].strftime("%Hh%M")),
        ("FREQUENCE C(10)", lambda c: str(c["khz"] * 1000)),
        ("MODE C(4)", lambda c: "BLU" if c["mode"] == "USB" else "A1A"),
        ("QSL_R C(3)", lambda c: "OUI" if c["rcvd"] else "NON"),
    ], rows, {"FREQ": lambda c: mhz(c["khz"]),
              "MODE": lambda c: "SSB" if c["mode"] == "USB" else "CW",
              "SUBMODE": lambda c: None}, []))
    # 5. A Russian logger, dBase III in DOS 866, Cyrillic column names:
    # bands by their MHz, modes ТЛГ/ТЛФ, QSL Д/Н.
    rows = contacts(5, 40, BANDS)
    logs.append(("ru_db3_866", "db3", 866, [
        ("\u041f\u041e\u0417\u042b\u0412\u041d\u041e\u0419 C(12)",
         lambda c: c["call"]),
        ("\u0414\u0410\u0422\u0410 C(10)",
         lambda c: c["when"].strftime("%d.%m.%Y")),
        ("\u0412\u0420\u0415\u041c\u042f C(5)",
         lambda c: c["when"].strftime("%H:%M")),
        ("\u0414\u0418\u0410\u041f\u0410\u0417\u041e\u041d C(4)",
         lambda c: c["band"][2]),
        ("\u0420\u0415\u0416\u0418\u041c C(3)",
         lambda c: "\u0422\u041b\u0413" if c["mode"] == "CW"
         else "\u0422\u041b\u0424"),
        ("QSL_\u041f\u041e\u041b C(1)",
         lambda c: "\u0414" if c["rcvd"] else "\u041d"),
    ], rows, {"MODE": lambda c: "CW" if c["mode"] == "CW" else "SSB",
              "SUBMODE": lambda c: None, "FREQ": lambda c: None,
              "QSL_RCVD": lambda c: "Y" if c["rcvd"] else "N",
              "QSL_SENT": lambda c: None}, []))
    # 6. A Polish logger, FoxPro in 852: dates yyyy-mm-dd, numeric HHMM,
    # VHF bands in short metres (70 is 70 cm).
    rows = contacts(6, 40, VHF[:3])
    logs.append(("pl_fp_852", "fp", 852, [
        ("ZNAK C(12)", lambda c: c["call"]),
        ("DATA C(10)", lambda c: c["when"].strftime("%Y-%m-%d")),
        ("CZAS N(4,0)", lambda c: int(c["when"].strftime("%H%M"))),
        ("PASMO C(3)", lambda c: c["band"][3]),
        ("EMISJA C(4)", lambda c: c["mode"]),
        ("IMIE C(12)", lambda c: "\u0141ukasz"),
    ], rows, {"FREQ": lambda c: None}, []))
    # 7. An Italian logger, FoxPro in 850: numeric yymmdd dates, MHz with a
    # decimal comma, the own call upgraded and with /P.
    rows = contacts(7, 40, BANDS, datetime.datetime(2005, 3, 1, 10, 0))
    own = lambda c: ("IK2XYZ" if c["when"].year < 2006 else "I2XYZ") + (
        "/P" if c["when"].month == 5 else "")
    logs.append(("it_fp_850", "fp", 850, [
        ("NOMINATIVO C(12)", lambda c: c["call"]),
        ("DATA N(6,0)", lambda c: int(c["when"].strftime("%y%m%d"))),
        ("ORA C(5)", lambda c: c["when"].strftime("%H:%M")),
        ("FREQUENZA C(10)", lambda c: mhz(c["khz"]).replace(".", ",")),
        ("MODO C(4)", lambda c: c["mode"]),
        ("STATION C(10)", own),
    ], rows, {"FREQ": lambda c: mhz(c["khz"]),
              "STATION_CALLSIGN": own}, []))
    # 8. A Swedish sked log: one partner, dates as a date column.
    rows = contacts(8, 12, BANDS[4:5])
    for c in rows:
        c["call"] = "SM5ABC"
    logs.append(("sv_db3_sked", "db3", 1252, [
        ("ANROPSSIGN C(10)", lambda c: c["call"]),
        ("DATUM D", lambda c: c["when"].date()),
        ("TID C(5)", lambda c: c["when"].strftime("%H:%M")),
        ("MHZ C(8)", lambda c: mhz(c["khz"])),
        ("MODE C(4)", lambda c: c["mode"]),
    ], rows, {"FREQ": lambda c: mhz(c["khz"])}, []))
    # 9. A Portuguese logger: SIM/NÃO, frequencies in MHz.
    rows = contacts(9, 40, BANDS)
    logs.append(("pt_db3_850", "db3", 850, [
        ("INDICATIVO C(12)", lambda c: c["call"]),
        ("DATA C(10)", lambda c: c["when"].strftime("%d/%m/%Y")),
        ("HORA C(5)", lambda c: c["when"].strftime("%H:%M")),
        ("FREQ C(10)", lambda c: mhz(c["khz"])),
        ("MODO C(4)", lambda c: c["mode"]),
        ("QSL_ENV C(3)", lambda c: "SIM" if c["sent"] else "N\u00c3O"),
    ], rows, {"FREQ": lambda c: mhz(c["khz"])}, []))
    # 10. An American logger, dBase III in 437: dates m/d/yy, a STATION
    # column of the stations worked, the operator's call upgraded, the own
    # locator on every record.
    rows = contacts(10, 50, BANDS, datetime.datetime(1998, 1, 5, 1, 0))
    mine = lambda c: "KB1XYZ" if c["when"].year < 1999 else "K1XYZ"
    logs.append(("us_db3_437", "db3", 437, [
        ("STATION C(12)", lambda c: c["call"]),
        ("MYCALL C(10)", mine),
        ("DATE C(8)", lambda c: "%d/%d/%s" % (c["when"].month, c["when"].day,
                                              c["when"].strftime("%y"))),
        ("UTC C(4)", lambda c: c["when"].strftime("%H%M")),
        ("KHZ N(8,1)", lambda c: float(c["khz"])),
        ("MODE C(4)", lambda c: c["mode"]),
        ("GRID C(6)", lambda c: "FN42ab"),
    ], rows, {"FREQ": lambda c: mhz(c["khz"]), "STATION_CALLSIGN": mine,
              "MY_GRIDSQUARE": lambda c: "FN42ab"}, []))
    return logs


def expected_fields(contact, overrides):
    """The ADIF fields a contact must give."""
    mode, submode = MODES[contact["mode"]]
    fields = {
        "CALL": contact["call"],
        "QSO_DATE": contact["when"].strftime("%Y%m%d"),
        "TIME_ON": contact["when"].strftime("%H%M"),
        "BAND": contact["band"][0],
        "MODE": mode,
        "SUBMODE": submode,
    }
    for name, value in overrides.items():
        fields[name] = value(contact)
    return {k: v for k, v in fields.items() if v is not None}


def write_table(path, dbf_type, code_page, columns, rows):
    # FoxPro logs kept their notes in a memo column (and python3-dbf writes
    # a FoxPro table without one that it cannot open again).
    if dbf_type in ("fp", "vfp"):
        columns = columns + [("NOTAS M", lambda c: "")]
    definitions = "; ".join(d for d, _ in columns)
    table = dbf.Table(path, definitions, dbf_type=dbf_type,
                      codepage="cp%d" % code_page, memo_size=64)
    table.open(dbf.READ_WRITE)
    try:
        for contact in rows:
            table.append(tuple(value(contact) for _, value in columns))
    finally:
        table.close()


def read_adif(text):
    """The records of an ADIF file, each a dict of its fields."""
    body = text[text.upper().find("<EOH>") + 5:]
    records, fields, at = [], {}, 0
    tag = re.compile(r"<([A-Za-z0-9_]+)(?::(\d+)(?::[A-Za-z])?)?>")
    while True:
        m = tag.search(body, at)
        if not m:
            break
        name = m.group(1).upper()
        if name == "EOR":
            records.append(fields)
            fields = {}
            at = m.end()
            continue
        length = int(m.group(2) or 0)
        fields[name] = body[m.end():m.end() + length]
        at = m.end() + length
    return records


def same(name, got, want):
    if name in ("FREQ",):
        return abs(float(got) - float(want)) < 1e-6
    return got.upper() == want.upper()


def check_log(logweave, work, spec, client):
    name, dbf_type, code_page, columns, rows, overrides, options = spec
    path = os.path.join(work, name + ".dbf")
    out = os.path.join(work, name + ".adi")
    if os.path.exists(out):
        os.remove(out)
    write_table(path, dbf_type, code_page, columns, rows)
    run = subprocess.run([logweave, "convert", path, "--guess", "--fix",
                          "--charset", "ascii", "--check", "-o", out] + options,
                         capture_output=True, encoding="latin-1")
    failures = []
    if run.returncode != 0:
        failures.append("exit %d:\n%s%s" % (run.returncode, run.stdout,
                                            run.stderr))
        return failures, 0
    text = open(out, encoding="latin-1").read()
    records = read_adif(text)
    if client:
        failures += refused_by_lotw(client, text)
    if len(records) != len(rows):
        failures.append("%d records for %d contacts" % (len(records),
                                                         len(rows)))
    right = 0
    for index, (record, contact) in enumerate(zip(records, rows)):
        wrong = []
        for field, want in expected_fields(contact, overrides).items():
            got = record.get(field)
            if got is None or not same(field, got, want):
                wrong.append("%s %r, not %r" % (field, got, want))
        if wrong:
            failures.append("record %d: %s" % (index + 1, "; ".join(wrong)))
        else:
            right += 1
    if failures:
        failures.append(run.stderr)
    return failures, right


def check_refusals(logweave, work):
    """Columns the values do not decide stop the run; the option settles."""
    failures = []
    # Dates whose days are all 12 or less, in no order of the records.
    rng = random.Random(10)
    rows = [{"call": rng.choice(CALLS),
             "when": datetime.datetime(2005, rng.randint(1, 12),
                                       rng.randint(1, 12), 10, 0),
             "band": BANDS[4], "khz": 14195, "mode": "CW", "sent": False,
             "rcvd": False} for _ in range(20)]
    columns = [("INDICATIVO C(12)", lambda c: c["call"]),
               ("FECHA C(10)", lambda c: c["when"].strftime("%d/%m/%Y")),
               ("HORA C(5)", lambda c: c["when"].strftime("%H:%M")),
               ("BANDA C(4)", lambda c: "20")]
    path = os.path.join(work, "open_dates.dbf")
    out = os.path.join(work, "open_dates.adi")
    write_table(path, "db3", 1252, columns, rows)
    if os.path.exists(out):
        os.remove(out)
    base = [logweave, "convert", path, "--guess", "--fix", "-o", out]
    run = subprocess.run(base, capture_output=True, encoding="latin-1")
    if run.returncode != 2 or os.path.exists(out) or \
            "--read-as FECHA=" not in run.stderr:
        failures.append("open dates: exit %d, %s" % (run.returncode,
                                                     run.stderr))
    run = subprocess.run(base + ["--read-as", "FECHA=dmy"],
                         capture_output=True, encoding="latin-1")
    if run.returncode != 0:
        failures.append("open dates settled: %s" % run.stderr)
    else:
        records = read_adif(open(out, encoding="latin-1").read())
        dates = [r.get("QSO_DATE") for r in records]
        want = [c["when"].strftime("%Y%m%d") for c in rows]
        if dates != want:
            failures.append("open dates settled: %s, not %s" % (dates, want))
    # No column for CALL: nothing written, exit 2.
    path = os.path.join(work, "no_call.dbf")
    out = os.path.join(work, "no_call.adi")
    write_table(path, "db3", 1252, [("COSA C(12)", lambda c: c["call"]),
                                    ("FECHA C(10)", lambda c: "01/01/2005")],
                rows[:3])
    if os.path.exists(out):
        os.remove(out)
    run = subprocess.run([logweave, "convert", path, "--guess", "--fix", "-o",
                          out], capture_output=True, encoding="latin-1")
    if run.returncode != 2 or os.path.exists(out) or \
            "--map COSA=CALL" not in run.stderr:
        failures.append("no CALL: exit %d, %s" % (run.returncode, run.stderr))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--logweave", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    failed = 0
    records = right = 0
    client = lotw_client()
    for spec in layouts():
        failures, good = check_log(args.logweave, args.work, spec, client)
        records += len(spec[4])
        right += good
        status = "ok" if not failures else "FAILED"
        print("%-18s %3d of %3d records right  %s" % (spec[0], good,
                                                      len(spec[4]), status))
        for failure in failures[:8]:
            print("    " + failure.replace("\n", "\n    "))
        failed += bool(failures)
    refusals = check_refusals(args.logweave, args.work)
    for failure in refusals:
        print("refusal: " + failure)
    failed += len(refusals)
    print("%d of %d records right in %d logs%s" % (
        right, records, len(layouts()),
        ", each taken by LoTW's client" if client else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
