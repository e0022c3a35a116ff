#!/usr/bin/python3
"""Writes four small demo package archives for the updater into a folder.

    make_demo_packages.py OUT_DIR [--variant N] [--package NAME ...]
                          [--name-encoding gbk|utf-8]

OUT_DIR receives 霁川.zip (engine), 功能.zip (feature plug-in), 反挂.zip
(anti-cheat plug-in) and 工具.zip (tools), laid out as releases of these
packages are: server component trees (DBServer, Mir200, LoginGate, RunGate,
SelGate) that the updater's installer recognises by their directory names,
the engine's Mir200/PlugList.txt and its controller program.

The output is reproducible byte for byte: fixed timestamps and attributes,
content derived from the entry names, fixed compression level. --variant N
(N > 0) gives the packages named by --package (default: the engine) other
content, as a new release would have; the other archives stay identical to
variant 0, so a test can publish one set and hold the other locally.

Entry names are GBK by default, without the UTF-8 flag, as archives made on
a Chinese Windows are and as the updater's unpacker reads them (it hands the
stored bytes to the ANSI file functions, so marker names like 霁川引擎控制台
must be GBK to match). --name-encoding utf-8 stores UTF-8 names flagged
as such (general purpose bit 11) instead.
"""

import argparse
import hashlib
import os
import sys
import zipfile

ENGINE, FEATURE, ANTI_CHEAT, TOOLS = "霁川", "功能", "反挂", "工具"
PACKAGE_NAMES = (ENGINE, FEATURE, ANTI_CHEAT, TOOLS)

TIMESTAMP = (2026, 12, 8, 10, 30, 0)
# Unix mode in the high half with the owner-write bit (so the unpacker does
# not mark the files read-only) and the MS-DOS attribute in the low byte.
FILE_ATTRIBUTES = (0o100644 << 16) | 0x20
DIRECTORY_ATTRIBUTES = (0o040755 << 16) | 0x10

BINARY, TEXT = "binary", "text"

# Per package: (entry name, kind, size of a binary or the text's lines).
# Binaries are incompressible and stored; texts are GBK with CR LF and deflated.
CONTENTS = {
    ENGINE: [
        ("霁川引擎/版本说明.txt", TEXT, ["霁川引擎 演示包", "版本: {release}", "本包仅用于演示下载器。"]),
        ("霁川引擎/DBServer/DBServer.exe", BINARY, 40960),
        ("霁川引擎/DBServer/!Setup.txt", TEXT, ["[Setup]", "ServerName=演示服务器", "DBPort=6000"]),
        ("霁川引擎/Mir200/M2Server.exe", BINARY, 65536),
        ("霁川引擎/Mir200/M2PocketX86.dll", BINARY, 12288),
        ("霁川引擎/Mir200/PlugList.txt", TEXT, ["M2PocketX86.dll"]),
        ("霁川引擎/Mir200/!Setup.txt", TEXT, ["[Server]", "ServerName=演示服务器", "Release={release}"]),
        ("霁川引擎/Mir200/Envir/MapInfo.txt", TEXT, ["[0 比奇城 0]", "[3 盟重省 0]", "[D001 沃玛森林 0]"]),
        ("霁川引擎/Mir200/Envir/Market_Def/QManage.txt", TEXT, ["[@main]", "欢迎来到{release}演示服务器!"]),
        ("霁川引擎/LoginGate/LoginGate.exe", BINARY, 16384),
        ("霁川引擎/RunGate/RunGate.exe", BINARY, 20480),
        ("霁川引擎/SelGate/SelGate.exe", BINARY, 16384),
        ("霁川引擎控制台.exe", BINARY, 24576),
    ],
    FEATURE: [
        ("说明.txt", TEXT, ["青岚雀功能插件 演示包", "版本: {release}"]),
        ("Mir200/TQGM2PlusLoad.dll", BINARY, 20480),
        ("Mir200/Envir/QuestDiary/功能插件/功能设置.txt", TEXT, ["[功能]", "自动回收=1", "版本={release}"]),
        ("Mir200/Envir/Market_Def/TQG_Main.txt", TEXT, ["[@main]", "青岚雀功能插件"]),
        ("DBServer/TQGDBPlus.dll", BINARY, 8192),
        ("LoginGate/TQGLoginPlus.dll", BINARY, 8192),
        ("tqgctl.exe", BINARY, 12288),
    ],
    ANTI_CHEAT: [
        ("说明.txt", TEXT, ["青岚雀反挂插件 演示包", "版本: {release}"]),
        ("RunGate/TQGRunGatePlus.dll", BINARY, 16384),
        ("RunGate/反挂配置.ini", TEXT, ["[反挂]", "检测加速=1", "版本={release}"]),
    ],
    TOOLS: [
        ("其他工具/说明.txt", TEXT, ["其他工具 演示包", "版本: {release}"]),
        ("其他工具/地图查看器.exe", BINARY, 16384),
        ("其他工具/脚本编辑器/编辑器.exe", BINARY, 12288),
    ],
}


class GbkZipInfo(zipfile.ZipInfo):
    """An entry whose name is stored as GBK bytes without the UTF-8 flag.
    zipfile itself writes non-ASCII names only as flagged UTF-8, and asks
    the entry for its name bytes through this one method."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def archive_name(package):
    return package + ".zip"


def release_text(variant):
    return "2026.12 演示版" if variant == 0 else f"2026.12 演示版 (变体 {variant})"


def binary_content(name, variant, size):
    """Deterministic, incompressible bytes that begin like a PE image."""
    seed = f"{name}\0{variant}".encode("utf-8")
    blocks = [b"MZ\x90\x00" + b"demo package file: ".ljust(60, b"\0") + name.encode("gbk")]
    total = len(blocks[0])
    counter = 0
    while total < size:
        block = hashlib.sha256(seed + counter.to_bytes(8, "little")).digest()
        blocks.append(block)
        total += len(block)
        counter += 1
    return b"".join(blocks)[:size]


def text_content(lines, variant):
    return "".join(line.format(release=release_text(variant)) + "\r\n" for line in lines).encode("gbk")


def entries_of(package, variant):
    """[(name, data or None for a directory, compression)], each directory
    before the entries inside it: the unpacker creates a file's folders only
    from directory entries when it unpacks into an absolute path."""
    entries, made = [], set()
    for name, kind, detail in CONTENTS[package]:
        parts = name.split("/")
        for depth in range(1, len(parts)):
            directory = "/".join(parts[:depth]) + "/"
            if directory not in made:
                made.add(directory)
                entries.append((directory, None, zipfile.ZIP_STORED))
        if kind == BINARY:
            entries.append((name, binary_content(name, variant, detail), zipfile.ZIP_STORED))
        else:
            entries.append((name, text_content(detail, variant), zipfile.ZIP_DEFLATED))
    return entries


def write_archive(path, package, variant, name_encoding="gbk"):
    info_type = GbkZipInfo if name_encoding == "gbk" else zipfile.ZipInfo
    temporary = path + ".tmp"
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name, data, compression in entries_of(package, variant):
                info = info_type(name, date_time=TIMESTAMP)
                info.create_system = 3
                info.compress_type = compression
                info.external_attr = FILE_ATTRIBUTES if data is not None else DIRECTORY_ATTRIBUTES
                archive.writestr(info, data or b"", compresslevel=9)
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def make_packages(out_dir, variant=0, packages=(ENGINE,), name_encoding="gbk"):
    """Writes the four archives and returns their paths by package name."""
    os.makedirs(out_dir, exist_ok=True)
    paths = {}
    for package in PACKAGE_NAMES:
        paths[package] = os.path.join(out_dir, archive_name(package))
        write_archive(paths[package], package, variant if package in packages else 0, name_encoding)
    return paths


def main(argv=None):
    parser = argparse.ArgumentParser(prog="make_demo_packages.py",
                                     description="Writes the four demo package archives into a folder.")
    parser.add_argument("out_dir", metavar="OUT_DIR")
    parser.add_argument("--variant", type=int, default=0, metavar="N",
                        help="content variant of the packages named by --package (0 = the base release)")
    parser.add_argument("--package", action="append", choices=PACKAGE_NAMES, metavar="NAME",
                        help="package that --variant changes: 霁川, 功能, 反挂 or 工具 (repeatable; default 霁川)")
    parser.add_argument("--name-encoding", choices=("gbk", "utf-8"), default="gbk",
                        help="how entry names are stored (default gbk, unflagged)")
    args = parser.parse_args(argv)
    if args.variant < 0:
        parser.error("--variant must not be negative")
    paths = make_packages(args.out_dir, args.variant, tuple(args.package or (ENGINE,)), args.name_encoding)
    for package in PACKAGE_NAMES:
        print(paths[package])
    return 0


if __name__ == "__main__":
    sys.exit(main())
