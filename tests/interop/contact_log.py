"""The contact log the interoperability tests write with other programs.

Plain data only: the columns of a typical station log kept in dBase, and the
contacts in it, as Python values. The writers (make_dbf_tables.py,
make_shapelib_table.sh) store them; interop_test.py works out what the ADIF
must hold from these same values.
"""

import datetime

# (name, type, length, decimals). The memo column's length depends on the
# table format (10 digits, or 4 binary bytes in Visual FoxPro) and is set by
# the writer. CALL is not the first column, so the order rule is exercised.
COLUMNS = [
    ("QSO_DATE", "D", 8, 0),
    ("TIME_ON", "C", 8, 0),
    ("CALL", "C", 12, 0),
    ("BAND", "C", 5, 0),
    ("MODE", "C", 6, 0),
    ("FREQ", "N", 10, 4),
    ("NAME", "C", 30, 0),
    ("QSL_SENT", "C", 1, 0),
    ("QSL_RCVD", "C", 1, 0),
    ("LOTW", "L", 1, 0),
    ("NOTES", "M", 10, 0),
]

# Visual FoxPro tables get one nullable column more, which makes the writer
# add its _NullFlags system column.
NULLABLE_COLUMN = ("QTH", "C", 20, 0)

LONG_NOTE = " ".join(
    "Línea %02d: contacto en SSB, señal 59, QSL vía buró, muchas gracias." % n
    for n in range(1, 31))

# One dict per contact; a missing key is an empty value.
CONTACTS = [
    dict(QSO_DATE=datetime.date(2005, 1, 2), TIME_ON="09:15", CALL="EA4ABC",
         BAND="40M", MODE="SSB", FREQ=7.0655, NAME="José Núñez",
         QSL_SENT="S", QSL_RCVD="s", LOTW=True,
         NOTES="QSL vía buró\r\nGracias por el contacto", QTH="Madrid"),
    dict(QSO_DATE=datetime.date(2005, 1, 2), TIME_ON="09:40", CALL="DL1XYZ",
         BAND="20M", MODE="CW", FREQ=14.025, NAME="Jürgen Groß",
         QSL_SENT="N", QSL_RCVD="T", LOTW=False, NOTES="", QTH="München"),
    dict(QSO_DATE=datetime.date(2005, 1, 3), TIME_ON="1430", CALL="F5ABC",
         BAND="15M", MODE="RTTY", FREQ=21.08, NAME="François Çelik",
         QSL_SENT="t", QSL_RCVD="N", LOTW=True, NOTES=LONG_NOTE),
    # deleted
    dict(QSO_DATE=datetime.date(2005, 1, 4), TIME_ON="10:05:30", CALL="G3XYZ",
         BAND="80M", MODE="SSB", FREQ=3.7, NAME="Åsa Öberg", QSL_SENT="R",
         LOTW=False, NOTES="borrado: contacto duplicado", QTH="Göteborg"),
    # no call sign: the record gives an empty line
    dict(QSO_DATE=datetime.date(2005, 1, 5), TIME_ON="11:00", BAND="10M",
         MODE="FM", FREQ=29.6, NAME="Añón", QSL_SENT="N", QSL_RCVD="N",
         LOTW=False, NOTES="sin indicativo: ñ"),
    dict(QSO_DATE=datetime.date(2005, 1, 6), CALL="I2ABC", NAME="Marco Rossi",
         LOTW=True, NOTES="trailing blanks   ", QTH="Milano"),
    # deleted
    dict(QSO_DATE=datetime.date(2005, 1, 7), TIME_ON="18:20", CALL="EA7XX",
         BAND="17M", MODE="SSB", FREQ=18.13, NAME="Ramón Pérez",
         QSL_SENT="S", QSL_RCVD="S", LOTW=True, NOTES="Sevilla, ñandú"),
    dict(TIME_ON="23:59", CALL="EA8/ON4XYZ", BAND="2M", MODE="FM",
         FREQ=144.3, NAME="Mårten Ångström", QSL_SENT="S", QSL_RCVD="S",
         LOTW=True, NOTES="73 de EA4ABC: ñ ü ç"),
]

DELETED = {3, 6}  # indexes into CONTACTS

# A table for the code pages: every character of the upper half (0x80-0xFF)
# that the code page defines, in a character column and in a memo.
CHARSET_COLUMNS = [
    ("CALL", "C", 10, 0),
    ("COMMENT", "C", 130, 0),
    ("NOTES", "M", 10, 0),
]


def upper_half(code_page):
    """The characters of bytes 0x80-0xFF of the code page, in byte order,
    between brackets (so that no writer takes a no-break space at either end
    for padding)."""
    chars = []
    for byte in range(0x80, 0x100):
        try:
            chars.append(bytes([byte]).decode("cp%d" % code_page))
        except UnicodeDecodeError:
            pass  # undefined in this code page (five bytes of 1252)
    return "[" + "".join(chars) + "]"


def charset_contacts(code_page):
    text = upper_half(code_page)
    return [dict(CALL="EA1CP%d" % code_page, COMMENT=text, NOTES=text)]
