#!/usr/bin/python3
"""SMTP server for the tests: AUTH LOGIN with one fixed user and password, every
accepted message stored as <n>.eml in a folder, with <n>.json describing the
envelope. Prints "PORT <n>" once it listens on 127.0.0.1. Ends when its standard
input closes (the test is gone) or after --lifetime seconds."""

import argparse
import asyncio
import json
import os
import ssl
import sys
import threading

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--folder", required=True)
    p.add_argument("--user", default="nauczyciel@szkola.test")
    p.add_argument("--password", default="tajne")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--refuse", default="", help="recipients starting with this are refused")
    p.add_argument("--drop", action="store_true", help="drop the connection after EHLO")
    p.add_argument("--silent", action="store_true", help="accept connections but never answer")
    p.add_argument("--no-auth", action="store_true", help="offer no AUTH, like a plain school server")
    p.add_argument("--refuse-starttls", action="store_true",
                   help="lists STARTTLS (with --cert) but answers it with 454")
    p.add_argument("--plain-only", action="store_true",
                   help="lists AUTH PLAIN but not LOGIN")
    p.add_argument("--drop-in-data", action="store_true",
                   help="hang up once the message has arrived, before accepting it")
    p.add_argument("--helo-only", action="store_true",
                   help="refuses EHLO like an old server that knows only HELO")
    p.add_argument("--silent-after-data", action="store_true",
                   help="stores the message, then never answers the end of DATA")
    p.add_argument("--silent-quit", action="store_true",
                   help="accepts the message, then never answers QUIT")
    p.add_argument("--lifetime", type=float, default=120)
    return p.parse_args()


class Handler:
    def __init__(self, args):
        self.args = args
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.args.refuse and address.startswith(self.args.refuse):
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.args.drop_in_data:
            server.transport.abort()
            return "421 4.3.0 Going away"
        if self.args.silent_after_data:
            self.store(session, envelope)
            await asyncio.sleep(3600)
        return self.store(session, envelope)

    def store(self, session, envelope):
        self.count += 1
        base = os.path.join(self.args.folder, str(self.count))
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content)
        os.replace(base + ".eml.part", base + ".eml")
        meta = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "authenticated": bool(session.authenticated),
        }
        with open(base + ".json", "w") as f:
            json.dump(meta, f)
        return "250 Message accepted"


class RefusingStarttls(SMTP):
    """Lists STARTTLS but will not start it, like a misconfigured server."""

    async def smtp_STARTTLS(self, arg):
        await self.push("454 4.7.0 TLS not available due to temporary reason")


def make_authenticator(args):
    def authenticator(server, session, envelope, mechanism, auth_data):
        # Every login the server is given, and whether it came encrypted.
        with open(os.path.join(args.folder, "auth.log"), "a") as log:
            log.write("%s %s\n" % (mechanism, "tls" if session.ssl is not None else "plain"))
        ok = (mechanism == "LOGIN" and isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok, handled=False)
    return authenticator


class SilentQuit(SMTP):
    """Takes the mail as usual, then never says goodbye and keeps the line open."""

    async def smtp_QUIT(self, arg):
        await asyncio.sleep(3600)


class HeloOnly(SMTP):
    """Knows only HELO: EHLO is refused, so nothing (STARTTLS, AUTH) is offered."""

    async def smtp_EHLO(self, hostname):
        await self.push("502 5.5.1 Command not implemented")


class Dropper(asyncio.Protocol):
    """Greets, answers EHLO offering AUTH LOGIN, then hangs up on the next command."""

    def connection_made(self, transport):
        self.transport = transport
        self.buffer = b""
        transport.write(b"220 test ESMTP\r\n")

    def data_received(self, data):
        self.buffer += data
        while b"\r\n" in self.buffer:
            line, self.buffer = self.buffer.split(b"\r\n", 1)
            if line.upper().startswith((b"EHLO", b"HELO")):
                self.transport.write(b"250-test\r\n250 AUTH LOGIN\r\n")
            else:
                self.transport.abort()
                return


class Silent(asyncio.Protocol):
    """Takes the connection and says nothing, like a server that hangs."""


def watch_stdin(loop):
    try:
        sys.stdin.buffer.read()
    except Exception:
        pass
    loop.call_soon_threadsafe(loop.stop)


def main():
    args = parse_args()
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    if args.drop:
        factory = Dropper
    elif args.silent:
        factory = Silent
    else:
        tls = None
        if args.cert:
            tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            tls.load_cert_chain(args.cert, args.key)
        handler = Handler(args)

        server_class = (RefusingStarttls if args.refuse_starttls else HeloOnly if args.helo_only
                        else SilentQuit if args.silent_quit else SMTP)

        def factory():
            return server_class(handler, hostname="test.smtp", tls_context=tls, require_starttls=False,
                        auth_required=False,
                        # aiosmtpd lists AUTH only where it allows it; over plain TCP
                        # this hides it.
                        auth_require_tls=args.no_auth,
                        auth_exclude_mechanism=["LOGIN"] if args.plain_only else None,
                        authenticator=make_authenticator(args))
    server = loop.run_until_complete(loop.create_server(factory, "127.0.0.1", 0))
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)
    threading.Thread(target=watch_stdin, args=(loop,), daemon=True).start()
    loop.call_later(args.lifetime, loop.stop)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()
