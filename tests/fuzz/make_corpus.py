#!/usr/bin/env python3
"""Writes the seed corpus of the table-format fuzzer into corpus/.

Each seed is a 4-byte little-endian table length, the table file and then the
side file: sound tables of every column type, and the damaged ones the checks
exist for. Run it again after changing it; the files are small and committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
TYPES = {"byte": 1, "short": 2, "int": 3, "int64": 4, "float": 5, "double": 6, "bool": 7,
         "datetime": 8, "subpointer": 9, "text": 10, "bytes": 11, "memo": 12}


def table(columns, records, record_size, count=None, magic=b"WEDB", version=0x10000, word20=1):
    header = bytearray(112)
    header[0:4] = magic
    struct.pack_into("<iiii", header, 4, version, 0, 0, 0)
    struct.pack_into("<iii", header, 16, len(records) if count is None else count, word20, record_size)
    out = bytes(header) + struct.pack("<i", len(columns))
    for name, kind, offset, width in columns:
        entry = bytearray(72)
        entry[0:len(name)] = name
        struct.pack_into("<Iii", entry, 20, TYPES.get(kind, kind) if isinstance(kind, str) else kind,
                         offset, width)
        out += bytes(entry)
    return out + b"".join(records)


def side(blocks, block_count=None, version=0x10000, magic=b"WEDT"):
    head = bytearray(512)
    head[0:4] = magic
    struct.pack_into("<i", head, 4, version)
    struct.pack_into("<i", head, 16, len(blocks) + 1 if block_count is None else block_count)
    out = bytes(head)
    for nxt, data, used in blocks:
        block = bytearray(512)
        struct.pack_into("<ii", block, 4, nxt, len(data) if used is None else used)
        block[12:12 + len(data)] = data
        out += bytes(block)
    return out


def seed(name, table_bytes, side_bytes=b""):
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(struct.pack("<I", len(table_bytes)) + table_bytes + side_bytes)


def keyed(count, memo=False):
    cols = [(b"number", "int", 4, 0), (b"text", "memo" if memo else "text", 8, 8)]
    recs = [struct.pack("<ii", 0, k) + (struct.pack("<i", k) + b"\0" * 4 if memo else b"r%d" % k + b"\0" * (8 - len(b"r%d" % k)))
            for k in range(1, count + 1)]
    return cols, recs


def main():
    os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
    cols, recs = keyed(3)
    seed("text-table", table(cols, recs, 16))
    seed("count-above-records", table(cols, recs, 16, count=5) + b"xx")
    seed("empty-table", table(cols, [], 16))
    seed("protected", table(cols, recs, 16, magic=b"WCDB"))
    seed("newer-version", table(cols, recs, 16, version=0x10001))
    seed("bad-descriptor", table([(b"number", 13, 4, 0)], recs, 16))
    seed("slot-outside-record", table([(b"wide", "text", 8, 100), (b"past", "int64", 12, 0)], recs, 16))

    cols, recs = keyed(3, memo=True)
    chains = side([(2, b"m" * 500, None), (0, b"tail\0rest", None), (0, b"two", None)])
    seed("memo-table", table(cols, recs, 16), chains)
    seed("memo-loop", table(cols, recs, 16), side([(1, b"loop", None), (1, b"x", None), (0, b"", None)]))
    seed("memo-used-too-big", table(cols, recs, 16), side([(0, b"x", 501), (0, b"", -1), (0, b"", 0)]))
    seed("memo-few-blocks", table(cols, recs, 16), side([(0, b"x", None)], block_count=9))
    seed("memo-side-version", table(cols, recs, 16), side([(0, b"x", None)], version=0x20000))

    all_cols = [(n.encode(), n, off, 8 if n == "text" else 0) for n, off in
                [("byte", 4), ("short", 5), ("int", 8), ("int64", 12), ("float", 20), ("double", 24),
                 ("bool", 32), ("datetime", 36), ("subpointer", 44), ("text", 48), ("bytes", 56),
                 ("memo", 60)]]
    rec = bytearray(64)
    struct.pack_into("<B", rec, 4, 255)
    struct.pack_into("<h", rec, 5, -2)
    struct.pack_into("<i", rec, 8, -7)
    struct.pack_into("<q", rec, 12, -1)
    struct.pack_into("<f", rec, 20, 0.1)
    struct.pack_into("<d", rec, 24, 2.5)
    rec[32] = 2
    struct.pack_into("<d", rec, 36, 3e6)
    struct.pack_into("<I", rec, 44, 0xFFFFFFFF)
    rec[48:56] = b"ab\0cdefg"
    struct.pack_into("<ii", rec, 56, 1, 2)
    seed("every-type", table(all_cols, [bytes(rec)], 64), side([(0, b"\x00\x01\x02", None), (0, b"memo", None)]))


if __name__ == "__main__":
    main()
