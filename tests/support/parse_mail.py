"""Parses one stored message with Python's e-mail package and prints it as JSON.

Usage: parse_mail.py FILE

Output: {"headers": [[name, raw value], ...], "from", "to", "subject" (decoded
header texts), "content_type", "body" (the first text/plain part, decoded,
line ends as LF), "body_charset", "attachments": [{"filename",
"content_type", "size", "sha256", "disposition"}]}.
"""

import email
import email.policy
import hashlib
import json
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        msg = email.message_from_binary_file(f, policy=email.policy.default)

    result = {
        "headers": [[k, str(v)] for k, v in msg.raw_items()],
        "from": str(msg.get("From", "")),
        "to": str(msg.get("To", "")),
        "subject": str(msg.get("Subject", "")),
        "content_type": msg.get_content_type(),
        "body": None,
        "body_charset": None,
        "attachments": [],
        "defects": [type(d).__name__ for d in msg.defects],
    }
    for part in msg.walk():
        if part.is_multipart():
            continue
        if part.get_content_disposition() == "attachment":
            data = part.get_payload(decode=True) or b""
            result["attachments"].append({
                "filename": part.get_filename(),
                "content_type": part.get_content_type(),
                "size": len(data),
                "sha256": hashlib.sha256(data).hexdigest(),
                "disposition": part.get_content_disposition(),
            })
        elif part.get_content_type() == "text/plain" and result["body"] is None:
            result["body"] = part.get_content().replace("\r\n", "\n")
            result["body_charset"] = part.get_content_charset()
    print(json.dumps(result))


if __name__ == "__main__":
    main()
