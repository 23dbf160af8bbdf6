# SPDX-License-Identifier: MIT
"""A scripted IMAP server on 127.0.0.1 (plain TCP, no STARTTLS) for the gateway's tests: a
mailbox of `exists` messages whose UIDs are their sequence numbers, of which `unseen` are unseen,
and faults to order. It records every command line (a LOGIN without its password), counts
connections and logins, and can stall, delay, flood or add untagged lines."""
import re
import socket
import threading

HEADER = "From: Sender %d <s%d@example.org>\r\nSubject: Message %d\r\nDate: Sat, 7 Dec 2024 10:05:00 +0000\r\n\r\n"
BODY = b"Hello.\r\n"
CHUNK = 1 << 16
FILL = b"X" * CHUNK


def uid_set(text, last):
    """The UIDs that `5,7,9:12` or `1:*` names, lazily, within 1..last."""
    for part in text.split(","):
        low, _, high = part.partition(":")
        low = last if low == "*" else int(low)
        high = low if not high else last if high == "*" else int(high)
        yield from range(max(1, min(low, high)), min(max(low, high), last) + 1)


class HostileImap:
    """Scenario options (attributes, so a test may change them between checks):
    exists, unseen (UIDs), uidvalidity, capabilities, stall (a command name such as "SELECT" or
    "UID SEARCH" after which nothing is answered, or "GREETING"), delay ({command: seconds}),
    extra ({command: [untagged lines sent before its tagged answer]}), literal (bytes of a header
    literal in the FETCH answers, streamed). Every SEARCH answers the unseen UIDs."""

    def __init__(self, exists=3, unseen=(1, 2, 3), uidvalidity=7, capabilities=("IMAP4rev1", "UIDPLUS"),
                 stall=None, delay=None, extra=None, literal=0):
        self.exists, self.unseen, self.uidvalidity, self.capabilities = exists, list(unseen), uidvalidity, capabilities
        self.stall, self.delay, self.extra, self.literal = stall, delay or {}, extra or {}, literal
        self.commands, self.connections, self.logins, self.open = [], 0, 0, 0
        self.lock, self.closing = threading.Lock(), threading.Event()
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.url = "imap://127.0.0.1:%d" % self.port
        self.clients = []
        threading.Thread(target=self.accept, daemon=True).start()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self.closing.set()
        self.listener.close()
        with self.lock:
            for client in self.clients:
                try:
                    client.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass

    def received(self, pattern):
        """The recorded command lines that match `pattern` (a regular expression) from their start."""
        with self.lock:
            return [c for c in self.commands if re.match(pattern, c)]

    def accept(self):
        while not self.closing.is_set():
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            with self.lock:
                self.connections += 1
                self.open += 1
                self.clients.append(client)
            threading.Thread(target=self.serve, args=(client,), daemon=True).start()

    def serve(self, client):
        try:
            with client, client.makefile("rb") as reader:
                self.conversation(client, reader)
        except OSError:
            pass  # the client went away
        finally:
            with self.lock:
                self.open -= 1

    def read_command(self, client, reader):
        """One command line with its literals as quoted strings, or None at the end."""
        line = b""
        while True:
            part = reader.readline(1 << 20)
            if not part:
                return None
            line += part.rstrip(b"\r\n")
            literal = re.search(rb"\{(\d+)(\+?)\}$", line)
            if not literal:
                return line.decode("utf-8", "replace")
            if not literal.group(2):
                client.sendall(b"+ go ahead\r\n")
            text = reader.read(int(literal.group(1)))
            line = line[:literal.start()] + b'"' + text.replace(b"\\", b"\\\\").replace(b'"', b'\\"') + b'"'

    def conversation(self, client, reader):
        if self.stall == "GREETING":
            self.closing.wait(60)
            return
        client.sendall(b"* OK [CAPABILITY %s] ready\r\n" % " ".join(self.capabilities).encode())
        while (line := self.read_command(client, reader)) is not None:
            words = re.findall(r'"(?:[^"\\]|\\.)*"|\S+', line) or ["*"]
            tag, name = words[0], " ".join(words[1:3] if words[1:2] == ["UID"] else words[1:2]).upper()
            with self.lock:
                if name == "LOGIN":
                    self.logins += 1
                    line = " ".join(words[:3])
                self.commands.append(line.split(" ", 1)[1])
            if self.stall == name:
                self.closing.wait(60)
                return
            self.closing.wait(self.delay.get(name, 0))
            answer = self.answer(client, name, words[1:])
            client.sendall(b"".join(l.encode() + b"\r\n" for l in self.extra.get(name, [])))
            client.sendall(("%s %s\r\n" % (tag, answer)).encode())
            if name == "LOGOUT":
                return

    def answer(self, client, name, words):
        """Sends the untagged part of the answer to one command; returns the tagged one."""
        untagged = []
        if name == "CAPABILITY":
            untagged = ["* CAPABILITY " + " ".join(self.capabilities)]
        elif name in ("SELECT", "EXAMINE"):
            untagged = ["* %d EXISTS" % self.exists, "* 0 RECENT", "* OK [UIDVALIDITY %d] v" % self.uidvalidity,
                        "* OK [UIDNEXT %d] n" % (self.exists + 1), "* FLAGS (\\Seen \\Deleted)"]
            client.sendall("".join(l + "\r\n" for l in untagged).encode())
            return "OK [%s] done" % ("READ-ONLY" if name == "EXAMINE" else "READ-WRITE")
        elif name in ("SEARCH", "UID SEARCH"):
            untagged = ["* SEARCH" + "".join(" %d" % uid for uid in self.unseen)]
        elif name in ("FETCH", "UID FETCH"):
            self.fetch(client, words[1 if name == "FETCH" else 2], " ".join(words).upper())
        elif name == "LIST":  # the hierarchy delimiter, or INBOX
            untagged = ['* LIST (\\Noselect) "/" ""' if words[-1] == '""' else '* LIST () "/" INBOX']
        elif name == "LOGOUT":
            untagged = ["* BYE see you"]
        elif name not in ("LOGIN", "NOOP", "UID STORE", "STORE", "EXPUNGE", "UID EXPUNGE", "CLOSE", "CHECK"):
            return "BAD unknown command"
        client.sendall("".join(l + "\r\n" for l in untagged).encode())
        return "OK done"

    def fetch(self, client, uids, items):
        unseen = set(self.unseen)
        for uid in uid_set(uids, self.exists):
            header = (HEADER % (uid, uid, uid)).encode()
            parts = [b"* %d FETCH (UID %d RFC822.SIZE %d" % (uid, uid, len(header) + len(BODY))]

            def string(data):
                """`data` as a literal, or the scenario's flood in its place, streamed."""
                size = self.literal
                if not size:
                    return parts.append(b"{%d}\r\n%s" % (len(data), data))
                client.sendall(b"".join(parts) + b"{%d}\r\n" % size)
                parts.clear()
                for sent in range(0, size, CHUNK):
                    client.sendall(FILL[:size - sent])

            if "FLAGS" in items:
                parts.append(b" FLAGS (%s)" % (b"" if uid in unseen else b"\\Seen"))
            if "ENVELOPE" in items:
                parts.append(b' ENVELOPE ("Sat, 7 Dec 2024 10:05:00 +0000" ')
                string(b"Message %d" % uid)
                parts.append(b' (("Sender %d" NIL "s%d" "example.org")) NIL NIL NIL NIL NIL NIL NIL)' % (uid, uid))
            if "INTERNALDATE" in items:
                parts.append(b' INTERNALDATE "07-Dec-2024 10:05:00 +0000"')
            if "HEADER" in items:
                parts.append(b" BODY[HEADER.FIELDS (FROM SUBJECT DATE)] ")
                string(header)
            if "BODY.PEEK[]" in items or "BODY[]" in items:
                parts.append(b" BODY[]<0> {%d}\r\n%s%s" % (len(header) + len(BODY), header, BODY))
            client.sendall(b"".join(parts) + b")\r\n")
