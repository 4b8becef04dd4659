"""The music: a title theme and one track per arena, each well over 90
seconds before it repeats, synthesized here (no recorded samples), stereo at
44.1 kHz, encoded to Ogg Vorbis with oggenc (vorbis-tools).

Every track is built on a circular buffer as long as the loop: a note whose
tail runs past the end goes on at the start, so the last sample leads into
the first as any two neighbours do and the loop point cannot click. Each
track is brought to the same loudness (`loudness.integrated`, a K-weighted,
gated measure in LUFS) before encoding; `tools/measure_music.py` measures
the encoded files again.
"""
import math
import os
import subprocess
import tempfile
import wave

import numpy as np

from .common import asset_path, ensure_dir, rng
from . import loudness

RATE = 44100
# Every track's integrated loudness, LUFS; the peaks stay below PEAK.
TARGET_LUFS = -17.0
PEAK = 0.89
# oggenc's quality (-1 .. 10): about 80 kbit/s for stereo, plenty for these
# soft synthesized timbres, and small in the repository.
OGG_QUALITY = "1"


def midi(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def envelope(n, attack, release, curve=3.0):
    """Rises over `attack` seconds, then falls to silence by the end of n samples."""
    t = np.arange(n) / RATE
    length = n / RATE
    rise = np.clip(t / max(attack, 1e-4), 0, 1)
    fall = np.clip((length - t) / max(length - attack, 1e-4), 0, 1) ** curve
    tail = np.clip((length - t) / max(release, 1e-4), 0, 1)
    return rise * np.minimum(fall + 0.0, 1.0) * tail


def one_pole_lowpass(x, cutoff):
    spectrum = np.fft.rfft(x)
    freqs = np.fft.rfftfreq(len(x), 1 / RATE)
    spectrum *= 1 / np.sqrt(1 + (freqs / cutoff) ** 2)
    return np.fft.irfft(spectrum, len(x))


def noise(n, seed, low, high):
    """Noise band-limited to low..high Hz (made in the frequency domain)."""
    g = rng(seed)
    freqs = np.fft.rfftfreq(n, 1 / RATE)
    band = np.clip(np.minimum((freqs - low) / (0.3 * low + 1), (high - freqs) / (0.3 * high + 1)), 0, 1)
    out = np.fft.irfft(band * np.exp(2j * math.pi * g.uniform(0, 1, len(freqs))), n)
    return out / (np.max(np.abs(out)) + 1e-12)


# --- instruments ----------------------------------------------------------

def pluck(freq, seconds, seed, brightness=0.5):
    """A plucked string (Karplus-Strong), a period at a time."""
    n = int(seconds * RATE)
    period = max(2, int(round(RATE / freq)))
    g = rng(seed)
    out = np.zeros(n + period)
    excite = g.uniform(-1, 1, period)
    out[:period] = one_pole_lowpass(excite, 1500 + 7000 * brightness) if period > 16 else excite
    damp = 0.997
    for start in range(period, n + period, period):
        prev = out[start - period:start]
        nxt = 0.5 * (prev + np.roll(prev, 1)) * damp
        end = min(start + period, n + period)
        out[start:end] = nxt[:end - start]
    return out[period:] * envelope(n, 0.002, 0.05, 1.2)


def mallet(freq, seconds, hardness=1.0):
    """A marimba-like bar: a sine with an inharmonic overtone struck briefly."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    body = np.sin(2 * math.pi * freq * t) * np.exp(-t * 5.0)
    over = np.sin(2 * math.pi * freq * 3.93 * t) * np.exp(-t * 22.0) * 0.35 * hardness
    knock = np.sin(2 * math.pi * freq * 9.2 * t) * np.exp(-t * 90.0) * 0.2 * hardness
    return (body + over + knock) * envelope(n, 0.001, 0.04, 0.5)


def bell(freq, seconds):
    """A soft FM bell."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    index = 2.2 * np.exp(-t * 3.0)
    tone = np.sin(2 * math.pi * freq * t + index * np.sin(2 * math.pi * freq * 1.4 * t))
    return tone * np.exp(-t * 1.6) * envelope(n, 0.003, 0.08, 0.3)


def flute(freq, seconds, seed):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    vib = 1 + 0.005 * np.sin(2 * math.pi * 5.0 * t) * np.clip((t - 0.15) / 0.3, 0, 1)
    phase = 2 * math.pi * np.cumsum(freq * vib) / RATE
    tone = np.sin(phase) + 0.25 * np.sin(2 * phase) + 0.07 * np.sin(3 * phase)
    breath = noise(n, seed, freq, min(freq * 5, 16000)) * 0.05
    shape = np.clip(t / 0.05, 0, 1) * np.clip((seconds - t) / 0.1, 0, 1)
    return (tone + breath) * shape


def pad(freqs, seconds, warmth=0.3, cutoff=2400.0):
    """A slow, detuned chord; `warmth` weighs the overtones."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    for f in freqs:
        for detune in (-0.0035, 0.0, 0.004):
            ph = 2 * math.pi * f * (1 + detune) * t
            out += np.sin(ph) + warmth * np.sin(2 * ph) + warmth * 0.4 * np.sin(3 * ph)
    shape = np.clip(t / 0.6, 0, 1) * np.clip((seconds - t) / 0.8, 0, 1)
    return one_pole_lowpass(out * shape, cutoff)


def bass(freq, seconds):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    ph = 2 * math.pi * freq * t
    tone = np.sin(ph) + 0.35 * np.sin(2 * ph) + 0.12 * np.sin(3 * ph)
    return tone * envelope(n, 0.006, 0.06, 1.0)


def kick(seed):
    n = int(0.3 * RATE)
    t = np.arange(n) / RATE
    f = 45 + 85 * np.exp(-t * 28)
    return np.sin(2 * math.pi * np.cumsum(f) / RATE) * np.exp(-t * 11) * envelope(n, 0.001, 0.02, 0.2)


def snare(seed):
    n = int(0.22 * RATE)
    t = np.arange(n) / RATE
    body = np.sin(2 * math.pi * 190 * t) * np.exp(-t * 30) * 0.5
    hiss = noise(n, seed, 1500, 9000) * np.exp(-t * 18)
    return (body + hiss) * envelope(n, 0.001, 0.02, 0.2)


def hat(seed, length=0.06):
    n = int(length * RATE)
    t = np.arange(n) / RATE
    return noise(n, seed, 6000, 15000) * np.exp(-t * 60) * envelope(n, 0.001, 0.01, 0.2)


# --- arrangement ------------------------------------------------------------

class Track:
    """A loop of `bars` bars of four beats at `bpm`, on a circular stereo buffer."""

    def __init__(self, bpm, bars, seed):
        self.beat = 60.0 / bpm
        self.bars = bars
        self.n = int(round(bars * 4 * self.beat * RATE))
        self.left = np.zeros(self.n)
        self.right = np.zeros(self.n)
        self.seed = seed

    def next_seed(self):
        self.seed += 1
        return self.seed

    def put(self, signal, beat, gain, pan=0.0):
        """Adds `signal` at `beat` (from the loop's start), panned -1 .. 1;
        what runs past the end of the loop goes on at its start."""
        start = int(round(beat * self.beat * RATE)) % self.n
        angle = (pan + 1) * math.pi / 4
        for channel, weight in ((self.left, math.cos(angle)), (self.right, math.sin(angle))):
            remaining = signal * (gain * weight * math.sqrt(2))
            at = start
            while len(remaining):
                room = min(len(remaining), self.n - at)
                channel[at:at + room] += remaining[:room]
                remaining = remaining[room:]
                at = 0

    def seconds(self, beats):
        return beats * self.beat

    def stereo(self):
        return np.stack([self.left, self.right], axis=1)


def scale_notes(root, mode):
    steps = {"dorian": [0, 2, 3, 5, 7, 9, 10], "major": [0, 2, 4, 5, 7, 9, 11],
             "lydian": [0, 2, 4, 6, 7, 9, 11], "aeolian": [0, 2, 3, 5, 7, 8, 10]}[mode]
    return [root + 12 * octave + s for octave in range(-3, 4) for s in steps]


# Rhythms of a melody bar: (beat in the bar, length in beats).
RHYTHMS = [
    [(0, 1.5), (1.5, 0.5), (2, 1), (3, 1)],
    [(0, 1), (1, 1), (2, 2)],
    [(0, 0.5), (0.5, 0.5), (1, 1), (2, 1.5), (3.5, 0.5)],
    [(0, 2), (2, 1), (3, 1)],
    [(0, 1), (1, 0.5), (1.5, 0.5), (2, 1), (3, 1)],
    [(0, 3), (3, 1)],
]


def melody(chords, scale, low, high, seed, rhythm_choices=None):
    """A phrase over `chords` (one chord, a list of MIDI notes, per bar):
    chord tones on the bar's first note, steps through the scale between,
    the last note held and on the chord's root. Returns (beat, length, note)."""
    g = rng(seed)
    notes = [x for x in scale if low <= x <= high]
    out = []
    current = notes[len(notes) // 2]
    choices = rhythm_choices or list(range(len(RHYTHMS)))
    for bar, chord in enumerate(chords):
        last_bar = bar == len(chords) - 1
        rhythm = [(0, 4)] if last_bar else RHYTHMS[choices[g.integers(0, len(choices))]]
        for k, (beat, length) in enumerate(rhythm):
            if k == 0:
                tones = [x for x in notes if (x - chord[0]) % 12 in [(c - chord[0]) % 12 for c in chord]]
                if last_bar:
                    tones = [x for x in notes if (x - chord[0]) % 12 == 0] or tones
                current = min(tones, key=lambda x: abs(x - current) + g.uniform(0, 2))
            else:
                i = notes.index(current)
                step = int(g.choice([-2, -1, -1, 1, 1, 2]))
                current = notes[max(0, min(len(notes) - 1, i + step))]
            out.append((bar * 4 + beat, length, current))
    return out


def play_melody(track, phrase, first_bar, instrument, gain, pan, shift=0):
    for beat, length, note in phrase:
        freq = midi(note + shift)
        seconds = track.seconds(length) * 0.95
        if instrument == "flute":
            sig = flute(freq, seconds, track.next_seed())
        elif instrument == "bell":
            sig = bell(freq, max(seconds, 1.2))
        elif instrument == "mallet":
            sig = mallet(freq, max(seconds, 0.8))
        else:
            sig = pluck(freq, max(seconds, 0.6), track.next_seed(), 0.7)
        track.put(sig, first_bar * 4 + beat, gain, pan)


def play_chords(track, chords, first_bar, gain, warmth=0.3, cutoff=2400.0, octave=0):
    for bar, chord in enumerate(chords):
        track.put(pad([midi(x + octave) for x in chord], track.seconds(4) + 0.8, warmth, cutoff),
                  (first_bar + bar) * 4, gain)


def play_bass(track, chords, first_bar, pattern, gain):
    """`pattern`: (beat, length, offset from the chord's root in semitones)."""
    for bar, chord in enumerate(chords):
        root = chord[0] - 24
        for beat, length, offset in pattern:
            track.put(bass(midi(root + offset), track.seconds(length) * 0.9), (first_bar + bar) * 4 + beat, gain)


def play_arpeggio(track, chords, first_bar, instrument, step, gain, spread=0.5, shift=12):
    for bar, chord in enumerate(chords):
        tones = chord + [chord[1] + 12, chord[2] + 12, chord[0] + 12]
        order = [0, 1, 2, 3, 4, 3, 2, 1]
        count = int(4 / step)
        for k in range(count):
            note = tones[order[k % len(order)]] + shift
            pan = spread * (1 if k % 2 else -1)
            if instrument == "mallet":
                sig = mallet(midi(note), 0.7, 0.7)
            elif instrument == "bell":
                sig = bell(midi(note), 1.4)
            else:
                sig = pluck(midi(note), 0.6, track.next_seed(), 0.6)
            track.put(sig, (first_bar + bar) * 4 + k * step, gain, pan)


def play_drums(track, first_bar, bars, style, gain):
    for bar in range(first_bar, first_bar + bars):
        b = bar * 4
        if style in ("full", "half"):
            track.put(kick(0), b, gain)
            track.put(kick(0), b + (2 if style == "full" else 2.5), gain * 0.8)
        if style == "full":
            track.put(snare(track.next_seed()), b + 1, gain * 0.35, 0.1)
            track.put(snare(track.next_seed()), b + 3, gain * 0.35, 0.1)
        if style in ("full", "half", "light"):
            for k in range(8):
                track.put(hat(track.next_seed()), b + k * 0.5, gain * (0.22 if k % 2 else 0.13), -0.3)


# --- the four tracks --------------------------------------------------------

def _sections(track, plan):
    """`plan`: (bars, function(first bar)) in order; checks they fill the loop."""
    bar = 0
    for bars, section in plan:
        section(bar)
        bar += bars
    assert bar == track.bars, "the sections fill %d of %d bars" % (bar, track.bars)


def title_theme():
    """The title: D dorian, stately, bells over strings, the folk tune's
    kin. 44 bars at 100 beats a minute: 105.6 seconds."""
    t = Track(100, 44, 7000)
    scale = scale_notes(62, "dorian")
    verse = [[50, 57, 62], [48, 55, 60], [46, 53, 58], [45, 52, 57]] * 2
    bridge = [[43, 50, 55], [45, 52, 57], [46, 53, 58], [48, 55, 60]]
    tune_a = melody(verse, scale, 69, 81, 11, [0, 1, 3])
    tune_b = melody(bridge + bridge, scale, 69, 84, 12, [1, 3, 4])

    def intro(first):
        play_chords(t, verse[:4], first, 0.05, 0.2, 1800)
        play_arpeggio(t, verse[:4], first, "bell", 1.0, 0.10, 0.6)

    def verse_a(first):
        play_chords(t, verse, first, 0.05)
        play_bass(t, verse, first, [(0, 2, 0), (2, 1.5, 7), (3.5, 0.5, 12)], 0.22)
        play_melody(t, tune_a, first, "flute", 0.16, -0.1)
        play_arpeggio(t, verse, first, "pluck", 0.5, 0.05, 0.7)
        play_drums(t, first, 8, "half", 0.22)

    def verse_b(first):
        play_chords(t, bridge * 2, first, 0.055, 0.35)
        play_bass(t, bridge * 2, first, [(0, 1, 0), (1, 1, 7), (2, 1, 12), (3, 1, 7)], 0.2)
        play_melody(t, tune_b, first, "bell", 0.16, 0.15)
        play_arpeggio(t, bridge * 2, first, "pluck", 0.5, 0.05, 0.7)
        play_drums(t, first, 8, "full", 0.24)

    def verse_high(first):
        play_chords(t, verse, first, 0.05, 0.4)
        play_bass(t, verse, first, [(0, 1.5, 0), (1.5, 0.5, 12), (2, 2, 7)], 0.22)
        play_melody(t, tune_a, first, "flute", 0.15, -0.1, 12)
        play_melody(t, tune_a, first, "bell", 0.08, 0.3)
        play_drums(t, first, 8, "full", 0.24)

    def outro(first):
        play_chords(t, verse[:4] * 2, first, 0.055, 0.2, 1800)
        play_arpeggio(t, verse[:4] * 2, first, "bell", 1.0, 0.09, 0.6)
        play_bass(t, verse[:4] * 2, first, [(0, 4, 0)], 0.18)

    _sections(t, [(4, intro), (8, verse_a), (8, verse_b), (8, verse_high), (8, verse_a), (8, outro)])
    return t


def isles_theme():
    """Floating Isles: the plucked folk loop of the first arena grown into a
    whole piece in D dorian. 52 bars at 112 beats a minute: 111.4 seconds."""
    t = Track(112, 52, 8000)
    scale = scale_notes(62, "dorian")
    verse = [[50, 57, 62], [48, 55, 60], [46, 53, 58], [48, 55, 60]] * 2
    turn = [[45, 52, 57], [46, 53, 58], [43, 50, 55], [45, 52, 57]]
    # The first arena's old loop's tune, kept as the verse.
    tune_a = [(0, 1.5, 74), (1.5, 0.5, 72), (2, 1, 69), (3, 1, 72), (4, 1.5, 76), (5.5, 0.5, 74), (6, 2, 72),
              (8, 1, 70), (9, 1, 74), (10, 1, 77), (11, 1, 76), (12, 1.5, 74), (13.5, 0.5, 72), (14, 2, 76),
              (16, 1.5, 74), (17.5, 0.5, 72), (18, 1, 69), (19, 1, 72), (20, 1.5, 76), (21.5, 0.5, 74),
              (22, 2, 72), (24, 1, 70), (25, 1, 74), (26, 1, 77), (27, 1, 76), (28, 4, 74)]
    tune_b = melody(turn * 2, scale, 67, 81, 21, [0, 2, 4])
    tune_c = melody(verse, scale, 69, 84, 22, [2, 4, 1])
    folk_bass = [(k * 0.5, 0.5, 0 if k % 2 == 0 else 12) for k in range(8)]

    def band(first, chords, drums):
        play_chords(t, chords, first, 0.035)
        play_bass(t, chords, first, folk_bass, 0.16)
        play_arpeggio(t, chords, first, "pluck", 0.5, 0.07, 0.6)
        play_drums(t, first, len(chords), drums, 0.24)

    def intro(first):
        play_arpeggio(t, verse[:4], first, "pluck", 0.5, 0.08, 0.6)
        play_chords(t, verse[:4], first, 0.035)

    def part_a(first):
        band(first, verse, "full")
        play_melody(t, tune_a, first, "flute", 0.15, -0.15)

    def part_b(first):
        band(first, turn * 2, "half")
        play_melody(t, tune_b, first, "pluck", 0.16, 0.2)

    def part_c(first):
        band(first, verse, "full")
        play_melody(t, tune_c, first, "flute", 0.14, -0.15)
        play_melody(t, tune_c, first, "pluck", 0.06, 0.3, -12)

    def break_(first):
        play_chords(t, turn, first, 0.05, 0.2, 1600)
        play_bass(t, turn, first, [(0, 4, 0)], 0.16)
        play_drums(t, first, 4, "light", 0.2)

    _sections(t, [(4, intro), (8, part_a), (8, part_b), (8, part_c), (4, break_), (8, part_a),
                  (8, part_b), (4, intro)])
    return t


def spires_theme():
    """Sunrise Spires: bright G lydian mallets and bells climbing over a
    bouncing bass. 52 bars at 122 beats a minute: 102.3 seconds."""
    t = Track(122, 52, 9000)
    scale = scale_notes(67, "lydian")
    verse = [[55, 59, 62], [57, 61, 64], [52, 55, 59], [57, 61, 64]] * 2
    lift = [[48, 52, 55], [50, 54, 57], [52, 55, 59], [50, 54, 57]] * 2
    tune_a = melody(verse, scale, 71, 86, 31, [0, 2, 4])
    tune_b = melody(lift, scale, 74, 88, 32, [1, 2, 5])
    bounce = [(0, 0.5, 0), (0.75, 0.25, 12), (1.5, 0.5, 7), (2, 0.5, 0), (2.75, 0.25, 12), (3.5, 0.5, 7)]

    def rhythm(first, chords, drums):
        play_chords(t, chords, first, 0.03, 0.25, 3000)
        play_bass(t, chords, first, bounce, 0.2)
        play_arpeggio(t, chords, first, "mallet", 0.25, 0.07, 0.8)
        play_drums(t, first, len(chords), drums, 0.24)

    def intro(first):
        play_arpeggio(t, verse[:4], first, "mallet", 0.25, 0.08, 0.8)
        play_chords(t, verse[:4], first, 0.03, 0.25, 3000)

    def part_a(first):
        rhythm(first, verse, "full")
        play_melody(t, tune_a, first, "mallet", 0.2, -0.2)

    def part_b(first):
        rhythm(first, lift, "half")
        play_melody(t, tune_b, first, "bell", 0.15, 0.25)

    def part_a_high(first):
        rhythm(first, verse, "full")
        play_melody(t, tune_a, first, "bell", 0.12, 0.25, 12)
        play_melody(t, tune_a, first, "mallet", 0.16, -0.2)

    def hush(first):
        play_chords(t, lift[:4], first, 0.05, 0.2, 2000)
        play_arpeggio(t, lift[:4], first, "bell", 1.0, 0.08, 0.7)
        play_drums(t, first, 4, "light", 0.18)

    _sections(t, [(4, intro), (8, part_a), (8, part_b), (8, part_a_high), (4, hush), (8, part_b),
                  (8, part_a), (4, intro)])
    return t


def crossing_theme():
    """Moonlit Crossing: A minor at night, slow pads and a soft pulse, bell
    tones drifting over a plucked ostinato. 40 bars at 92 beats a minute:
    104.3 seconds."""
    t = Track(92, 40, 10000)
    scale = scale_notes(69, "aeolian")
    verse = [[45, 52, 57], [41, 48, 53], [43, 50, 55], [40, 47, 52]] * 2
    drift = [[41, 48, 53], [43, 50, 55], [45, 52, 57], [45, 52, 57]] * 2
    tune_a = melody(verse, scale, 69, 84, 41, [1, 3, 5])
    tune_b = melody(drift, scale, 72, 86, 42, [0, 3, 5])
    pulse = [(0, 1.5, 0), (1.5, 1, 0), (2.5, 1.5, 7)]

    def night(first, chords, drums, arp_gain=0.06):
        play_chords(t, chords, first, 0.05, 0.15, 1400, 12)
        play_bass(t, chords, first, pulse, 0.2)
        play_arpeggio(t, chords, first, "pluck", 0.5, arp_gain, 0.8, 0)
        if drums:
            play_drums(t, first, len(chords), drums, 0.2)

    def intro(first):
        night(first, verse[:4], None, 0.07)

    def part_a(first):
        night(first, verse, "half")
        play_melody(t, tune_a, first, "bell", 0.16, 0.2)

    def part_b(first):
        night(first, drift, "light")
        play_melody(t, tune_b, first, "flute", 0.12, -0.2)
        play_melody(t, tune_b, first, "bell", 0.05, 0.35, 12)

    _sections(t, [(4, intro), (8, part_a), (8, part_b), (8, part_a), (8, part_b), (4, intro)])
    return t


# File name under sfx/music/ -> the track's maker.
TRACKS = {
    "Title Theme.ogg": title_theme,
    "Floating Isles.ogg": isles_theme,
    "Sunrise Spires.ogg": spires_theme,
    "Moonlit Crossing.ogg": crossing_theme,
}


def master(stereo):
    """To the common loudness, then a gentle limit on the rare peaks above PEAK."""
    gain = 10 ** ((TARGET_LUFS - loudness.integrated(stereo, RATE)) / 20)
    x = stereo * gain
    knee = PEAK * 0.85
    over = np.abs(x) > knee
    x[over] = np.sign(x[over]) * (knee + (PEAK - knee) * np.tanh((np.abs(x[over]) - knee) / (PEAK - knee)))
    return x


def write_ogg(stereo, *parts):
    path = asset_path("sfx", *parts)
    ensure_dir(path)
    data = np.clip(np.rint(stereo * 32767), -32767, 32767).astype("<i2")
    with tempfile.TemporaryDirectory() as folder:
        wav = os.path.join(folder, "track.wav")
        with wave.open(wav, "wb") as out:
            out.setnchannels(2)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(data.tobytes())
        # A fixed stream serial number: the same music gives the same file.
        subprocess.run(["oggenc", "--quiet", "-q", OGG_QUALITY, "--serial", "1", "-o", path, wav], check=True)
    return path


def generate():
    for name, make in TRACKS.items():
        track = make()
        stereo = master(track.stereo())
        write_ogg(stereo, "music", name)
        print("music: %s, %.1f s, %.1f LUFS" % (name, len(stereo) / RATE, loudness.integrated(stereo, RATE)))
