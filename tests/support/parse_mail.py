"""parse_mail.py FILE: the stored message as Python's e-mail package reads it,
as JSON (SmtpTestServer.cpp reads it)."""

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
            })
        elif part.get_content_type() == "text/plain" and result["body"] is None:
            result["body"] = part.get_content().replace("\r\n", "\n")
            result["body_charset"] = part.get_content_charset()
    print(json.dumps(result))


if __name__ == "__main__":
    main()
