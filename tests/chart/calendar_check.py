#!/usr/bin/env python3
"""The calendar file of vespera-chart read by python3-icalendar, as a phone's
calendar would read it.

Runs vespera-chart on the example's report with --ics and --alarm, reads the
file with icalendar (Debian's python3-icalendar) and checks: one event for
every pass of the report; start and end in UTC, the end after the start;
the ISS's first pass from 23:20:53 to 23:26:17 UTC; summaries of the form
"ISS (ZARYA) 0.7 mag, 29° high"; the site as the location; the highest
point and the first and last directions in the description; one alarm
before each event; UIDs that differ from one another and are the same in a
second run (the whole file is); lines of at most 75 octets ended by CR LF.

    calendar_check.py VESPERA_CHART REPORT

Exits 77 (skipped) when icalendar cannot be imported, 1 on a failed check.
"""
import datetime
import os
import re
import subprocess
import sys
import tempfile

SKIPPED = 77
PASSES = 34


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    try:
        import icalendar
    except ImportError:
        print("python3-icalendar is not installed: the calendar check is skipped")
        return SKIPPED
    chart, report = (os.path.abspath(a) for a in sys.argv[1:])
    with tempfile.TemporaryDirectory(prefix="vespera-ics-") as work:
        runs = []
        for name in ("a.ics", "b.ics"):
            subprocess.run([chart, report, "-o", os.path.join(work, "page.html"), "--ics",
                            os.path.join(work, name), "--alarm", "10"], check=True)
            with open(os.path.join(work, name), "rb") as f:
                runs.append(f.read())
    data = runs[0]
    if runs[1] != data:
        fail("two runs on the same report wrote different calendars")
    if not data.endswith(b"\r\n") or b"\n" in data.replace(b"\r\n", b""):
        fail("a line not ended by CR LF")
    long_lines = [line for line in data.split(b"\r\n") if len(line) > 75]
    if long_lines:
        fail("%d lines longer than 75 octets, the first: %r" % (len(long_lines), long_lines[0]))

    calendar = icalendar.Calendar.from_ical(data)
    events = list(calendar.walk("VEVENT"))
    if len(events) != PASSES:
        fail("%d events for %d passes" % (len(events), PASSES))
    uids = set()
    summary_form = re.compile(r"^.+ -?\d+\.\d mag, \d+\u00b0 high$")
    utc = datetime.timezone.utc
    for event in events:
        start, end = event.decoded("DTSTART"), event.decoded("DTEND")
        if start.utcoffset() != datetime.timedelta(0) or end.utcoffset() != datetime.timedelta(0):
            fail("an event not in UTC: %s" % start)
        if end <= start:
            fail("an event that ends at %s, before its start %s" % (end, start))
        summary = str(event.get("SUMMARY"))
        if not summary_form.match(summary):
            fail("a summary not of the form \"NAME -2.9 mag, 67\u00b0 high\": %r" % summary)
        if "Backyard observatory, 40.000\u00b0 N, 75.000\u00b0 W" != str(event.get("LOCATION")):
            fail("the location %r" % str(event.get("LOCATION")))
        description = str(event.get("DESCRIPTION"))
        for part in ("Highest: ", "First point: ", "Last point: "):
            if part not in description:
                fail("no %r in the description %r" % (part, description))
        alarms = list(event.walk("VALARM"))
        if len(alarms) != 1 or alarms[0].decoded("TRIGGER") != datetime.timedelta(minutes=-10):
            fail("the alarm of %r" % summary)
        uids.add(str(event.get("UID")))
    if len(uids) != PASSES:
        fail("%d different UIDs for %d events" % (len(uids), PASSES))
    iss = [e for e in events if str(e.get("SUMMARY")).startswith("ISS (ZARYA)")]
    first = min(iss, key=lambda e: e.decoded("DTSTART"))
    if (first.decoded("DTSTART") != datetime.datetime(2017, 10, 16, 23, 20, 53, tzinfo=utc)
            or first.decoded("DTEND") != datetime.datetime(2017, 10, 16, 23, 26, 17, tzinfo=utc)):
        fail("the ISS's first pass from %s to %s" % (first.decoded("DTSTART"), first.decoded("DTEND")))
    if str(first.get("SUMMARY")) != "ISS (ZARYA) 0.7 mag, 29\u00b0 high":
        fail("the ISS's summary %r" % str(first.get("SUMMARY")))
    print("ok: %d events read by icalendar %s, in UTC, with alarms and distinct UIDs the same in two runs"
          % (len(events), icalendar.__version__ if hasattr(icalendar, "__version__") else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
