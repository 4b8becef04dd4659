"""Every sound effect of the game, synthesized, and the two ambience loops.
16-bit mono WAV at 22050 Hz; loops are built circularly (every partial wraps
around) so they repeat without a click. The music is made by music.py."""
import math
import wave
import numpy as np

from .common import asset_path, ensure_dir, rng

RATE = 22050


def write_wav(samples, peak, *parts):
    """Normalises to `peak` (fraction of full scale) and writes 16-bit PCM."""
    samples = np.asarray(samples, dtype=np.float64)
    top = np.max(np.abs(samples))
    if top > 0:
        samples = samples * (peak / top)
    data = np.clip(np.rint(samples * 32767), -32767, 32767).astype("<i2")
    path = asset_path("sfx", *parts)
    ensure_dir(path)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data.tobytes())
    return path


def t_axis(seconds):
    return np.arange(int(seconds * RATE)) / RATE


def band_noise(n, low, high, seed, tilt=0.0):
    """Noise limited to low..high Hz, made in the frequency domain; periodic over n samples."""
    g = rng(seed)
    spectrum = np.zeros(n // 2 + 1, dtype=complex)
    freqs = np.fft.rfftfreq(n, 1 / RATE)
    sel = (freqs >= low) & (freqs <= high)
    mags = np.where(sel, 1.0, 0.0) * np.where(freqs > 0, (np.maximum(freqs, 1) / 1000.0) ** tilt, 0)
    # Soft band edges avoid ringing.
    edge = np.clip(np.minimum((freqs - low) / (0.2 * low + 1), (high - freqs) / (0.2 * high + 1)), 0, 1)
    spectrum = mags * edge * np.exp(2j * math.pi * g.uniform(0, 1, len(freqs)))
    out = np.fft.irfft(spectrum, n)
    return out / (np.max(np.abs(out)) + 1e-12)


def lowpass(x, cutoff):
    spectrum = np.fft.rfft(x)
    freqs = np.fft.rfftfreq(len(x), 1 / RATE)
    spectrum *= 1 / np.sqrt(1 + (freqs / cutoff) ** 4)
    return np.fft.irfft(spectrum, len(x))


def env(n, attack, decay, curve=4.0):
    """Attack in seconds, then an exponential-ish decay to silence over `decay` seconds."""
    t = np.arange(n) / RATE
    a = np.clip(t / max(attack, 1e-4), 0, 1)
    d = np.clip(1 - (t - attack) / decay, 0, 1) ** curve
    return np.where(t < attack, a, d)


def fade_edges(x, ms=4):
    k = int(RATE * ms / 1000)
    ramp = np.linspace(0, 1, k)
    x = x.copy()
    x[:k] *= ramp
    x[-k:] *= ramp[::-1]
    return x


def sweep(f0, f1, seconds, shape=1.0):
    n = int(seconds * RATE)
    f = f0 + (f1 - f0) * np.linspace(0, 1, n) ** shape
    return np.sin(2 * math.pi * np.cumsum(f) / RATE)


# --- effects -------------------------------------------------------------

def footstep(seed, pitch):
    n = int(0.16 * RATE)
    thud = sweep(140 * pitch, 60 * pitch, 0.16, 0.5) * env(n, 0.002, 0.09, 2)
    grit = band_noise(n, 600 * pitch, 5000, seed, -0.5) * env(n, 0.001, 0.05, 3)
    scrape = band_noise(n, 2000, 7000, seed + 1) * env(n, 0.01, 0.12, 2) * 0.15
    return fade_edges(thud * 0.9 + grit * 0.6 + scrape)


def whoosh(seed, length, low, high):
    n = int(length * RATE)
    t = np.linspace(0, 1, n)
    out = np.zeros(n)
    bands = np.geomspace(low, high, 16)
    for i, (a, b) in enumerate(zip(bands, bands[1:])):
        centre = 0.25 + 0.35 * i / 14        # higher bands peak later: a rising swish
        shape = np.exp(-((t - centre) / 0.22) ** 2)
        out += band_noise(n, a * 0.85, b * 1.15, seed + i, -0.3) * shape
    return fade_edges(out * np.sin(math.pi * t) ** 1.5)


def earth_punch(seed, pitch):
    n = int(0.45 * RATE)
    boom = sweep(110 * pitch, 35 * pitch, 0.45, 0.4) * env(n, 0.003, 0.35, 2.5)
    crunch = band_noise(n, 200, 3000, seed, -0.8) * env(n, 0.001, 0.18, 3)
    debris = band_noise(n, 1500, 6000, seed + 3) * env(n, 0.04, 0.3, 3) * 0.25
    return fade_edges(np.tanh(1.6 * (boom + 0.7 * crunch + debris)))


def heavy_punch(seed, pitch):
    n = int(0.3 * RATE)
    body = sweep(180 * pitch, 60 * pitch, 0.3, 0.3) * env(n, 0.002, 0.16, 2.5)
    slap = band_noise(n, 900, 8000, seed, -0.2) * env(n, 0.0005, 0.035, 2)
    thump = band_noise(n, 60, 400, seed + 1) * env(n, 0.002, 0.1, 3) * 0.6
    return fade_edges(np.tanh(2.0 * (body + 0.8 * slap + thump)))


def beard_cut():
    n = int(0.24 * RATE)
    out = np.zeros(n)
    for k, (start, f) in enumerate(((0.0, 5200), (0.055, 6100))):
        i = int(start * RATE)
        m = n - i
        click = band_noise(m, f * 0.6, 9000, 40 + k) * env(m, 0.0003, 0.02, 2)
        ring = np.sin(2 * math.pi * f * 0.5 * np.arange(m) / RATE) * env(m, 0.0005, 0.05, 3) * 0.3
        out[i:] += click + ring
    shh = band_noise(n, 2500, 8000, 45) * env(n, 0.03, 0.18, 2) * 0.25
    return fade_edges(out + shh)


def jump(seed, f0, f1):
    n = int(0.22 * RATE)
    voice = sweep(f0, f1, 0.22, 0.6)
    voice = (voice + 0.3 * np.sign(voice) * np.abs(voice) ** 3) * env(n, 0.01, 0.2, 2)
    air = band_noise(n, 800, 5000, seed) * env(n, 0.005, 0.1, 2) * 0.35
    return fade_edges(voice * 0.8 + air)


def hover():
    n = int(0.07 * RATE)
    t = np.arange(n) / RATE
    tone = np.sin(2 * math.pi * 1320 * t) + 0.4 * np.sin(2 * math.pi * 1980 * t)
    return fade_edges(tone * env(n, 0.004, 0.06, 2), 2)


def click():
    n = int(0.1 * RATE)
    t = np.arange(n) / RATE
    tick = band_noise(n, 2000, 9000, 61) * env(n, 0.0003, 0.012, 2)
    tone = np.sin(2 * math.pi * 880 * t) * env(n, 0.001, 0.05, 3) + 0.6 * np.sin(2 * math.pi * 1760 * t) * env(n, 0.001, 0.03, 3)
    return fade_edges(tick * 0.7 + tone * 0.6, 2)


def tone_seq(notes, step, length, decay, wobble=0.0):
    """Bell-like notes (MIDI numbers) every `step` seconds."""
    n = int(length * RATE)
    out = np.zeros(n)
    for k, note in enumerate(notes):
        i = int(k * step * RATE)
        m = n - i
        t = np.arange(m) / RATE
        f = 440 * 2 ** ((note - 69) / 12) * (1 + wobble * np.sin(2 * math.pi * 6 * t))
        phase = 2 * math.pi * np.cumsum(f) / RATE
        voice = np.sin(phase) + 0.35 * np.sin(2 * phase) + 0.15 * np.sin(3 * phase)
        out[i:] += voice * env(m, 0.012, decay, 2)
    return fade_edges(out)


# --- loops ---------------------------------------------------------------

def wind_loop(seconds=8.0):
    n = int(seconds * RATE)
    t = np.arange(n) / n
    low = band_noise(n, 80, 700, 71, -1.0)
    high = band_noise(n, 700, 3000, 72, -1.2)
    # Gusts: slow swells with whole cycles per loop, so the loop is seamless.
    gust = 0.6 + 0.25 * np.sin(2 * math.pi * 2 * t) + 0.15 * np.sin(2 * math.pi * 5 * t + 1.0)
    whistle = 0.3 + 0.3 * np.sin(2 * math.pi * 3 * t + 2.0) ** 2
    return low * gust + 0.35 * high * gust * whistle


def magic_loop(seconds=3.0):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    # Partials rounded to whole cycles per loop; a soft major-seventh cluster.
    for k, (f, a) in enumerate(((523.25, 1.0), (659.25, 0.7), (783.99, 0.6), (987.77, 0.5), (1318.5, 0.3), (1567.98, 0.25))):
        f = round(f * seconds) / seconds
        trem = 0.6 + 0.4 * np.sin(2 * math.pi * (k + 2) * t / seconds + k)
        out += a * np.sin(2 * math.pi * f * t) * trem
    sparkle = band_noise(n, 4000, 9000, 81) * (0.5 + 0.5 * np.sin(2 * math.pi * 6 * t / seconds)) ** 4
    hum = np.sin(2 * math.pi * round(130.81 * seconds) / seconds * t) * 0.4
    return out + 0.25 * sparkle + hum


def generate():
    write_wav(wind_loop(), 0.5, "Light wind 1.wav")
    write_wav(magic_loop(), 0.6, "Magical Ambiance Loop 5.wav")
    for name, seed, pitch in (("Stone footstep 1.wav", 1, 1.0), ("Stone footstep 4.wav", 2, 0.85), ("Stone footstep 5.wav", 3, 1.15)):
        write_wav(footstep(seed, pitch), 0.6, name)
    for name, seed, length, low, high in (("Arm Swing, Whoosh 7.wav", 11, 0.35, 300, 4000), ("Arm Swing, Whoosh 8.wav", 12, 0.42, 250, 3500),
                                          ("Arm Swing, Whoosh 13.wav", 13, 0.3, 400, 5000), ("Arm Swing, Whoosh 14.wav", 14, 0.45, 200, 3000)):
        write_wav(whoosh(seed, length, low, high), 0.7, name)
    write_wav(earth_punch(21, 1.0), 0.85, "Earth Punch 3.wav")
    write_wav(earth_punch(22, 0.85), 0.85, "Earth Punch 4.wav")
    for name, seed, pitch in (("Heavy punch 17.wav", 31, 1.0), ("Heavy punch 18.wav", 32, 0.9), ("Heavy punch 19.wav", 33, 1.12)):
        write_wav(heavy_punch(seed, pitch), 0.85, name)
    write_wav(beard_cut(), 0.7, "Needle piercing flesh 1.wav")
    write_wav(jump(51, 260, 520), 0.6, "Jump 1.wav")
    write_wav(jump(52, 300, 640), 0.6, "Jump 5.wav")
    write_wav(hover(), 0.45, "Hover over button sound 5.wav")
    write_wav(click(), 0.6, "Click sounds 36.wav")
    write_wav(tone_seq([72, 68, 65, 61, 56], 0.12, 0.95, 0.35, 0.01), 0.7, "Debuff 12.wav")
    write_wav(tone_seq([67, 71, 74, 79, 83, 86], 0.07, 0.8, 0.35), 0.65, "Buff 8.wav")
