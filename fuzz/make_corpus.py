#!/usr/bin/env python3
"""Writes the seed corpus: Decode datagrams of every field shape, one file each."""
import os
import struct
import sys

def text(s, length=None):
    b = s.encode("utf-8") if isinstance(s, str) else s
    return struct.pack(">i", len(b) if length is None else length) + b

def decode(id_="WSJT-X", new=1, ms=45015000, snr=-12, dt=0.2, df=1500, mode="~",
           message="CQ K1ABC FN42", type_=2, magic=0xADBCCBDA, tail=b"\x00\x00"):
    return (struct.pack(">IiI", magic, 2, type_) + text(id_) + bytes([new]) +
            struct.pack(">iid", ms, snr, dt) + struct.pack(">I", df) + text(mode) +
            text(message) + tail)

seeds = {
    "cq": decode(),
    "cq_dx": decode(message="CQ DX K1ABC FN42"),
    "cq_test": decode(message="CQ TEST K1ABC FN42"),
    "exchange": decode(message="K1ABC W9XYZ -12", snr=3, dt=-0.5),
    "rr73": decode(message="W9XYZ K1ABC RR73"),
    "compound": decode(message="CQ K1ABC/P FN42"),
    "hashed": decode(message="<K1ABC> W9XYZ R-07"),
    "tracked": decode(message="W9XYZ K1ABC\t73"),
    "free_text": decode(message="TNX 73 GL"),
    "one_word": decode(message="HELLO"),
    "empty_message": decode(message=""),
    "leading_blank": decode(message=" CQ K1ABC FN42"),
    "nul_in_id": decode(id_=b"AB\x00CD"),
    "null_texts": decode(id_=b"", mode=b"") .replace(text(""), struct.pack(">i", -1), 1),
    "utf8": decode(message="CQ DL1ÄBC JO62"),
    "nan_dt": decode(dt=float("nan")),
    "big_dt": decode(dt=1e300),
    "snr_out_of_range": decode(snr=40000),
    "negative_time": decode(ms=-1),
    "old_decode": decode(new=0, ms=86399000),
    "type_0x102": decode(type_=0x102),
    "status_type": decode(type_=1),
    "wrong_magic": decode(magic=0x12345678),
    "long_message": decode(message="CQ " + "A" * 500 + " K1ABC"),
    "trailing_bytes": decode(tail=b"\xff" * 64),
}
seeds["truncated"] = seeds["cq"][:30]
seeds["huge_length"] = struct.pack(">IiI", 0xADBCCBDA, 2, 2) + struct.pack(">I", 0x7FFFFFFF) + b"ABC"

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
os.makedirs(out, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(out, name + ".bin"), "wb") as f:
        f.write(data)
