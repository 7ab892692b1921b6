#!/usr/bin/env python3
"""Reads a message file the way a strict mail program does and says what it
found, as JSON on standard output.

    check_message.py <file>

Python's email parser with policy=email.policy.strict raises on any defect of
the message's structure; every header is then parsed into its structured form
and a defect there is reported too. "problems" lists what a mail program would
refuse: a defect, or a missing From or Date.
"""

import email
import email.policy
import json
import sys


def main():
    problems = []
    try:
        with open(sys.argv[1], "rb") as f:
            message = email.message_from_binary_file(f, policy=email.policy.strict)
    except Exception as error:  # the strict policy raises on the first defect
        print(json.dumps({"problems": ["not parsed: %s" % error]}))
        return 0
    for part in message.walk():
        for name, value in part.items():
            for defect in getattr(value, "defects", ()):
                problems.append("%s: %s" % (name, defect))
        problems.extend(str(d) for d in part.defects)
    for required in ("From", "Date"):
        if message[required] is None:
            problems.append("no %s header" % required)
    date = message["Date"]
    if date is not None and date.datetime is None:
        problems.append("Date does not read as a date")
    senders = [a.addr_spec for a in message["From"].addresses] if message["From"] else []
    if message["From"] is not None and (not senders or not all("@" in s for s in senders)):
        problems.append("From holds no address")
    calendar = None
    types = []
    for part in message.walk():
        types.append(part.get_content_type())
        if part.get_content_type() == "text/calendar":
            calendar = {"method": part.get_param("method"), "text": part.get_content()}
    body = message.get_body(("plain",))
    print(json.dumps({
        "problems": problems,
        "from": senders,
        "fromName": [a.display_name for a in message["From"].addresses] if message["From"] else [],
        "to": [a.addr_spec for a in message["To"].addresses] if message["To"] else [],
        "subject": str(message["Subject"]) if message["Subject"] is not None else None,
        "date": str(date) if date is not None else None,
        "types": types,
        "calendar": calendar,
        "body": body.get_content() if body is not None else None,
        "private": [k for k in message.keys() if k.lower().startswith("x-quorvale-")],
    }))
    return 0


if __name__ == "__main__":
    sys.exit(main())
