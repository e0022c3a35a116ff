#!/usr/bin/env python3
"""Writes the ZIP archives the tests and the fuzzer keep as data.

    /usr/bin/python3 archive/tests/data/make_archives.py

Hostile archives go to archive/tests/data/, fuzz seeds to
archive/tests/fuzz_corpus/ (valid_* must unpack whole, bad_* must not).
Every byte is written here, with fixed times, so the files come out the same
on every run: no archiver decides anything, and names are stored exactly as
given (archivers refuse to write most of the names below).
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "fuzz_corpus")

DOS_TIME = (10 << 11) | (30 << 5) | (20 // 2)   # 10:30:20
DOS_DATE = ((2021 - 1980) << 9) | (6 << 5) | 15  # 2021-06-15
UNIX_FILE = 0o100644 << 16
UNIX_DIRECTORY = (0o040755 << 16) | 0x10


class Entry:
    def __init__(self, name, content=b"", method=8, flags=0, external=UNIX_FILE, local_extra=b"",
                 share_with=None, compressed_size=None):
        self.name = name.encode("gbk") if isinstance(name, str) else name
        self.content = content
        self.method = method
        self.flags = flags
        self.external = external
        self.local_extra = local_extra
        self.share_with = share_with          # index of an earlier entry whose local header this one reuses
        self.compressed_size = compressed_size  # a declared size other than the real one


def compress(content, method):
    if method != 8:
        return content
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
    return deflate.compress(content) + deflate.flush()


def ut_block(mtime, atime=None, ctime=None):
    flags, times = 1, struct.pack("<I", mtime)
    if atime is not None:
        flags, times = flags | 2, times + struct.pack("<I", atime)
    if ctime is not None:
        flags, times = flags | 4, times + struct.pack("<I", ctime)
    return b"UT" + struct.pack("<H", 1 + len(times)) + bytes([flags]) + times


def archive(entries, prefix=b"", comment=b""):
    out = bytearray(prefix)
    base = len(prefix)  # stored offsets are relative to the archive's start
    offsets, central = [], bytearray()
    for entry in entries:
        data = compress(entry.content, entry.method)
        crc = zlib.crc32(entry.content)
        declared = len(data) if entry.compressed_size is None else entry.compressed_size
        if entry.share_with is not None:
            offset = offsets[entry.share_with]
        else:
            offset = len(out) - base
            descriptor = entry.flags & 8
            local_sizes = (0, 0, 0) if descriptor else (crc, declared, len(entry.content))
            out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, entry.flags, entry.method, DOS_TIME, DOS_DATE,
                               *local_sizes, len(entry.name), len(entry.local_extra))
            out += entry.name + entry.local_extra + data
            if descriptor:
                out += struct.pack("<IIII", 0x08074B50, crc, declared, len(entry.content))
        offsets.append(offset)
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, (3 << 8) | 20, 20, entry.flags, entry.method,
                               DOS_TIME, DOS_DATE, crc, declared, len(entry.content), len(entry.name), 0, 0, 0,
                               0, entry.external, offset)
        central += entry.name
    directory_offset = len(out) - base
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central),
                       directory_offset, len(comment)) + comment
    return bytes(out)


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


TEXT = b"The quick brown fox jumps over the lazy dog.\r\n" * 40


def hostile():
    safe = [Entry("safe.txt", b"safe"), Entry("safe/inner.txt", b"inner")]
    write(HERE, "dot_dot_names.zip", archive([
        safe[0],
        Entry("../evil1.txt", b"evil"),
        Entry("..\\evil2.txt", b"evil"),
        Entry("a/../../evil3.txt", b"evil"),
        Entry("a\\..\\..\\evil4.txt", b"evil"),
        Entry("a/b/../../../evil5.txt", b"evil"),
        Entry("../", b"", external=UNIX_DIRECTORY),
        Entry(".../evil6.txt", b"evil"),
        Entry(". ./evil7.txt", b"evil"),
        Entry("a/..", b"evil"),
        safe[1],
    ]))
    write(HERE, "absolute_names.zip", archive([
        safe[0],
        Entry("/evil1.txt", b"evil"),
        Entry("\\evil2.txt", b"evil"),
        Entry("C:/evil3.txt", b"evil"),
        Entry("C:evil4.txt", b"evil"),
        Entry("c:\\evil5.txt", b"evil"),
        Entry("\\\\server\\share\\evil6.txt", b"evil"),
        Entry("//server/share/evil7.txt", b"evil"),
        Entry("/", b"", external=UNIX_DIRECTORY),
        safe[1],
    ]))
    write(HERE, "long_names.zip", archive([
        safe[0],
        Entry("n" * 259 + ".txt", b"too long"),
        Entry("长" * 130, b"too long"),       # 260 bytes of GBK
        Entry("d" * 300 + "/", b"", external=UNIX_DIRECTORY),
        safe[1],
    ]))
    # Three entries inflate the one stream of the first: a small archive
    # that would unpack into many copies of its largest content.
    kernel = b"\0" * 1000000
    write(HERE, "overlap_bomb.zip", archive([
        Entry("safe.txt", b"safe"),
        Entry("kernel.bin", kernel),
        Entry("copy1.bin", kernel, share_with=1),
        Entry("copy2.bin", kernel, share_with=1),
    ]))
    # The last entry's declared data runs on into the central directory.
    write(HERE, "overlap_directory.zip", archive([
        Entry("safe.txt", b"safe", method=0),
        Entry("into_directory.bin", b"x" * 16, method=0, compressed_size=16 + 46),
    ]))


def seeds():
    write(CORPUS, "valid_stored.zip", archive([Entry("a.txt", TEXT, method=0), Entry("b.txt", b"", method=0)]))
    write(CORPUS, "valid_deflated.zip", archive([Entry("a.txt", TEXT), Entry("sub/b.txt", TEXT[:100])]))
    write(CORPUS, "valid_data_descriptor.zip", archive([Entry("a.txt", TEXT, flags=8), Entry("b.txt", b"b", flags=8)]))
    write(CORPUS, "valid_ut_extra.zip", archive([
        Entry("a.txt", TEXT, local_extra=ut_block(1600000000, 1600000100, 1500000000)),
        Entry("b.txt", b"b", local_extra=b"xy\x02\x00ab" + ut_block(1234567890)),
    ]))
    write(CORPUS, "valid_gbk_names.zip", archive([
        Entry("霁川/", external=UNIX_DIRECTORY),
        Entry("霁川/说明.txt", "版本".encode("gbk")),
        Entry("功能插件/表.txt", TEXT),
        Entry("资料淺/文件.txt", b"trail byte 5C"),  # the second byte of 淺 is "\\"
    ]))
    write(CORPUS, "valid_prefixed.zip", archive([Entry("a.txt", TEXT)], prefix=b"MZ" + b"\0" * 126,
                                                comment=b"comment PK"))
    whole = archive([Entry("a.txt", TEXT), Entry("b.txt", TEXT)])
    write(CORPUS, "bad_truncated.zip", whole[:len(whole) // 2] + whole[-22:])
    write(CORPUS, "bad_unsupported_method.zip", archive([Entry("a.txt", b"a"), Entry("b.txt", b"b", method=12)]))
    write(CORPUS, "bad_empty.zip", struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0, 0, 0, 0, 0))
    write(CORPUS, "bad_not_zip.bin", b"Not an archive at all.\n" * 3)


if __name__ == "__main__":
    hostile()
    seeds()
