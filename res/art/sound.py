"""The alert sound: a short two-note chime, soft enough to repeat without annoying."""
import math
import struct

RATE = 22050


def _note(freq, seconds, level):
    samples = []
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        attack = min(1.0, t / 0.006)
        decay = math.exp(-t * 9.0)
        tail = min(1.0, (count - i) / (RATE * 0.02))
        tone = (math.sin(2 * math.pi * freq * t) + 0.28 * math.sin(4 * math.pi * freq * t) +
                0.08 * math.sin(6 * math.pi * freq * t))
        samples.append(level * attack * decay * tail * tone / 1.36)
    return samples


def alert_samples():
    return _note(988.0, 0.13, 0.55) + _note(1318.5, 0.27, 0.5)


def wav(samples, rate=RATE):
    """16-bit mono PCM."""
    data = b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" +
            struct.pack("<I", len(data)) + data)
    return b"RIFF" + struct.pack("<I", len(body)) + body
