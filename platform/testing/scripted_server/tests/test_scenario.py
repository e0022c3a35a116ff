"""Scenario files: parsing, placeholders and the plan the test runner reads."""

import os
import re
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))

import scenario  # noqa: E402

sys.path.insert(0, os.path.join(HERE, "..", "..", "ftp_server"))
import ftp_server  # noqa: E402  (the variants FTP scenarios may name)

SCENARIO_DIR = os.path.join(HERE, "..", "..", "..", "..", "downlib", "tests", "scenarios")


def plan_records(plan):
    """The plan's records as (words, payload), in order."""
    records = []
    i = 0
    while i < len(plan):
        end = plan.index(b"\n", i)
        words = plan[i:end].split(b" ")
        length = int(words[-1])
        payload = plan[end + 1:end + 1 + length]
        assert plan[end + 1 + length:end + 2 + length] == b"\n"
        records.append(([w.decode() for w in words[:-1]], payload))
        i = end + 2 + length
    return records


FTP_PORTS = {"plain": 2121, "no-pasv": 2122}


def bind(text, name="sample", port=4321, ftp=None):
    return scenario.BoundScenario(scenario.parse(text, name), port,
                                  ftp or scenario.FtpPeer("/nonexistent", FTP_PORTS))


class ParsingTest(unittest.TestCase):
    def test_mistakes_name_their_line(self):
        cases = [
            ("[task]\nThreadCount many\n", "sample:2", "not a number"),
            ("[task]\nColour red\n", "sample:2", "unknown task setting"),
            ("[connection 1]\nsend-header:\n", "sample:2", "no indented lines"),
            ("[connection 1]\nwiggle\n", "sample:2", "unknown connection step"),
            ("[events]\nSizeKnow 3\n", "sample:2", "unknown event"),
            ("[events]\nno WorkerFailed 3\n", "sample:2", "[once|no]"),
            ("[files]\nx.zip bytes\n", "sample:2", "a file line"),
            ("[status]\n4 text\n", "sample:2", "level 0-3"),
            ("[status]\n* text\n", "sample:2", "level 0-3"),
            ("[connections]\ncount some\n", "sample:2", "count N"),
            ("[weather]\n", "sample:1", "unknown section"),
            ("ThreadCount 2\n", "sample:1", "before the first section"),
            ("[connection 1]\n[connection 1]\n", "sample:2", "described twice"),
            ("[connection 1]\n  stray\n", "sample:2", "indented line"),
            ("[ftp]\nvariant Bad_Name\n", "sample:2", "the ftp section holds"),
            ("[ftp]\nport 21\n", "sample:2", "the ftp section holds"),
        ]
        for i, (text, where, message) in enumerate(cases):
            with self.assertRaises(scenario.ScenarioError, msg=f"case {i}: {text!r}") as caught:
                scenario.parse(text, "sample")
            self.assertIn(where + ":", str(caught.exception), f"case {i}")
            self.assertIn(message, str(caught.exception), f"case {i}")

    def test_binding_checks_what_needs_the_body_and_the_port(self):
        cases = [
            ("[body]\nsize 3\n[connection 1]\nsend-body 5-\n", "outside the 3-byte body"),
            ("[connection 1]\nsend-header:\n  X: %NOPE%\n", "not known here"),
            ("[connection 1]\nsend-header:\n  X: %PAD-TO:10%\n  HTTP/1.1 200 OK\n", "already longer"),
            ("[status]\n1 %REQUEST:1%\n", "has no expect-request"),
            ("[status]\n1 %REQUEST%\n", "needs a connection number"),
            ("[events]\nTaskEnded lots\n", "not a number"),
        ]
        for text, message in cases:
            with self.assertRaises(scenario.ScenarioError, msg=text) as caught:
                bind(text).plan()
            self.assertIn(message, str(caught.exception), text)

    def test_ftp_sections_belong_to_ftp_scenarios(self):
        cases = [
            ("[ftp commands]\nRETR x\n", "belong to a scenario with an [ftp] variant"),
            ("[ftp]\nvariant plain\n[connection 1]\nclose\n", "no HTTP [connection]"),
            ("[ftp]\nvariant plain\n[connections]\ncount 1\n", "no HTTP [connection]"),
        ]
        for text, message in cases:
            with self.assertRaises(scenario.ScenarioError, msg=text) as caught:
                scenario.parse(text, "sample")
            self.assertIn(message, str(caught.exception), text)
        with self.assertRaises(scenario.ScenarioError) as caught:
            bind("[ftp]\nvariant slow\n").plan()
        self.assertIn("no variant 'slow'", str(caught.exception))
        with self.assertRaises(scenario.ScenarioError) as caught:
            scenario.BoundScenario(scenario.parse("[ftp]\nvariant plain\n", "sample"), 4321)
        self.assertIn("needs the FTP server", str(caught.exception))

    def test_scenario_names_are_plain(self):
        for name in ("Upper", "has space", "../up", ""):
            with self.assertRaises(scenario.ScenarioError, msg=name):
                scenario.parse("", name)


class BytesTest(unittest.TestCase):
    def test_header_lines_end_in_crlf_and_the_empty_line_is_added(self):
        bound = bind("[body]\nsize 7\n[connection 1]\nsend-header:\n  HTTP/1.1 200 OK\n  Content-Length: %SIZE%\n"
                     "send-body all\n")
        self.assertEqual(bound.reply_bytes(1, b""), b"HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n" +
                         scenario.generated_body(7))

    def test_raw_blocks_take_escapes_and_drop_their_own_line_breaks(self):
        bound = bind("[connection 1]\nsend-raw:\n  A\\r\\n\n  B\\x00\\\\\\t%CR%\n")
        self.assertEqual(bound.reply_bytes(1, b""), b"A\r\nB\x00\\\t\r")
        with self.assertRaises(scenario.ScenarioError):
            bind("[connection 1]\nsend-raw:\n  \\q\n")

    def test_pad_to_makes_the_whole_header_that_long(self):
        for length in (200, 4097, 4098):
            bound = bind(f"[connection 1]\nsend-header:\n  HTTP/1.1 200 OK\n  X-Pad: %PAD-TO:{length}%\n"
                         "  Content-Length: 0\n")
            reply = bound.reply_bytes(1, b"")
            self.assertEqual(len(reply), length)
            self.assertTrue(reply.endswith(b"\r\nContent-Length: 0\r\n\r\n"))

    def test_texts_are_gbk(self):
        bound = bind("[connection 1]\nsend-header:\n  HTTP/1.1 200 OK\n  X-Name: 霁川.zip\n")
        self.assertIn("霁川".encode("gbk"), bound.reply_bytes(1, b""))

    def test_steps_after_a_drop_are_not_sent(self):
        bound = bind("[body]\nsize 10\n[connection 1]\nsend-body 0-3\nclose\nsend-body 4-\n")
        self.assertEqual(bound.reply_bytes(1, b""), scenario.generated_body(10)[:4])

    def test_connections_without_a_section_get_an_ordinary_reply(self):
        bound = bind("[body]\nsize 10\n[connection 1]\nsend-raw:\n  one\n")
        self.assertEqual(bound.reply_bytes(1, b""), b"one")
        self.assertTrue(bound.reply_bytes(2, b"GET / HTTP/1.1\r\n\r\n").startswith(b"HTTP/1.1 200 OK\r\n"))
        star = bind("[connection *]\nsend-raw:\n  star\n")
        self.assertEqual(star.reply_bytes(7, b""), b"star")

    def test_reply_by_range_answers_the_named_slice(self):
        body = scenario.generated_body(100)
        cases = [
            (b"", b"HTTP/1.1 200 OK\r\n", body),
            (b"Range: bytes=40-", b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 40-99/100\r\n", body[40:]),
            (b"range:bytes=10-19", b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 10-19/100\r\n",
             body[10:20]),
            (b"Range: bytes=90-500", b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 90-99/100\r\n",
             body[90:]),
            (b"Range: bytes=100-", b"HTTP/1.1 416 Range Not Satisfiable\r\n", b""),
        ]
        for range_line, head, part in cases:
            request = b"GET /x HTTP/1.1\r\nHost: h\r\n" + (range_line + b"\r\n" if range_line else b"") + b"\r\n"
            reply = scenario.reply_by_range(body, request)
            self.assertTrue(reply.startswith(head), f"{range_line}: {reply[:80]!r}")
            header, _, got = reply.partition(b"\r\n\r\n")
            self.assertEqual(got, part, range_line)
            self.assertIn(b"Content-Length: %d\r\n" % len(part), header + b"\r\n", range_line)

    def test_generated_bodies_never_repeat_a_block(self):
        body = scenario.generated_body(65536 * 2)
        self.assertEqual(body[:1000], scenario.generated_body(1000))
        self.assertNotEqual(body[:256], body[256:512])
        self.assertEqual(body.find(body[65536:65536 + 64]), 65536)


class PlanTest(unittest.TestCase):
    SAMPLE = """
[task]
ThreadCount 2
Referer empty
Proxy absent
SavePath pkg.zip
retry 3 40
timeout 9

[body]
size 20

[connection 1]
expect-request:
  GET /s/%SCENARIO%/file.zip HTTP/1.1
  Host: 127.0.0.1:%PORT%
send-raw:
  junk before\\r\\n
send-header:
  HTTP/1.1 200 OK
  Content-Length: %SIZE%
send-body all

[status]
0 正在连接 [127.0.0.1:%PORT%]
1 %REQUEST:1%
2 %HEADER:1%
0 等待%N%秒后重试 || %ANY%

[worker 2 status among others]
3 出现错误

[no status]
* %ANY%过长

[events]
once SizeKnown %SIZE%
no WorkerFailed
TaskEnded %SIZE% || 0

[files]
pkg.zip || other.zip prefix 10 or none
absent /etc/x

[connections]
count 1-2
"""

    def test_plan_records_carry_gbk_texts_wildcards_and_references(self):
        records = plan_records(bind(self.SAMPLE).plan())
        by_key = {}
        for words, payload in records:
            by_key.setdefault(" ".join(words), []).append(payload)
        request = b"GET /s/sample/file.zip HTTP/1.1\r\nHost: 127.0.0.1:4321\r\n\r\n"
        self.assertEqual(by_key["name"], [b"sample"])
        self.assertEqual(by_key["param Url"], [b"http://127.0.0.1:4321/s/sample/file.zip"])
        self.assertEqual(by_key["param ThreadCount"], [b"2"])
        self.assertEqual(by_key["param Referer"], [b""])
        self.assertEqual(by_key["absent Proxy"], [b""])
        self.assertEqual(by_key["save-path"], [b"pkg.zip"])
        self.assertEqual(by_key["retry"], [b"3,40"])
        self.assertEqual(by_key["timeout-ms"], [b"9000"])
        self.assertEqual(by_key["body"], [scenario.generated_body(20)])
        self.assertEqual(by_key["request 1"], [request])
        self.assertEqual(by_key["connections 1 2"], [b""])
        self.assertEqual(by_key["status all exact 0"][0], "正在连接 [127.0.0.1:4321]".encode("gbk"))
        self.assertEqual(by_key["status all exact 1"], [request])
        self.assertEqual(by_key["status all exact 2"], [b"HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n"])
        self.assertEqual(by_key["status all exact 0"][1],
                         "等待".encode("gbk") + scenario.ANY_NUMBER + "秒后重试".encode("gbk") +
                         scenario.ALTERNATIVE + scenario.ANY_TEXT)
        self.assertEqual(by_key["status 2 among 3"], ["出现错误".encode("gbk")])
        self.assertEqual(by_key["status all absent *"], [scenario.ANY_TEXT + "过长".encode("gbk")])
        self.assertEqual(by_key["event once 3"], [b"20"])
        self.assertEqual(by_key["event no 9"], [b""])
        self.assertEqual(by_key["event some 4"], [b"20" + scenario.ALTERNATIVE + b"0"])
        self.assertEqual(by_key["file prefix 10 or-none"], [b"pkg.zip" + scenario.ALTERNATIVE + b"other.zip"])
        self.assertEqual(by_key["absent-path"], [b"/etc/x"])
        self.assertEqual(records[-1], (["end"], b""))

    def test_defaults_fill_the_url_and_the_directory_target(self):
        by_key = {" ".join(w): p for w, p in plan_records(bind("", "plain").plan())}
        self.assertEqual(by_key["param Url"], b"http://127.0.0.1:4321/s/plain/file.zip")
        self.assertEqual(by_key["save-path"], b"")
        self.assertEqual(by_key["retry"], b"%d,%d" % scenario.DEFAULT_RETRY)
        self.assertEqual(len(by_key["body"]), scenario.DEFAULT_BODY_SIZE)

    def test_header_reference_starts_at_the_status_line(self):
        bound = bind("[connection 1]\nexpect-request:\n  GET / HTTP/1.1\nsend-raw:\n  noise HTTP/1.0 200 OK\\r\\n\\r\\nbody\n"
                     "[status]\n2 %HEADER:1%\n")
        records = dict((" ".join(w), p) for w, p in plan_records(bound.plan()))
        self.assertEqual(records["status all exact 2"], b"HTTP/1.0 200 OK\r\n\r\n")


class FtpPlanTest(unittest.TestCase):
    SAMPLE = """
[ftp]
variant no-pasv

[task]
UserName op
Password %FILLER:3%
TransferType 3
BinaryExtensions .zip

[body]
size 10

[status among others]
0 正在连接 [127.0.0.1:%FTP-PORT%]

[ftp commands]
PORT 127,0,0,1,%N%,%N%
RETR s/%SCENARIO%/file.zip

[no ftp commands]
PASV

[events]
TaskEnded %SIZE%

[files]
file.zip body
"""

    def test_ftp_plans_name_the_variant_port_the_file_and_the_commands(self):
        records = plan_records(bind(self.SAMPLE).plan())
        by_key = {}
        for words, payload in records:
            by_key.setdefault(" ".join(words), []).append(payload)
        self.assertEqual(by_key["param Url"], [b"ftp://127.0.0.1:2122/s/sample/file.zip"])
        self.assertEqual(by_key["param UserName"], [b"op"])
        self.assertEqual(by_key["param Password"], [b"xxx"])
        self.assertEqual(by_key["param TransferType"], [b"3"])
        self.assertEqual(by_key["param BinaryExtensions"], [b".zip"])
        self.assertEqual(by_key["ftp-file"], [b"s/sample/file.zip"])
        self.assertEqual(by_key["ftp-command among"],
                         [b"PORT 127,0,0,1," + scenario.ANY_NUMBER + b"," + scenario.ANY_NUMBER,
                          b"RETR s/sample/file.zip"])
        self.assertEqual(by_key["ftp-command absent"], [b"PASV"])
        self.assertEqual(by_key["status all among 0"], ["正在连接 [127.0.0.1:2122]".encode("gbk")])

    def test_the_body_is_put_where_the_ftp_server_serves_it(self):
        with tempfile.TemporaryDirectory() as directory:
            with open(os.path.join(directory, "ports"), "w") as f:
                f.write("plain 2121\nno-pasv 2122\n")
            peer = scenario.FtpPeer(directory)
            bound = bind("[ftp]\nvariant plain\nfile dir with space/a b.zip\n[body]\nsize 99\n", ftp=peer)
            self.assertIn(b"ftp://127.0.0.1:2121/s/sample/file.zip", bound.plan())
            bound.place_ftp_file()
            with open(os.path.join(directory, "root", "dir with space", "a b.zip"), "rb") as f:
                self.assertEqual(f.read(), scenario.generated_body(99))
            self.assertIn(b"ftp-file 22\ndir with space/a b.zip\n", bound.plan())


class ScenarioFilesTest(unittest.TestCase):
    def test_every_scenario_file_binds_and_plans(self):
        names = sorted(f for f in os.listdir(SCENARIO_DIR) if f.endswith(".scenario"))
        self.assertGreater(len(names), 30)
        for name in names:
            with self.subTest(name):
                ports = dict((variant, 2100 + i) for i, variant in enumerate(ftp_server.variants()))
                bound = scenario.BoundScenario(scenario.load(os.path.join(SCENARIO_DIR, name)), 4321,
                                               scenario.FtpPeer("/nonexistent", ports))
                records = plan_records(bound.plan())
                kinds = {words[0] for words, _ in records}
                # Every fault case checks the status texts, the events and the files.
                self.assertIn("status", kinds)
                self.assertIn("event", kinds)
                self.assertTrue(kinds & {"file", "no-files"}, "no [files] expectation")
                # (The body is random bytes: a large one may hold anything.)
                texts = b"".join(payload for words, payload in records if words[0] != "body")
                self.assertFalse(re.search(rb"%[A-Z][A-Z-]*(:\d+)?%", texts), "a placeholder left over")


if __name__ == "__main__":
    unittest.main()
