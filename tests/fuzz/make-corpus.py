#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (corpus/<target>/) from the
file format and the frame tables, independently of the code under test.
Run it from anywhere; it replaces the seeds it writes and nothing else."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def crc16_arc(data, crc=0):
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


# ---- The image ------------------------------------------------------------

def node(protocol=0, word=0, port_code=0, remote=(0, 0, 0, 0), port_number=0, baud=0, port_word=0,
         slaves=(), extra=b""):
    """One 383-byte node entry; slaves are (id, read start, read length,
    write start, write length)."""
    n = bytearray(383)
    n[0] = protocol
    struct.pack_into("<HH", n, 1, word, port_code)
    n[5:9] = bytes(remote)
    struct.pack_into("<HBHB", n, 9, port_number, baud, port_word, len(slaves))
    for k, (sid, rs, rl, ws, wl) in enumerate(slaves):
        n[15 + k] = sid
        struct.pack_into("<H", n, 65 + 2 * k, rs)
        n[165 + k] = rl
        struct.pack_into("<H", n, 215 + 2 * k, ws)
        n[315 + k] = wl
    n[365:365 + len(extra)] = extra
    return bytes(n)


def main_block(nodes, write_protect=0, data_age=60, log_level=2, log_age=30, count=None, reserved=bytes(8)):
    header = bytes([write_protect, data_age, log_level, log_age, len(nodes) if count is None else count]) + reserved
    entries = list(nodes) + [bytes(383)] * (6 - len(nodes))
    block = header + b"".join(entries)
    assert len(block) == 2311
    return block


def ip_block(ip=(192, 168, 1, 1), mask=(255, 255, 255, 0), gateway=(192, 168, 1, 254),
             mac=(0x00, 0x50, 0xC2, 0xF0, 0xA0, 0x00), port=6003, reserved=0xFFFF):
    body = bytes(ip) + bytes(mask) + bytes(gateway) + bytes(mac) + struct.pack(">H", port) + struct.pack("<H", reserved)
    return body + struct.pack("<H", crc16_arc(body))


DEFAULT_NODES = [node(1, 2, 0x1000, port_number=23), node(1, 2, 0x5000, port_number=1, baud=16)]
DEFAULT_MAIN = main_block(DEFAULT_NODES)
DEFAULT_IP = ip_block()

# Every protocol and every port type at least once, with slave tables.
VARIED_NODES = [
    node(5, 0x0A23, 0x1000, port_number=502, slaves=[(1, 0, 4, 4, 4), (2, 255, 1, 300, 8)], extra=b"\x0c"),
    node(12, 0xF084, 0x2001, remote=(10, 0, 0, 7), port_number=502, slaves=[(3, 10, 0, 20, 2)],
         extra=bytes(1) + b"\x20\x4e\x88\x13" * 4),
    node(7, 0x1913, 0x4000, remote=(127, 0, 0, 1), port_number=20000, extra=b"\x05"),
    node(11, 0x18FB, 0x3000, port_number=123),
    node(9, 0x0C05, 0x7000, port_number=0x0302, port_word=0xD2CB, slaves=[(9, 500, 20, 0, 0)], extra=b"\x07"),
    node(13, 0x01AA, 0x6002, port_number=2, baud=192, port_word=0x00F3,
         slaves=[(k + 1, 8 * k, 8, 256 + 8 * k, 8) for k in range(50)]),
]
VARIED_MAIN = main_block(VARIED_NODES, write_protect=1, data_age=90, log_level=5, log_age=7, reserved=b"\x01" * 8)
MORE_NODES = [node(2, 1, 0x5000, port_number=3, baud=93, port_word=0x21), node(3, 2, 0x5000, port_number=7),
              node(4, 3, 0x8000, port_number=5), node(6, 0x7F00, 0x6000, port_word=0x1F),
              node(8, 0x10, 0x9000), node(10, 0x0FFF, 0x7000, port_word=0xF000)]
MORE_MAIN = main_block(MORE_NODES, count=200)


def legacy_node(protocol, word, port_code, port_number=0, baud=0, slaves=()):
    n = bytearray(83)
    n[0] = protocol
    struct.pack_into("<HH", n, 1, word, port_code)
    struct.pack_into("<HBHB", n, 9, port_number, baud, 0, len(slaves))
    for k, (sid, rs, rl, ws, wl) in enumerate(slaves):
        n[15 + k], n[25 + k], n[35 + k], n[45 + k], n[55 + k] = sid, rs, rl, ws, wl
    return bytes(n)


def legacy_block(nodes, count=None):
    block = bytes([0, 60, 2, 30, len(nodes) if count is None else count])
    block += b"".join(list(nodes) + [bytes(83)] * (6 - len(nodes))) + b"\x55" * 8
    assert len(block) == 511
    return block


LEGACY = legacy_block([legacy_node(1, 2, 0x1000, 23), legacy_node(4, 0, 0x5000, 1, 16, [(1, 10, 4, 20, 4), (2, 30, 2, 40, 2)])])


# ---- Files ----------------------------------------------------------------

def with_crc(block):
    return block + struct.pack("<H", crc16_arc(block))


def magic(version):
    return b"Quorastelline Config v%d \x00" % version


def notes_block(text):
    return text[:127].ljust(128, b"\x00")


def format2(main, ip, notes=None):
    data = magic(2) + with_crc(main) + with_crc(ip)
    return data + (notes_block(notes) if notes is not None else b"")


def format1(legacy, ip):
    return magic(1) + with_crc(legacy) + with_crc(ip)


# ---- Device answers -------------------------------------------------------

def wire(data):
    """The device's escaping: DLE before CR, LF and DLE."""
    out = bytearray()
    for b in data:
        if b in (0x0A, 0x0D, 0x10):
            out.append(0x10)
        out.append(b)
    return bytes(out)


def record(*chunks):
    """One record of the fuzz input: chunks joined by the chunk boundary,
    backslashes doubled."""
    return b"\\,".join(c.replace(b"\\", b"\\\\") for c in chunks)


def session(mode, *records, hang_up_last=False):
    body = b"\\|".join(records)
    return bytes([mode]) + body + (b"\\." if hang_up_last else b"")


LINE = b"\r\n"
SEGMENTED_READ = [
    b"Get config S OK" + LINE,
    b"Get config 0 " + wire(DEFAULT_MAIN[:13]) + LINE,
    b"Get config 1 " + wire(DEFAULT_MAIN[13:13 + 383]) + LINE,
    b"Get config 2 " + wire(DEFAULT_MAIN[13 + 383:13 + 766]) + LINE,
    b"Get config E " + wire(DEFAULT_IP) + LINE,
    b"Get config D " + LINE,
]
legacy_reply = b"Config " + LEGACY + DEFAULT_IP
legacy_reply += struct.pack(">H", crc16_arc(legacy_reply))


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    corpus = os.path.join(HERE, "corpus")

    load = os.path.join(corpus, "fuzz_load")
    with open(os.path.join(ROOT, "docs", "example.qst"), "rb") as f:
        example = f.read()
    write(load, "example.qst", example)
    write(load, "defaults.qst", format2(DEFAULT_MAIN, DEFAULT_IP))
    write(load, "notes-latin1.qst", format2(VARIED_MAIN, ip_block((10, 0, 0, 2)), b"Caf\xe9 20\xb0C\r\nline 2\x00hidden"))
    write(load, "format1.qst", format1(LEGACY, DEFAULT_IP))
    write(load, "bad-ip-crc.qst", format2(DEFAULT_MAIN, DEFAULT_IP)[:-1] + b"\x00")
    write(load, "short.qst", magic(2) + DEFAULT_MAIN[:100])

    report = os.path.join(corpus, "fuzz_report")
    write(report, "defaults", DEFAULT_MAIN + DEFAULT_IP)
    write(report, "example", example[25:25 + 2311] + example[2338:2338 + 24] + example[2364:2364 + 127])
    write(report, "varied", VARIED_MAIN + ip_block() + b"two\rlines\n\xff\xfe")
    write(report, "more-count-200", MORE_MAIN + ip_block())
    write(report, "no-nodes", main_block([]))

    device = os.path.join(corpus, "fuzz_device")
    write(device, "get-id-tcp", session(0x00, record(b"Quorastelline QS-6 v2.1" + LINE)))
    write(device, "get-id-serial-latin1-split", session(0x08, record(b"Quorastelline caf\xe9", LINE)))
    write(device, "read-1.1-tcp", session(0x01, record(b"Protocol version   1.  1" + LINE),
                                          *[record(r) for r in SEGMENTED_READ]))
    split = SEGMENTED_READ[1]
    cut = split.index(b"\x10") + 1 if b"\x10" in split else 20
    write(device, "read-1.1-serial-split-escape",
          session(0x09, record(b"Protocol version 1.1" + LINE), record(SEGMENTED_READ[0]),
                  record(split[:cut], split[cut:]), *[record(r) for r in SEGMENTED_READ[2:]]))
    write(device, "read-1.0-silent-ver", session(0x01, record(b""), record(b""), record(b"Config " + wire(legacy_reply[7:]) + LINE)))
    write(device, "read-1.0-unknown-ver", session(0x06, record(b"Unknown command" + LINE), record(b"Unknown command" + LINE),
                                                  record(wire(legacy_reply) + LINE)))
    write(device, "write-1.1", session(0x02, record(b"Protocol version 1.1" + LINE),
                                       *[record(b"Set config %s OK\r\n" % s) for s in (b"S", b"0", b"1", b"2", b"E", b"D")]))
    write(device, "write-1.0-lossy-yes", session(0x32, record(b""), record(b""), record(b"Set config OK" + LINE)))
    write(device, "write-1.1-error", session(0x07, record(b"Protocol version 1.1" + LINE), record(b"Error: bad checksum" + LINE)))
    write(device, "version-1.2", session(0x01, record(b"Protocol version 1.2" + LINE)))
    write(device, "clock", session(0x03, record(b"Time set OK" + LINE)))
    write(device, "reboot-serial", session(0x0C, record(b"Garbage line" + LINE), record(b"Rebooting..." + LINE)))
    write(device, "read-hang-up", session(0x01, record(b"Protocol version 1.1" + LINE), record(b"Get config S OK" + LINE),
                                          hang_up_last=True))
    write(device, "scan-reply", session(0x05, b"Quorastelline QS-6 \xc3\x9cnit\r\nmore"))


if __name__ == "__main__":
    main()
