#!/usr/bin/env python3
"""Writes the element sets of a two-line element file as orbit mean-element
messages (OMM) in the three forms that Vespera reads: CSV, XML (CCSDS NDM/XML)
and JSON.

    tools/tle_to_omm.py FILE.tle OUT_PREFIX [--json-strings]

writes OUT_PREFIX.csv, OUT_PREFIX.xml and OUT_PREFIX.json. Every value is
taken from the digits of the two-line set itself, so that each record holds
exactly the values of its set: the epoch's day fraction of eight decimals is
a whole number of 864 microseconds, and the exponent forms of line 1 (drag
term, second derivative) are written as decimal exponents. The CSV follows
the style of a public distributor (".3601E-3", no zero before the point);
the JSON writes numbers as numbers, or, with --json-strings, every value as
a string, as another distributor does.
"""
import datetime
import json
import sys
from xml.sax.saxutils import escape


def read_sets(path):
    """(name, line1, line2) of every complete set, in file order."""
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    name = None
    line1 = None
    for line in lines:
        if line.startswith("1 "):
            line1 = line
        elif line.startswith("2 ") and line1 is not None:
            yield name, line1, line
            name, line1 = None, None
        elif line[:14].strip():
            name, line1 = line.rstrip(), None


def decimal_text(text):
    """A fixed-column decimal as written without blanks and plus signs."""
    text = text.replace(" ", "").replace("+", "")
    negative = text.startswith("-")
    text = text.lstrip("-")
    whole, _, fraction = text.partition(".")
    whole = whole.lstrip("0")
    out = (whole or "0") + ("." + fraction if fraction else "")
    return ("-" if negative else "") + out


def exponent_text(field):
    """The layout ' 36010-3' (implied point, power of ten) as '.36010E-3'."""
    field = field.replace(" ", "").replace("+", "")
    negative = field.startswith("-")
    field = field.lstrip("-")
    if len(field) < 2:
        return "0"
    mantissa, power = field[:-2], field[-2:]
    if power[0] not in "-0123456789":
        return "0"
    if not power.startswith("-"):
        mantissa, power = field[:-1], field[-1]
    if int(mantissa or "0") == 0:
        return "0"
    return ("-" if negative else "") + "." + mantissa + "E" + str(int(power))


def epoch_text(line1):
    year = int(line1[18:20])
    year += 2000 if year < 57 else 1900
    day = int(line1[20:23])
    fraction = line1[23:32].replace(" ", "")
    digits = (fraction.lstrip(".") + "00000000")[:8]
    microseconds = int(digits) * 864  # 1e-8 day is 864 microseconds
    start = datetime.datetime(year, 1, 1) + datetime.timedelta(days=day - 1)
    moment = start + datetime.timedelta(microseconds=microseconds)
    return moment.strftime("%Y-%m-%dT%H:%M:%S.%f")


def object_id(line1):
    designator = line1[9:17].strip()
    if len(designator) < 6 or not designator[:5].isdigit():
        return designator
    year = int(designator[:2])
    year += 2000 if year < 57 else 1900
    return "%d-%s" % (year, designator[2:])


def record(name, line1, line2):
    ncat = line1[2:7].strip()
    return {
        "OBJECT_NAME": name if name is not None else "",
        "OBJECT_ID": object_id(line1),
        "EPOCH": epoch_text(line1),
        "MEAN_MOTION": decimal_text(line2[52:63]),
        "ECCENTRICITY": "." + line2[26:33].replace(" ", "0"),
        "INCLINATION": decimal_text(line2[8:16]),
        "RA_OF_ASC_NODE": decimal_text(line2[17:25]),
        "ARG_OF_PERICENTER": decimal_text(line2[34:42]),
        "MEAN_ANOMALY": decimal_text(line2[43:51]),
        "EPHEMERIS_TYPE": line1[62].strip() or "0",
        "CLASSIFICATION_TYPE": line1[7],
        "NORAD_CAT_ID": ncat,
        "ELEMENT_SET_NO": line1[64:68].strip() or "999",
        "REV_AT_EPOCH": line2[63:68].strip() or "0",
        "BSTAR": exponent_text(line1[53:61]),
        "MEAN_MOTION_DOT": decimal_text(line1[33:43]),
        "MEAN_MOTION_DDOT": exponent_text(line1[44:52]),
    }


KEYS = ["OBJECT_NAME", "OBJECT_ID", "EPOCH", "MEAN_MOTION", "ECCENTRICITY", "INCLINATION",
        "RA_OF_ASC_NODE", "ARG_OF_PERICENTER", "MEAN_ANOMALY", "EPHEMERIS_TYPE",
        "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO", "REV_AT_EPOCH", "BSTAR",
        "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT"]
TEXT_KEYS = {"OBJECT_NAME", "OBJECT_ID", "EPOCH", "CLASSIFICATION_TYPE"}
META_KEYS = ["OBJECT_NAME", "OBJECT_ID"]
MEAN_KEYS = ["EPOCH", "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE",
             "ARG_OF_PERICENTER", "MEAN_ANOMALY"]
TLE_KEYS = ["EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO",
            "REV_AT_EPOCH", "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT"]


def csv_field(value):
    if any(c in value for c in ',"\r\n'):
        return '"' + value.replace('"', '""') + '"'
    return value


def write_csv(records, path):
    with open(path, "w", newline="") as f:
        f.write(",".join(KEYS) + "\r\n")
        for r in records:
            f.write(",".join(csv_field(r[k]) for k in KEYS) + "\r\n")


def write_xml(records, path):
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<ndm xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" '
           'xsi:noNamespaceSchemaLocation="https://sanaregistry.org/r/ndmxml_unqualified/ndmxml-2.0.0-master-2.0.xsd">']
    for r in records:
        def block(keys, indent):
            return ["%s<%s>%s</%s>" % (indent, k, escape(r[k]), k) for k in keys]
        out += ['<omm id="CCSDS_OMM_VERS" version="2.0">',
                '<header><CREATION_DATE/><ORIGINATOR/></header>',
                '<body>', '<segment>', '<metadata>']
        out += block(META_KEYS, "")
        out += ["<CENTER_NAME>EARTH</CENTER_NAME>", "<REF_FRAME>TEME</REF_FRAME>",
                "<TIME_SYSTEM>UTC</TIME_SYSTEM>", "<MEAN_ELEMENT_THEORY>SGP4</MEAN_ELEMENT_THEORY>",
                "</metadata>", "<data>", "<meanElements>"]
        out += block(MEAN_KEYS, "")
        out += ["</meanElements>", "<tleParameters>"]
        out += block(TLE_KEYS, "")
        out += ["</tleParameters>", "</data>", "</segment>", "</body>", "</omm>"]
    out.append("</ndm>")
    with open(path, "w", newline="") as f:
        f.write("\n".join(out) + "\n")


def json_value(key, value, strings):
    if strings or key in TEXT_KEYS:
        return value
    number = float(value)
    return int(number) if key in ("NORAD_CAT_ID", "EPHEMERIS_TYPE", "ELEMENT_SET_NO",
                                  "REV_AT_EPOCH") else RawNumber(value)


class RawNumber(float):
    """A number written with the digits it was given."""

    def __new__(cls, text):
        self = float.__new__(cls, text)
        self.text = text
        return self

    def __repr__(self):
        text = self.text
        if text.startswith("."):
            text = "0" + text
        if text.startswith("-."):
            text = "-0" + text[1:]
        return text


def write_json(records, path, strings):
    parts = []
    for r in records:
        fields = []
        for k in KEYS:
            value = json_value(k, r[k], strings)
            if isinstance(value, RawNumber):
                fields.append('"%s":%s' % (k, repr(value)))
            else:
                fields.append('"%s":%s' % (k, json.dumps(value)))
        parts.append("{" + ",".join(fields) + "}")
    with open(path, "w", newline="") as f:
        f.write("[" + ",\n".join(parts) + "]\n")


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    records = [record(*s) for s in read_sets(argv[1])]
    write_csv(records, argv[2] + ".csv")
    write_xml(records, argv[2] + ".xml")
    write_json(records, argv[2] + ".json", "--json-strings" in argv[3:])


if __name__ == "__main__":
    main(sys.argv)
