#!/usr/bin/python3
"""Local mail server for the demo: speaks STARTTLS with the given certificate, accepts
AUTH LOGIN/PLAIN from the demo account only over TLS, and stores every received mail
as a numbered .eml file in a folder.

    demo-smtp.py HOST PORT FOLDER USER PASSWORD CERT KEY
"""
import asyncio
import logging
import pathlib
import signal
import ssl
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Store:
    def __init__(self, folder):
        self.folder = pathlib.Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)

    async def handle_DATA(self, server, session, envelope):
        count = len(list(self.folder.glob("*.eml"))) + 1
        target = self.folder / f"{count:03d}.eml"
        head = f"X-Envelope-From: {envelope.mail_from}\r\nX-Envelope-To: {', '.join(envelope.rcpt_tos)}\r\n"
        target.write_bytes(head.encode("ascii", "replace") + envelope.original_content)
        print(f"demo-smtp: stored {target}", flush=True)
        return "250 OK"


def main():
    # The demo shows the safe path: the program starts TLS before it logs in.
    warnings.filterwarnings("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    host, port, folder, user, password = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
    cert, key = sys.argv[6], sys.argv[7]
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(cert, key)

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
            and auth_data.password.decode() == password
        # handled=False: aiosmtpd answers a refused login with 535 itself.
        return AuthResult(success=ok, handled=False)

    controller = Controller(Store(folder), hostname=host, port=port, authenticator=authenticate,
                            tls_context=tls, require_starttls=True, auth_require_tls=True,
                            auth_required=True)
    controller.start()
    print(f"demo-smtp: listening on {host}:{port}, mail goes to {folder}", flush=True)
    loop = asyncio.new_event_loop()
    stop = loop.create_future()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(None))
    loop.run_until_complete(stop)
    controller.stop()


if __name__ == "__main__":
    main()
