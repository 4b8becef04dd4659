"""Integrated loudness of a stereo signal, in LUFS: the K-weighted, gated
mean power of ITU-R BS.1770 (400 ms blocks every 100 ms, an absolute gate at
-70 LUFS and a relative one 10 LU below the mean of what passes it).

The K-weighting (a high shelf for the head's effect, then a high pass) is
applied by its magnitude response in the frequency domain over the whole
signal, which treats it as one period of a loop: exact for the music's
circular tracks, and power is all the measure looks at."""
import math

import numpy as np


def _biquad_gain(b, a, freqs, rate):
    z = np.exp(-2j * math.pi * freqs / rate)
    return np.abs((b[0] + b[1] * z + b[2] * z * z) / (a[0] + a[1] * z + a[2] * z * z))


def k_weighting_gain(freqs, rate):
    # The two stages as BS.1770 specifies them, designed for any rate.
    f0, gain_db, q = 1681.974450955533, 3.999843853973347, 0.7071752369554196
    k = math.tan(math.pi * f0 / rate)
    vh = 10 ** (gain_db / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf = _biquad_gain([(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0],
                         [1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0], freqs, rate)
    f0, q = 38.13547087602444, 0.5003270373238773
    k = math.tan(math.pi * f0 / rate)
    a0 = 1 + k / q + k * k
    high_pass = _biquad_gain([1.0, -2.0, 1.0], [1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0], freqs, rate)
    return shelf * high_pass


def integrated(stereo, rate):
    """`stereo`: (samples, channels) floats in -1 .. 1."""
    n = stereo.shape[0]
    freqs = np.fft.rfftfreq(n, 1 / rate)
    weight = k_weighting_gain(freqs, rate)
    weighted = np.stack([np.fft.irfft(np.fft.rfft(stereo[:, c]) * weight, n) for c in range(stereo.shape[1])],
                        axis=1)
    power = np.sum(weighted ** 2, axis=1)
    block, step = int(0.4 * rate), int(0.1 * rate)
    cumulative = np.concatenate([[0.0], np.cumsum(power)])
    starts = np.arange(0, n - block + 1, step)
    blocks = (cumulative[starts + block] - cumulative[starts]) / block
    loud = -0.691 + 10 * np.log10(np.maximum(blocks, 1e-12))
    kept = blocks[loud > -70.0]
    if len(kept) == 0:
        return -70.0
    relative = -0.691 + 10 * math.log10(np.mean(kept)) - 10.0
    kept = blocks[(loud > -70.0) & (loud > relative)]
    return -0.691 + 10 * math.log10(np.mean(kept))
