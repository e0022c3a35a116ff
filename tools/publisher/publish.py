#!/usr/bin/python3
"""Writes the updater's remote configuration for a folder of package archives.

    publish.py PACKAGE_DIR BASE_URL [-o OUTPUT] [--test-engine FILE]

PACKAGE_DIR holds 霁川.zip, 功能.zip, 反挂.zip and 工具.zip, served by a web
server under BASE_URL. The configuration names, per section, the URL of the
archive and the MD5 digest of its bytes; the updater compares that digest
with the digest of the archive it holds, so a published digest must be the
exact lower-case text the updater computes. The text is GBK with CR LF line
ends, as the updater's INI reader expects. Default OUTPUT:
PACKAGE_DIR/xiazaiqi/xiazai2.txt, the path the updater fetches.

Exit codes: 0 written; 2 a missing or empty archive, a bad argument or a
failed write, with nothing written.
"""

import argparse
import hashlib
import os
import sys
import urllib.parse

ENGINE_ARCHIVE = "霁川.zip"

# (section, archive) in the order written. The engine has two sections: 正式
# for the free edition, which is also the one the engine's download button
# uses, and 霁川 for the test edition, the same archive unless --test-engine
# names another.
SECTIONS = (
    ("霁川", None),
    ("正式", ENGINE_ARCHIVE),
    ("功能", "功能.zip"),
    ("反挂", "反挂.zip"),
    ("其他", "工具.zip"),
)

DEFAULT_OUTPUT = os.path.join("xiazaiqi", "xiazai2.txt")

# Characters of a URL that a browser sends as they are; everything else
# (non-ASCII, spaces) is percent-encoded as UTF-8, and existing escapes stay.
URL_SAFE = ":/?#[]@!$&'()*+,;=%~-._"


class PublishError(Exception):
    """A fault of the arguments or the archives; nothing has been written."""


def md5_of_file(path):
    digest = hashlib.md5()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def normalise_base_url(base_url):
    if any(ord(c) < 0x20 or ord(c) == 0x7F for c in base_url):
        raise PublishError("the base URL holds a control character")
    parts = urllib.parse.urlsplit(base_url.strip())
    if parts.scheme.lower() not in ("http", "https", "ftp") or not parts.netloc:
        raise PublishError(f"not an http, https or ftp URL with a host: {base_url!r}")
    if parts.query or parts.fragment:
        raise PublishError(f"the base URL must not hold a query or a fragment: {base_url!r}")
    return urllib.parse.quote(base_url.strip(), safe=URL_SAFE).rstrip("/")


def archive_url(base_url, relative_name):
    """relative_name uses "/" between folders; each part is percent-encoded."""
    return base_url + "/" + urllib.parse.quote(relative_name, safe="/")


def collect_entries(package_dir, base_url, test_engine=None):
    """Returns [(section, url, md5)] in the order written, or raises PublishError
    naming every archive that is missing or empty."""
    base = normalise_base_url(base_url)
    if test_engine is not None:
        test_engine = test_engine.replace(os.sep, "/")
        if test_engine.startswith("/") or ".." in test_engine.split("/"):
            raise PublishError(f"--test-engine must name a file inside {package_dir}: {test_engine}")
    chosen = [(section, archive or test_engine or ENGINE_ARCHIVE) for section, archive in SECTIONS]

    problems = []
    digests = {}
    for _, archive in chosen:
        if archive in digests:
            continue
        path = os.path.join(package_dir, *archive.split("/"))
        if not os.path.isfile(path):
            problems.append(f"missing package archive: {path}")
        elif os.path.getsize(path) == 0:
            # An empty archive's digest is the one the updater gives a missing
            # archive, so every operator without the package would see "最新版".
            problems.append(f"empty package archive: {path}")
        else:
            digests[archive] = md5_of_file(path)
    if problems:
        raise PublishError("\n".join(problems))
    return [(section, archive_url(base, archive), digests[archive]) for section, archive in chosen]


def render(entries):
    lines = []
    for section, url, md5 in entries:
        lines += [f"[{section}]", f"URL={url}", f"MD5={md5}", ""]
    return "\r\n".join(lines).encode("gbk")


def write_atomically(path, data):
    """Writes a sibling temporary file and renames it over path, so a reader
    (or a web server) sees the old text or the new one, never half of one."""
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    temporary = f"{path}.{os.getpid()}.tmp"
    try:
        fd = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o666)
        with os.fdopen(fd, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def publish(package_dir, base_url, output=None, test_engine=None):
    """Writes the configuration and returns (output path, entries)."""
    if not os.path.isdir(package_dir):
        raise PublishError(f"not a folder: {package_dir}")
    entries = collect_entries(package_dir, base_url, test_engine)
    output = output or os.path.join(package_dir, DEFAULT_OUTPUT)
    write_atomically(output, render(entries))
    return output, entries


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog="publish.py", description="Writes the updater's remote configuration (GBK INI text) for the "
        "package archives 霁川.zip, 功能.zip, 反挂.zip and 工具.zip of a folder.")
    parser.add_argument("package_dir", metavar="PACKAGE_DIR", help="folder holding the four archives")
    parser.add_argument("base_url", metavar="BASE_URL", help="URL under which the folder is served")
    parser.add_argument("-o", "--output", metavar="OUTPUT",
                        help=f"configuration file to write (default PACKAGE_DIR/{DEFAULT_OUTPUT})")
    parser.add_argument("--test-engine", metavar="FILE",
                        help="archive in PACKAGE_DIR for the test edition's section 霁川 (default 霁川.zip)")
    args = parser.parse_args(argv)
    try:
        output, entries = publish(args.package_dir, args.base_url, args.output, args.test_engine)
    except PublishError as e:
        for line in str(e).splitlines():
            print(f"publish.py: error: {line}", file=sys.stderr)
        return 2
    except OSError as e:
        print(f"publish.py: error: {e}", file=sys.stderr)
        return 2
    print(f"publish.py: wrote {output}")
    for section, url, md5 in entries:
        print(f"  [{section}] {md5} {url}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
