#!/usr/bin/env python3
"""The rules of LoTW's signing client (TrustedQSL), as `check --for lotw`
applies them: its bands with their frequency ranges, its modes and how it
maps ADIF modes and submodes onto them, its propagation modes and
satellites, all from the client's own configuration file (config.xml); and
what its converter takes of a record: the longest value it reads of each
field and the type indicators it accepts, measured on the client's library.

Two steps, so that the build needs no package:

  tools/make_lotw_tables.py extract CONFIG.xml [LIBTQSLLIB.so] > tools/lotw/EXTRACT.xml
      keeps the sections of CONFIG.xml the check uses, and the measured
      facts of the library when one is given; names the client's version
      (asked of dpkg) and the configuration's.
  tools/make_lotw_tables.py [tools/lotw/EXTRACT.xml] > src/adif/lotw_tables.cpp
      writes the tables from the extract.

In Debian the client is the package trustedqsl: `dpkg -L trustedqsl` names
its config.xml and its libtqsllib.so.
"""
import ctypes
import glob
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
SECTIONS = ["adifmap", "bands", "modes", "propmodes", "satellites"]

# The fields the converter reads, with a value it takes, and what else the
# record needs for that value to be taken.
PROBED = {
    "CALL": ("W1AW", {}), "BAND": ("20M", {}), "BAND_RX": ("20M", {}),
    "MODE": ("CW", {}), "SUBMODE": ("FT4", {"MODE": "MFSK"}),
    "FREQ": ("14.074", {}), "FREQ_RX": ("14.074", {}),
    "QSO_DATE": ("20200101", {}), "TIME_ON": ("1200", {}),
    "PROP_MODE": ("EME", {}), "SAT_NAME": ("AO-7", {"PROP_MODE": "SAT"}),
}
RECORD = {"CALL": "W1AW", "QSO_DATE": "20200101", "TIME_ON": "1200",
          "BAND": "20M", "MODE": "CW"}
# The client widens these HF bands downwards when it places a frequency,
# for loggers that log the dial, not the frequency (tqsl_infer_band).
WIDENED_KHZ = {"30M": 10000, "17M": 18000, "12M": 24000}


class Converter:
    """The client's converter, run on one record at a time: what it says
    of a record before it would need a certificate to sign it."""

    def __init__(self, path):
        # Its working folder, where it would keep certificates: a new one.
        os.environ["TQSLDIR"] = tempfile.mkdtemp()
        self.lib = ctypes.CDLL(path)
        self.error = ctypes.c_int.in_dll(self.lib, "tQSL_Error")
        self.lib.tqsl_getConverterGABBI.restype = ctypes.c_char_p
        self.lib.tqsl_getErrorString.restype = ctypes.c_char_p
        self.lib.tqsl_init()
        self.location = ctypes.c_void_p()
        self.lib.tqsl_initStationLocationCapture(ctypes.byref(self.location))

    def verdict(self, record):
        """What the converter does with the one record (bytes): "taken",
        "dropped" (it says nothing), or the reason it refuses it."""
        with tempfile.NamedTemporaryFile("wb", suffix=".adi", delete=False) as f:
            f.write(b"<EOH>\n" + record)
        conv = ctypes.c_void_p()
        self.lib.tqsl_beginADIFConverter(ctypes.byref(conv), f.name.encode(),
                                         None, 0, self.location)
        self.lib.tqsl_setConverterAllowDuplicates(conv, 1)
        verdict = None
        for _ in range(100):
            self.error.value = 0
            if self.lib.tqsl_getConverterGABBI(conv) is not None:
                continue  # its own header record
            if self.error.value == 0:
                break  # the end of the file
            # Without a certificate a good record ends in "no certificate".
            if self.error.value == 4129:
                verdict = verdict or "taken"
            elif verdict in (None, "taken"):
                verdict = self.lib.tqsl_getErrorString().decode("latin-1")
        self.lib.tqsl_endConverter(ctypes.byref(conv))
        os.unlink(f.name)
        return verdict or "dropped"

    def takes(self, record_text):
        """True when the converter takes the one record of the text."""
        return self.verdict(record_text.encode("latin-1")) == "taken"


def record(fields, types=None):
    types = types or {}
    text = ""
    for name, value in fields.items():
        kind = ":" + types[name] if name in types else ""
        text += "<%s:%d%s>%s" % (name, len(value), kind, value)
    return text + "<EOR>\n"


def longest_value(converter, name):
    value, needs = PROBED[name]
    fields = dict(RECORD, **needs)

    def takes(size):
        fields[name] = value + " " * (size - len(value))
        return converter.takes(record(fields))
    low, high = len(value), 1024  # the converter trims the blanks
    assert takes(low), name
    while low < high:
        middle = (low + high + 1) // 2
        if takes(middle):
            low = middle
        else:
            high = middle - 1
    return low


def extract(config_path, library_path):
    root = ET.parse(config_path).getroot()
    out = ET.Element("lotw")
    try:
        client = subprocess.run(["dpkg-query", "-W", "-f", "${Version}",
                                 "trustedqsl"], capture_output=True,
                                text=True).stdout.strip() or "unknown"
    except OSError:
        client = "unknown"
    out.set("client", "trustedqsl " + client)
    out.set("config", "%s.%s" % (root.get("majorversion"),
                                 root.get("minorversion")))
    for name in SECTIONS:
        out.append(root.find(name))
    if library_path:
        converter = Converter(library_path)
        measured = ET.SubElement(out, "converter")
        for name in PROBED:
            ET.SubElement(measured, "field", name=name,
                          longest=str(longest_value(converter, name)))
        letters = "".join(c for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                          if converter.takes(record(RECORD, {"CALL": c})))
        ET.SubElement(measured, "types", letters=letters)
    ET.indent(out)
    sys.stdout.write(ET.tostring(out, encoding="unicode") + "\n")


def c_string(text):
    assert all(0x20 <= ord(c) < 0x7F and c not in '"\\' for c in text), text
    return '"' + text + '"'


def generate(path):
    root = ET.parse(path).getroot()
    source = "%s, configuration %s" % (root.get("client"), root.get("config"))
    out = [
        "// lotw_tables.cpp: written by tools/make_lotw_tables.py from the",
        "// configuration of LoTW's signing client (%s)" % source,
        "// kept in %s; do not edit." % os.path.relpath(path, os.path.dirname(HERE)),
        "",
        "// clang-format off",
        "",
        '#include "adif/lotw_rules.h"',
        "",
        "const char kLotwClient[] = %s;" % c_string(source),
        "",
    ]
    bands = []
    for band in root.find("bands"):
        name, low, high = band.text.strip(), int(band.get("low")), int(band.get("high"))
        # HF edges are in kilohertz, the others in megahertz.
        scale = 1000 if band.get("spectrum") == "HF" else 1000000
        low = WIDENED_KHZ.get(name, low)
        bands.append((low * scale, high * scale, name))
    bands.sort()
    out.append("const LotwBand kLotwBands[] = {")
    for low, high, name in bands:
        out.append("    {%s, %dULL, %dULL}," % (c_string(name), low, high))
    out.append("};")
    out.append("const int kLotwBandCount = %d;" % len(bands))
    out.append("")

    # What an ADIF MODE, SUBMODE or MODE%SUBMODE stands for, as the client
    # builds it (init_adif_map): later entries win.
    mapping = {}
    for item in root.find("adifmap"):
        mode = item.get("adif-mode", "")
        submode = item.get("adif-submode", "")
        gabbi = item.get("mode", "")
        text = (item.text or "").strip()
        if not mode:
            mode = text
        if not gabbi:
            continue
        keys = [mode] if mode else []
        if submode and submode != mode:
            keys.append(submode)
        if text and text != mode:
            keys.append(text)
        if mode and submode:
            keys.append(mode + "%" + submode)
        for key in keys:
            mapping[key.upper()] = gabbi
    out.append("const LotwModeMapping kLotwModeMappings[] = {")
    for key in sorted(mapping):
        out.append("    {%s, %s}," % (c_string(key), c_string(mapping[key])))
    out.append("};")
    out.append("const int kLotwModeMappingCount = %d;" % len(mapping))
    out.append("")

    def names(section, attribute=None):
        items = [(e.get(attribute) if attribute else e.text.strip())
                 for e in root.find(section)]
        return sorted(items)
    for table, count, section, attribute in [
            ("kLotwModes", "kLotwModeCount", "modes", None),
            ("kLotwPropagationModes", "kLotwPropagationModeCount", "propmodes", "name"),
            ("kLotwSatellites", "kLotwSatelliteCount", "satellites", "name")]:
        items = names(section, attribute)
        out.append("const char* const %s[] = {" % table)
        for item in items:
            out.append("    %s," % c_string(item))
        out.append("};")
        out.append("const int %s = %d;" % (count, len(items)))
        out.append("")

    converter = root.find("converter")
    out.append("const LotwFieldLimit kLotwFieldLimits[] = {")
    for field in sorted(converter.findall("field"), key=lambda f: f.get("name")):
        out.append("    {%s, %s}," % (c_string(field.get("name")), field.get("longest")))
    out.append("};")
    out.append("const int kLotwFieldLimitCount = %d;" % len(converter.findall("field")))
    out.append("")
    out.append("const char kLotwTypeIndicators[] = %s;" %
               c_string(converter.find("types").get("letters")))
    print("\n".join(out))


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "extract":
        extract(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None)
        return
    default = sorted(glob.glob(os.path.join(HERE, "lotw", "lotw-*.xml")))
    generate(sys.argv[1] if len(sys.argv) > 1 else default[-1])


if __name__ == "__main__":
    main()
