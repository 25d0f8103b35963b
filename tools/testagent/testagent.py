#!/usr/bin/python3
"""A small SNMP agent that misbehaves on purpose, for the walk's fault tests.

    testagent.py --rows FILE --mode MODE [--after N] [--addr 127.0.0.1]
                 [--port 0] [--community snmpro] [--lifetime SECONDS]
                 [--record FILE]

It serves the device profile table from a row file of the simulated printer's
format (tools/simprinter) over UDP and prints the port it bound, on one line,
once it is ready. It answers SNMPv1 and v2c GET and GETNEXT requests, with the
messages encoded by hand so that it can send what a correct agent never would.
Modes (the misbehaviour starts after N correct answers, default 0):

    normal       a correct agent; GETNEXT past the table answers noSuchName
    silent       receives and never answers
    duplicate    answers once more with the identifier of the previous answer,
                 then goes on correctly
    error        answers with error status genErr
    nosuchname   answers with error status noSuchName
    wrongtype    numbers as octet strings and texts as integers
    empty        a success response without variables
    endofmib     the endOfMibView exception (v2c) or noSuchName (v1)
    short        the table preceded by cells whose identifiers end after
                 the column or the table number (no row index)
    slow         a correct agent that takes 150 ms over every answer

Rows with index 0 or above 500, names of 32 bytes or more and names with
bytes that are not UTF-8 come from the row file itself. The agent binds only
loopback addresses. --record appends one line per request received ("get" or
"getnext" and the identifier, then " again" for a retransmission), so tests
can count requests and attempts. A retransmission (the same request id again)
is answered like the first transmission and does not count as an answer, so a
slow moment does not move the point where the agent starts to misbehave. The
agent ends after its lifetime (default 60 s) or as soon
as the process that started it is gone.
"""
import argparse
import os
import select
import socket
import sys
import time

sys.dont_write_bytecode = True  # tests run it from the source tree: leave no caches there
sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "simprinter"))
import profile_table  # noqa: E402  (the row format and the table layout live there)

INTEGER, OCTET_STRING, NULL, OID, SEQUENCE = 0x02, 0x04, 0x05, 0x06, 0x30
GET, GETNEXT, RESPONSE = 0xA0, 0xA1, 0xA2
END_OF_MIB_VIEW = 0x82
NO_SUCH_NAME, GEN_ERR = 2, 5


# --- BER encoding ---------------------------------------------------------

def enc_len(n):
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes((n.bit_length() + 7) // 8, "big")
    return bytes([0x80 | len(body)]) + body


def tlv(tag, body):
    return bytes([tag]) + enc_len(len(body)) + body


def enc_int(value):
    length = 1
    while not -(1 << (8 * length - 1)) <= value < (1 << (8 * length - 1)):
        length += 1
    return tlv(INTEGER, value.to_bytes(length, "big", signed=True))


def enc_oid(oid):
    subids = [oid[0] * 40 + oid[1]] + list(oid[2:])
    body = bytearray()
    for sub in subids:
        chunk = [sub & 0x7F]
        sub >>= 7
        while sub:
            chunk.append(0x80 | (sub & 0x7F))
            sub >>= 7
        body.extend(reversed(chunk))
    return tlv(OID, bytes(body))


def enc_value(kind, value):
    if kind == INTEGER:
        return enc_int(value)
    if kind == OCTET_STRING:
        return tlv(OCTET_STRING, value)
    return tlv(kind, b"")  # NULL and the exception values carry no contents


# --- BER decoding (only what requests need) -------------------------------

class Malformed(Exception):
    pass


def dec_tlv(data, pos):
    if pos + 2 > len(data):
        raise Malformed()
    tag, first = data[pos], data[pos + 1]
    pos += 2
    if first & 0x80:
        count = first & 0x7F
        if count == 0 or count > 4 or pos + count > len(data):
            raise Malformed()
        length = int.from_bytes(data[pos:pos + count], "big")
        pos += count
    else:
        length = first
    if pos + length > len(data):
        raise Malformed()
    return tag, data[pos:pos + length], pos + length


def dec_int(body):
    if not body:
        raise Malformed()
    return int.from_bytes(body, "big", signed=True)


def dec_oid(body):
    if not body:
        raise Malformed()
    subids, sub = [], 0
    for byte in body:
        sub = (sub << 7) | (byte & 0x7F)
        if not byte & 0x80:
            subids.append(sub)
            sub = 0
    first = subids[0]
    return tuple([min(first // 40, 2), first - 40 * min(first // 40, 2)] + subids[1:])


def parse_request(data):
    tag, body, _ = dec_tlv(data, 0)
    if tag != SEQUENCE:
        raise Malformed()
    tag, version, pos = dec_tlv(body, 0)
    tag2, community, pos = dec_tlv(body, pos)
    pdu_tag, pdu, _ = dec_tlv(body, pos)
    if tag != INTEGER or tag2 != OCTET_STRING:
        raise Malformed()
    tag, reqid, p = dec_tlv(pdu, 0)
    _, _, p = dec_tlv(pdu, p)  # error status
    _, _, p = dec_tlv(pdu, p)  # error index
    tag, varbinds, _ = dec_tlv(pdu, p)
    oids, vp = [], 0
    while vp < len(varbinds):
        _, vb, vp = dec_tlv(varbinds, vp)
        otag, obody, _ = dec_tlv(vb, 0)
        if otag != OID:
            raise Malformed()
        oids.append(dec_oid(obody))
    return dec_int(version), community, pdu_tag, dec_int(reqid), oids


def response(version, community, reqid, status, index, varbinds):
    vbs = b"".join(tlv(SEQUENCE, enc_oid(oid) + enc_value(kind, value))
                   for oid, kind, value in varbinds)
    pdu = tlv(RESPONSE, enc_int(reqid) + enc_int(status) + enc_int(index) + tlv(SEQUENCE, vbs))
    return tlv(SEQUENCE, enc_int(version) + tlv(OCTET_STRING, community) + pdu)


# --- the table ------------------------------------------------------------

def build_cells(rows, mode):
    cells = []
    for row in rows:
        for column, (field, kind) in profile_table.COLUMNS.items():
            value = 0 if field is None else row[field]
            ber = OCTET_STRING if kind == "text" else INTEGER
            if mode == "wrongtype":
                if ber == INTEGER:
                    ber, value = OCTET_STRING, str(value).encode()
                else:
                    ber, value = INTEGER, 7
            oid = profile_table.ENTRY + (column, profile_table.TABLE_NUMBER, row[0])
            cells.append((oid, ber, value))
    if mode == "short":
        for column in profile_table.COLUMNS:
            cells.append((profile_table.ENTRY + (column,), INTEGER, 1))
            cells.append((profile_table.ENTRY + (column, profile_table.TABLE_NUMBER), INTEGER, 1))
    # Something beyond the table, so that a walk leaves the subtree as it
    # does on a real agent.
    cells.append((profile_table.ENTRY[:-3] + (14, 1, 0), INTEGER, 0))
    cells.sort(key=lambda cell: cell[0])
    return cells


# In slow mode every answer comes this late: inside the walk's 250 ms
# time-out, so each request is answered at its first attempt.
SLOW_ANSWER_DELAY = 0.15


class Agent:
    def __init__(self, cells, mode, after):
        self.cells = cells
        self.oids = [c[0] for c in cells]
        self.mode = mode
        self.after = after
        self.answered = 0
        self.previous = None

    def lookup(self, pdu_tag, oid):
        if pdu_tag == GET:
            for cell in self.cells:
                if cell[0] == oid:
                    return cell
            return None
        for cell in self.cells:
            if cell[0] > oid:
                return cell
        return None

    def answer(self, version, community, pdu_tag, reqid, oids):
        """The response message for one request, or None for no answer."""
        misbehave = self.answered >= self.after
        if self.mode == "duplicate" and self.answered == self.after and self.previous:
            self.answered += 1  # only once
            return response(version, community, reqid, 0, 0, self.previous)
        if self.mode == "silent" or (misbehave and self.mode in ("error", "nosuchname", "empty",
                                                                 "endofmib")):
            return self.misbehave(version, community, reqid, oids)
        varbinds = []
        for oid in oids:
            cell = self.lookup(pdu_tag, oid)
            if cell is None:
                return response(version, community, reqid, NO_SUCH_NAME, len(varbinds) + 1,
                                [(o, NULL, None) for o in oids])
            varbinds.append(cell)
        self.answered += 1
        self.previous = varbinds
        return response(version, community, reqid, 0, 0, varbinds)

    def misbehave(self, version, community, reqid, oids):
        echo = [(o, NULL, None) for o in oids]
        if self.mode == "silent":
            return None
        if self.mode == "error":
            return response(version, community, reqid, GEN_ERR, 1, echo)
        if self.mode == "nosuchname":
            return response(version, community, reqid, NO_SUCH_NAME, 1, echo)
        if self.mode == "empty":
            return response(version, community, reqid, 0, 0, [])
        # endofmib: the exception exists from v2c on
        if version == 0:
            return response(version, community, reqid, NO_SUCH_NAME, 1, echo)
        return response(version, community, reqid, 0, 0,
                        [(o, END_OF_MIB_VIEW, None) for o in oids])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rows", required=True)
    parser.add_argument("--mode", default="normal",
                        choices=["normal", "silent", "duplicate", "error", "nosuchname",
                                 "wrongtype", "empty", "endofmib", "short", "slow"])
    parser.add_argument("--after", type=int, default=0)
    parser.add_argument("--addr", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--community", default="snmpro")
    parser.add_argument("--lifetime", type=float, default=60.0)
    parser.add_argument("--record")
    args = parser.parse_args()
    if not args.addr.startswith("127."):
        parser.error("only loopback addresses (127.0.0.0/8) are served")

    with open(args.rows, "rb") as f:
        rows = profile_table.parse_rows(f.read())
    agent = Agent(build_cells(rows, args.mode), args.mode, args.after)

    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((args.addr, args.port))
    print(sock.getsockname()[1], flush=True)

    parent = os.getppid()
    last = None  # (peer, request id, reply) of the latest request
    deadline = time.monotonic() + args.lifetime
    while time.monotonic() < deadline and os.getppid() == parent:
        ready, _, _ = select.select([sock], [], [], 0.2)
        if not ready:
            continue
        data, peer = sock.recvfrom(65535)
        try:
            version, community, pdu_tag, reqid, oids = parse_request(data)
        except (Malformed, IndexError, ValueError):
            continue
        again = last is not None and last[:2] == (peer, reqid)
        if args.record:
            with open(args.record, "a") as log:
                kind = {GET: "get", GETNEXT: "getnext"}.get(pdu_tag, "other")
                log.write("%s %s%s\n" % (kind, " ".join(".".join(map(str, o)) for o in oids),
                                          " again" if again else ""))
        if community != args.community.encode() or pdu_tag not in (GET, GETNEXT):
            continue  # like a real agent: wrong community or request type, no answer
        reply = last[2] if again else agent.answer(version, community, pdu_tag, reqid, oids)
        last = (peer, reqid, reply)
        if reply is not None:
            if args.mode == "slow" and not again:
                time.sleep(SLOW_ANSWER_DELAY)
            sock.sendto(reply, peer)
    return 0


if __name__ == "__main__":
    sys.exit(main())
