#!/usr/bin/env python3
"""Writes tools/sample-all.txt: a made-up but realistic FT8 band, as a decoder logs it.

Stations keep one audio frequency and one grid that fits their prefix; QSOs run over
consecutive 15-second periods (CQ, answer, report, R-report, RR73, 73) with the two stations
on alternate periods; SNR drifts by a few dB from period to period; most DT values lie within
half a second. A DXpedition works its callers in the multi-stream form ("...RR73; ...").
Run it again after changing it: the output is the same every time.
"""
import random
from pathlib import Path

PERIODS = 10
START = 12 * 3600  # 12:00:00

# call: (grid, audio offset in Hz, typical SNR, typical DT)
STATIONS = {
    "K1ABC": ("FN42", 1205, -8, 0.2),
    "W9XYZ": ("EN52", 1480, -14, 0.1),
    "JA1XYZ": ("PM95", 2394, -19, 0.4),
    "KH6XYZ": ("BL11", 1830, -17, 0.3),
    "F5XYZ": ("JN18", 2587, -12, 0.0),
    "G4ABC": ("IO91", 905, -5, -0.1),
    "OH2XYZ": ("KP20", 2278, -15, 0.1),
    "SP5XYZ": ("KO02", 652, -10, -0.2),
    "EA3ABC": ("JN11", 1105, -11, 0.1),
    "I2ABC": ("JN45", 2011, -16, 0.2),
    "DL1ABC": ("JO62", 1655, -3, 0.0),
    "ON4XYZ/P": ("JO20", 790, -20, 0.5),
    "VE3XYZ": ("FN03", 2745, -18, 0.3),
    "N0ABC": ("EN34", 1372, -21, 0.2),
    "KH1/KH7Z": ("", 360, -13, 1.1),  # a DXpedition far away: its DT stands out
    "VK2DEF": ("QF56", 2920, -22, -0.6),
    "PY2ABC": ("GG66", 1950, -17, 0.4),
    "ZL1ABC": ("RF72", 2530, -23, 0.7),
    "UA9XYZ": ("MO06", 480, -14, 0.2),
    "HA5ABC": ("JN97", 1020, -9, 0.0),
    "OK1XYZ": ("JO70", 1760, -12, -0.1),
    "PA3ABC": ("JO22", 2150, -6, 0.1),
    "EI2XYZ": ("IO63", 1290, -13, 0.0),
    "W6XYZ": ("CM97", 2640, -20, 0.4),
    "CT1ABC": ("IM58", 1575, -15, -0.2),
    "K5ABC": ("EM10", 2460, -18, 0.3),
    "S51XYZ": ("JN76", 560, -11, -0.4),
    "YB0XYZ": ("OI33", 1215, -24, 0.6),
    "VE7XYZ": ("CN89", 2850, -19, 0.3),
    "WA4ABC": ("EM73", 2210, -9, 0.1),
    "LU1ABC": ("GF05", 940, -21, 0.5),
    "EA8XYZ": ("IL18", 1410, -16, 0.2),
    "VU2XYZ": ("MK82", 330, -22, 0.3),
    "9A2XYZ": ("JN75", 1880, -13, -0.1),
}

# (first period, calling station, answering station, CQ modifier)
QSOS = [
    (0, "K1ABC", "W9XYZ", ""),
    (0, "JA1XYZ", "KH6XYZ", "DX"),
    (1, "F5XYZ", "G4ABC", "POTA"),
    (0, "OH2XYZ", "SP5XYZ", "TEST"),
    (3, "EA3ABC", "I2ABC", ""),
    (4, "ON4XYZ/P", "VE3XYZ", ""),
    (6, "K1ABC", "DL1ABC", ""),
    (6, "JA1XYZ", "VK2DEF", "DX"),
    (1, "HA5ABC", "OK1XYZ", ""),
    (2, "PA3ABC", "EI2XYZ", ""),
    (3, "W6XYZ", "ZL1ABC", "DX"),
    (5, "S51XYZ", "K5ABC", ""),
    (7, "OH2XYZ", "UA9XYZ", "TEST"),
    (8, "HA5ABC", "CT1ABC", ""),
    (0, "VE7XYZ", "WA4ABC", ""),
    (0, "LU1ABC", "EA8XYZ", "DX"),
    (2, "VU2XYZ", "9A2XYZ", ""),
]

rng = random.Random(20261207)
snr_now = {call: base for call, (_, _, base, _) in STATIONS.items()}
decodes = {p: [] for p in range(PERIODS)}


def heard(period, call, message):
    grid, freq, base, dt = STATIONS[call]
    # SNR drifts from period to period and stays near the station's typical value.
    snr = snr_now[call] + rng.choice([-3, -2, -1, 0, 1, 2, 3])
    snr_now[call] = max(base - 6, min(base + 6, snr))
    decodes[period].append((snr_now[call], round(dt + rng.uniform(-0.15, 0.15), 1) + 0.0,
                            freq + rng.randint(-2, 2), message))


def report(call):
    return snr_now[call] + rng.randint(-3, 3)


def sign(value):
    return f"{value:+03d}"


for first, caller, answerer, modifier in QSOS:
    cq = f"CQ {modifier} {caller} {STATIONS[caller][0]}" if modifier else \
        f"CQ {caller} {STATIONS[caller][0]}"
    steps = [
        (caller, cq),
        (answerer, f"{caller} {answerer} {STATIONS[answerer][0]}"),
        (caller, f"{answerer} {caller} {sign(report(answerer))}"),
        (answerer, f"{caller} {answerer} R{sign(report(caller))}"),
        (caller, f"{answerer} {caller} RR73"),
        (answerer, f"{caller} {answerer} 73"),
    ]
    for offset, (call, message) in enumerate(steps):
        if first + offset < PERIODS:
            heard(first + offset, call, message)

# The DXpedition calls in the even periods and its callers answer in the odd ones; it closes
# one QSO and reports to the next caller in the same message.
hounds = ["N0ABC", "VE3XYZ", "PY2ABC", "KH6XYZ", "ZL1ABC"]
heard(0, "KH1/KH7Z", "CQ KH1/KH7Z")
for period in range(1, PERIODS, 2):
    heard(period, hounds[period // 2], f"<KH1/KH7Z> {hounds[period // 2]} {STATIONS[hounds[period // 2]][0]}")
for period in range(2, PERIODS, 2):
    done, nxt = hounds[period // 2 - 1], hounds[period // 2]
    heard(period, "KH1/KH7Z", f"{done} RR73; {nxt} <KH1/KH7Z> {sign(report(nxt))}")

# Stations that only call, one that calls K1ABC in vain, and a thank-you in free text.
for period in range(0, PERIODS, 2):
    heard(period, "N0ABC", "CQ NA N0ABC EN34")
for period in range(1, PERIODS, 2):
    heard(period, "CT1ABC" if period < 9 else "EA3ABC", f"CQ {'CT1ABC IM58' if period < 9 else 'EA3ABC JN11'}")
for period in (1, 3):
    heard(period, "YB0XYZ", "K1ABC YB0XYZ OI33")
heard(7, "W9XYZ", "TNX FER QSO 73")

lines = []
for period in range(PERIODS):
    t = START + 15 * period
    stamp = f"261207_{t // 3600:02d}{t // 60 % 60:02d}{t % 60:02d}"
    for snr, dt, freq, message in sorted(decodes[period], key=lambda d: d[2]):
        lines.append(f"{stamp}    14.074 Rx FT8 {snr:6d} {dt:4.1f} {freq:4d} {message}")

Path(__file__).with_name("sample-all.txt").write_text("\n".join(lines) + "\n")
print(f"{len(lines)} decodes in {PERIODS} periods")
