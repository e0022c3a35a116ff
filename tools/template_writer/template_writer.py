#!/usr/bin/env python3
"""Turns a window description into the template data of the program image.

    template_writer.py DESCRIPTION --output-dir DIR --symbol NAME [--size-symbol NAME]
                       [--namespace NS] [--pointer-size 4|8] [--depfile FILE] [--binary FILE]

Writes DIR/NAME.cpp (the data as a byte array), DIR/NAME.h (its declarations)
and DIR/NAME_routines.inc (the routine table as UPDATER_ROUTINE(Name) lines).
Event handlers are written as slot offsets into that table: index x pointer size.
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from description import load_description  # noqa: E402
from emit import depfile_text, header_text, routines_text, source_text, write_if_changed  # noqa: E402
from stream import build_stream  # noqa: E402
from values import DescriptionError  # noqa: E402

IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")
NAMESPACE = re.compile(r"[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*\Z")


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description="Write window template data from a window description.")
    parser.add_argument("description")
    parser.add_argument("--output-dir", required=True)
    parser.add_argument("--symbol", required=True, help="name of the byte array")
    parser.add_argument("--size-symbol", help="name of its size (default: SYMBOL + 'Size')")
    parser.add_argument("--namespace", help="C++ namespace of both symbols")
    parser.add_argument("--pointer-size", type=int, choices=(4, 8), default=8)
    parser.add_argument("--depfile", help="write the files read as a Makefile dependency list")
    parser.add_argument("--binary", help="also write the raw data to this file")
    args = parser.parse_args(argv)

    size_symbol = args.size_symbol or args.symbol + "Size"
    for name in (args.symbol, size_symbol):
        if not IDENTIFIER.match(name):
            parser.error(f"{name!r} is not a C++ identifier")
    if args.namespace and not NAMESPACE.match(args.namespace):
        parser.error(f"{args.namespace!r} is not a C++ namespace")

    try:
        description = load_description(args.description)
        data, routines = build_stream(description, args.pointer_size)
    except DescriptionError as error:
        print(f"template_writer: {error}", file=sys.stderr)
        return 1

    stem = os.path.join(args.output_dir, args.symbol)
    header_name = args.symbol + ".h"
    write_if_changed(stem + ".h", header_text(os.path.basename(args.description), args.symbol, size_symbol,
                                              args.namespace))
    write_if_changed(stem + ".cpp", source_text(data, header_name, args.symbol, size_symbol, args.namespace))
    write_if_changed(stem + "_routines.inc", routines_text(routines))
    if args.binary:
        with open(args.binary, "wb") as f:
            f.write(data)
    if args.depfile:
        write_if_changed(args.depfile, depfile_text(os.path.abspath(stem + ".cpp"), description.files))
    return 0


if __name__ == "__main__":
    sys.exit(main())
