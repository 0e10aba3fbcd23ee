"""A formant-synthesised singing voice for the voice-to-notes test set.

A glottal pulse (a raised-cosine opening and a quicker cosine closing, differentiated for
the radiation at the lips) is shaped by five vowel formants that move from vowel to vowel.
The voice has what makes real singing hard to follow: jitter and shimmer from period to
period, vibrato of 5 to 6 per second and 30 to 80 cents that sets in after the attack,
a slow pitch drift, breath noise pulsed with the glottis, some breathy onsets, onsets that
scoop up from below, and slides between notes sung without a breath.

    sing(notes, rng, voice, rate) -> samples (float, not normalised)

`notes` are (pitch, onset, offset) in seconds; a note whose onset equals the previous
offset is sung legato, sliding into it.
"""
import numpy as np
from scipy.signal import lfilter

# Formant frequencies (Hz) of a man's vowels; a woman's lie about 17 % higher.
VOWELS = {
    "a": (730, 1090, 2440, 3400, 4200),
    "e": (530, 1840, 2480, 3400, 4200),
    "i": (300, 2200, 2900, 3500, 4200),
    "o": (570, 840, 2410, 3400, 4200),
    "u": (320, 870, 2240, 3400, 4200),
}
BANDWIDTHS = (80, 90, 120, 180, 250)
BLOCK = 0.005  # seconds between formant updates


def glottal_pulse(phase, open_quotient=0.6, opening_share=0.66):
    """Glottal flow over one period (phase in [0, 1)), its peak 1."""
    opening = open_quotient * opening_share
    closing = open_quotient - opening
    flow = np.zeros_like(phase)
    rising = phase < opening
    flow[rising] = 0.5 * (1 - np.cos(np.pi * phase[rising] / opening))
    falling = (phase >= opening) & (phase < open_quotient)
    flow[falling] = np.cos(0.5 * np.pi * (phase[falling] - opening) / closing)
    return flow


def pitch_track(notes, rng, rate, length):
    """Fundamental frequency (Hz, 0 where silent) and a per-note index for every sample."""
    f0 = np.zeros(length)
    which = np.full(length, -1)
    previous_end, previous_pitch = None, None
    for index, (pitch, on, off) in enumerate(notes):
        start, end = int(on * rate), min(length, int(off * rate))
        t = np.arange(end - start) / rate
        semitones = np.full(t.size, float(pitch))
        legato = previous_end is not None and abs(on - previous_end) < 1e-6
        if legato:
            # A slide from the last note, centred a little after the onset.
            glide = rng.uniform(0.04, 0.09)
            shape = np.clip(t / glide, 0, 1)
            semitones += (previous_pitch - pitch) * (1 - (3 * shape ** 2 - 2 * shape ** 3))
        else:
            # A scoop from below (now and then from above) into the note.
            scoop = rng.uniform(0.3, 1.0) * (1 if rng.random() < 0.8 else -1)
            settle = rng.uniform(0.03, 0.08)
            semitones -= scoop * np.exp(-t / settle * 3)
        rate_hz, depth = rng.uniform(5.0, 6.0), rng.uniform(0.3, 0.8)
        onset = rng.uniform(0.15, 0.3)
        ramp = np.clip((t - onset * 0.5) / onset, 0, 1)
        semitones += depth * ramp * np.sin(2 * np.pi * rate_hz * t + rng.uniform(0, 2 * np.pi))
        # A slow wander of the pitch, as no one holds a note dead straight.
        drift = np.cumsum(rng.normal(0, 1, t.size)) / np.sqrt(rate)
        semitones += 0.08 * drift / (np.std(drift) + 1e-9) * rng.uniform(0.3, 1.0)
        f0[start:end] = 440.0 * 2 ** ((semitones - 69) / 12)
        which[start:end] = index
        previous_end, previous_pitch = off, pitch
    return f0, which


def sing(notes, rng, voice="male", rate=44100):
    """Samples of the sung melody."""
    length = int((notes[-1][2] + 0.5) * rate)
    f0, which = pitch_track(notes, rng, rate, length)
    scale = 1.0 if voice == "male" else 1.17
    vowels = [rng.choice(list(VOWELS)) for _ in notes]

    # The source, period by period: jitter moves each period's length, shimmer its size.
    source = np.zeros(length)
    flow_all = np.zeros(length)
    phase = 0.0
    jitter = rng.uniform(0.004, 0.01)
    shimmer = rng.uniform(0.03, 0.08)
    period_gain, period_stretch = 1.0, 1.0
    i = 0
    while i < length:
        if f0[i] <= 0:
            phase = 0.0
            i += 1
            continue
        period = rate / (f0[i] * period_stretch)
        n = max(2, int(round(period)))
        n = min(n, length - i)
        local = (phase + np.arange(n) / period) % 1.0
        flow = glottal_pulse(local) * period_gain * (f0[i:i + n] > 0)
        flow_all[i:i + n] = flow
        i += n
        phase = 0.0
        period_stretch = 1.0 + rng.normal(0, jitter)
        period_gain = max(0.2, 1.0 + rng.normal(0, shimmer))
    source = np.diff(flow_all, prepend=0.0) * rate / 2000.0

    # Breath: noise strongest while the glottis is open, plus a steady part.
    breath_level = rng.uniform(0.03, 0.1)
    noise = lfilter([1, -0.9], [1], rng.normal(0, 1, length))
    source += breath_level * noise * (0.3 + flow_all) * (f0 > 0)

    # Envelope per note: attack, a slight swell or fade, release; some notes breathy.
    envelope = np.zeros(length)
    for index, (pitch, on, off) in enumerate(notes):
        start, end = int(on * rate), min(length, int(off * rate))
        t = np.arange(end - start) / rate
        attack = rng.uniform(0.02, 0.06)
        release = rng.uniform(0.04, 0.08)
        level = 10 ** (rng.uniform(-3, 3) / 20)
        shape = np.minimum(1, t / attack) * np.clip((t[-1] - t) / release, 0, 1)
        shape *= 1 + rng.uniform(-0.2, 0.2) * t / max(t[-1], 1e-3)
        envelope[start:end] = np.maximum(envelope[start:end], level * shape)
        legato = index > 0 and abs(on - notes[index - 1][2]) < 1e-6
        if not legato and rng.random() < 0.3:
            # An "h" before the vowel: breath alone for a few tens of milliseconds.
            h = int(rng.uniform(0.03, 0.08) * rate)
            lo = max(0, start - h)
            source[lo:start] += 0.4 * noise[lo:start] * np.linspace(0, 1, start - lo)
            envelope[lo:start] = np.maximum(envelope[lo:start], level * 0.5)
    source *= envelope

    # Five formants in cascade, moving between the notes' vowels.
    out = np.zeros(length)
    states = [np.zeros(2) for _ in range(5)]
    step = int(BLOCK * rate)
    current = np.array(VOWELS[vowels[0]], dtype=float) * scale
    for start in range(0, length, step):
        idx = which[min(length - 1, start)]
        if idx >= 0:
            target = np.array(VOWELS[vowels[idx]], dtype=float) * scale
            current += (target - current) * min(1.0, BLOCK / 0.04)
        block = source[start:start + step]
        for k in range(5):
            r = np.exp(-np.pi * BANDWIDTHS[k] / rate)
            theta = 2 * np.pi * current[k] / rate
            a = [1, -2 * r * np.cos(theta), r * r]
            gain = 1 - 2 * r * np.cos(theta) + r * r
            block, states[k] = lfilter([gain], a, block, zi=states[k])
        out[start:start + step] = block
    return out
