#!/usr/bin/python3
"""Measures the game's music as the game gets it: each Ogg Vorbis file under
assets/sfx/music is decoded (oggdec, from vorbis-tools) and its length,
format, integrated loudness (LUFS, BS.1770 K-weighted and gated), peak and
loop seam are printed, with the spread of the loudness across the tracks.

The seam is where the loop goes from its last sample back to its first. Two
figures say whether it clicks: the jump there against the largest jump
between neighbouring samples inside the track ("jump"), and the energy of
the signal's second difference (what a click is made of) in the 10 ms around
the seam against the loudest 1 % of all 10 ms stretches, the notes' own
attacks ("roughness", in dB; a click stands above 0), and the share of
stretches rougher than the seam ("rougher", in %).

Usage: tools/measure_music.py [FILE.ogg ...]   (default: every track)
Exit status 1 when a file cannot be decoded.
"""
import glob
import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from content import loudness  # noqa: E402
from content.common import ASSETS  # noqa: E402


def decode(path):
    with tempfile.TemporaryDirectory() as folder:
        wav = os.path.join(folder, "decoded.wav")
        subprocess.run(["oggdec", "--quiet", "-o", wav, path], check=True)
        with wave.open(wav, "rb") as data:
            rate, channels = data.getframerate(), data.getnchannels()
            frames = np.frombuffer(data.readframes(data.getnframes()), dtype="<i2")
    return rate, frames.reshape(-1, channels).astype(np.float64) / 32768.0


def seam_figures(x, rate):
    steps = np.abs(np.diff(x, axis=0)).max(axis=1)
    jump = np.abs(x[0] - x[-1]).max() / max(steps.max(), 1e-12)
    # The second difference around every point, the loop closed.
    looped = np.concatenate([x[-2:], x, x[:2]])
    curvature = np.sum((looped[2:] - 2 * looped[1:-1] + looped[:-2]) ** 2, axis=1)[1:-1]
    window = int(0.01 * rate)
    whole = len(curvature) // window
    energies = curvature[:whole * window].reshape(whole, window).sum(axis=1)
    around = np.concatenate([curvature[-window // 2:], curvature[:window // 2]]).sum()
    roughness = 10 * np.log10(max(around, 1e-20) / max(np.percentile(energies, 99), 1e-20))
    rougher = 100.0 * np.mean(energies > around)
    return jump, roughness, rougher


def main(argv):
    paths = argv[1:] or sorted(glob.glob(os.path.join(ASSETS, "sfx", "music", "*.ogg")))
    figures = []
    print("%-22s %8s %4s %6s %9s %9s %7s %10s %8s" % ("track", "seconds", "ch", "Hz", "LUFS", "peak dB", "jump",
                                                      "rough dB", "rougher"))
    for path in paths:
        try:
            rate, x = decode(path)
        except (OSError, subprocess.CalledProcessError) as error:
            print("measure_music: cannot decode %s: %s" % (path, error))
            return 1
        lufs = loudness.integrated(x, rate)
        peak = 20 * np.log10(max(np.abs(x).max(), 1e-12))
        jump, roughness, rougher = seam_figures(x, rate)
        figures.append(lufs)
        print("%-22s %8.1f %4d %6d %9.1f %9.1f %7.2f %10.1f %7.1f%%" % (
            os.path.basename(path)[:22], len(x) / rate, x.shape[1], rate, lufs, peak, jump, roughness, rougher))
    if figures:
        print("loudness spread: %.1f LU (%.1f to %.1f LUFS)" % (max(figures) - min(figures), min(figures),
                                                               max(figures)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
