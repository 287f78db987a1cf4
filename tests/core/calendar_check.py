"""Reads iCalendar files written by `pelmora-cli calendar` with the icalendar
parser and prints what it found as one JSON document, for cli_export_test to
compare: per file its calendar properties, the lines that break the layout
(longer than 75 octets, not ended by CR LF, not UTF-8 on their own) and per
event its UID, dates, texts and alarms.

Usage: calendar_check.py FILE.ics ...
"""

import json
import sys

import icalendar


def layout_problems(data):
    problems = []
    if not data.endswith(b"\r\n"):
        problems.append("the last line has no CR LF")
    for number, line in enumerate(data.split(b"\r\n")[:-1], start=1):
        if b"\n" in line or b"\r" in line:
            problems.append(f"line {number}: a line break without CR LF")
        if len(line) > 75:
            problems.append(f"line {number}: {len(line)} octets")
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            problems.append(f"line {number}: a UTF-8 sequence split by folding")
    return problems


def event_of(event):
    return {
        "uid": str(event["UID"]),
        "stamp": event["DTSTAMP"].to_ical().decode(),
        "start": event.decoded("DTSTART").isoformat(),
        "end": event.decoded("DTEND").isoformat(),
        "all_day": event["DTSTART"].params.get("VALUE") == "DATE",
        "summary": str(event["SUMMARY"]),
        "description": str(event["DESCRIPTION"]),
        "alarms": [
            {
                "action": str(alarm["ACTION"]),
                "trigger": alarm["TRIGGER"].to_ical().decode(),
                "description": str(alarm["DESCRIPTION"]),
            }
            for alarm in event.walk("VALARM")
        ],
    }


def main(paths):
    files = []
    for path in paths:
        with open(path, "rb") as source:
            data = source.read()
        calendar = icalendar.Calendar.from_ical(data)
        files.append({
            "version": str(calendar["VERSION"]),
            "prodid": str(calendar["PRODID"]),
            "calscale": str(calendar["CALSCALE"]),
            "problems": layout_problems(data),
            "events": [event_of(event) for event in calendar.walk("VEVENT")],
        })
    json.dump(files, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
