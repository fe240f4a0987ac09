"""smtp_server.py --folder DIR [--auth USER:PASSWORD]: an SMTP server on
127.0.0.1 that stores message N as N.json (the envelope) and then N.eml (the
bytes as received). With --auth it requires AUTH PLAIN/LOGIN, without TLS."""

import argparse
import asyncio
import json
import os
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

from served_port import announce_port_and_watch_stdin


class StoringHandler:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".json", "w", encoding="utf-8") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos}, f)
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content)
        os.replace(base + ".eml.part", base + ".eml")
        return "250 Message accepted for delivery"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == user.encode() and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False)
    return authenticate


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--auth")
    args = parser.parse_args()
    warnings.simplefilter("ignore")  # AUTH without TLS is what the tests want

    handler = StoringHandler(args.folder)
    options = {"decode_data": False, "hostname": "smtp.test"}
    if args.auth:
        user, _, password = args.auth.partition(":")
        options.update(authenticator=make_authenticator(user, password),
                       auth_required=True, auth_require_tls=False)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: SMTP(handler, **options), "127.0.0.1", 0))
    announce_port_and_watch_stdin(server.sockets[0].getsockname()[1])
    loop.run_forever()


if __name__ == "__main__":
    main()
