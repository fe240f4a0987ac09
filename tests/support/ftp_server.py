"""ftp_server.py --folder DIR --user USER --password PASSWORD [--refuse]: an FTP
server on 127.0.0.1 whose one account reads DIR; --refuse refuses every login."""

import argparse
import logging

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

from served_port import announce_port_and_watch_stdin


class RefusingAuthorizer(DummyAuthorizer):
    def validate_authentication(self, username, password, handler):
        raise AuthenticationFailed("Login refused.")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--refuse", action="store_true")
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING)
    authorizer = RefusingAuthorizer() if args.refuse else DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.folder, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    Handler.timeout = 60
    server = FTPServer(("127.0.0.1", 0), Handler)
    announce_port_and_watch_stdin(server.address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
