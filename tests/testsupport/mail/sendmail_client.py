#!/usr/bin/env python3
"""A sendmail-compatible client for tests: reads a message on standard input
and hands it to an SMTP server on 127.0.0.1.

    sendmail_client.py --port N [-t] [-i] [-oi] [-f sender] [recipient ...]

With -t the recipients are read from To, Cc and Bcc (Bcc is not passed on);
the envelope sender is -f, else the From address. Exit code 0 when the server
took the message; otherwise 75 (temporary failure, as sendmail) and the
reason on standard error.
"""

import email
import email.policy
import email.utils
import smtplib
import sys


def main():
    args = sys.argv[1:]
    port = None
    read_headers = False
    sender = None
    recipients = []
    i = 0
    while i < len(args):
        a = args[i]
        if a == "--port":
            port = int(args[i + 1])
            i += 1
        elif a == "-t":
            read_headers = True
        elif a in ("-i", "-oi"):
            pass
        elif a == "-f":
            sender = args[i + 1]
            i += 1
        elif a.startswith("-"):
            print("sendmail_client: unknown option " + a, file=sys.stderr)
            return 64
        else:
            recipients.append(a)
        i += 1
    data = sys.stdin.buffer.read()
    message = email.message_from_bytes(data, policy=email.policy.SMTP)
    if read_headers:
        for field in ("To", "Cc", "Bcc"):
            for _, address in email.utils.getaddresses(message.get_all(field, [])):
                if address:
                    recipients.append(address)
        if message["Bcc"] is not None:
            del message["Bcc"]
            data = message.as_bytes()
    if sender is None:
        found = email.utils.getaddresses(message.get_all("From", []))
        sender = found[0][1] if found else ""
    if not recipients:
        print("sendmail_client: no recipients", file=sys.stderr)
        return 64
    try:
        with smtplib.SMTP("127.0.0.1", port, timeout=30) as smtp:
            # On the wire every line ends in CRLF, whatever the file had.
            smtp.sendmail(sender, recipients, data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
    except (OSError, smtplib.SMTPException) as error:
        print("sendmail_client: cannot deliver: %s" % error, file=sys.stderr)
        return 75
    return 0


if __name__ == "__main__":
    sys.exit(main())
