#!/usr/bin/python3
"""Builds the voice-to-notes test set: melodies with known notes, rendered through
FluidSynth with voice-like and wind instruments, generated tones with vibrato and noise,
formant-synthesised singing (singer.py) of a man and of a woman, the same singing with
pink noise 20 dB below it, and recordings of noise alone. Every recording is mono,
16-bit, 44.1 kHz; beside each NAME.wav lies NAME.ref with one "pitch onset offset" line
(seconds) per note, empty for noise.

    make_set.py OUTDIR [SOUNDFONT]
"""
import os
import random
import subprocess
import sys
import tempfile
import wave

import mido
import numpy as np
from scipy.signal import lfilter

import singer

RATE = 44100
INSTRUMENTS = [  # name, General MIDI program (0-based), lowest and highest note
    ("choir", 52, 50, 72),
    ("voice", 53, 50, 72),
    ("flute", 73, 62, 88),
    ("clarinet", 71, 50, 80),
    ("trumpet", 56, 55, 79),
]
MELODIES_PER_INSTRUMENT = 4
GENERATED_TONES = 6
SINGERS = [("male", 45, 64), ("female", 57, 77)]  # voice, lowest and highest note
MELODIES_PER_SINGER = 5
NOISE_SECONDS = 10.0


def melody(seed, low, high, count=10):
    """Notes as (pitch, onset, offset) in seconds: steps of up to a fifth, no repeated
    pitch, some notes joined, some separated by rests."""
    rng = random.Random(seed)
    t = 0.3
    pitch = rng.randint(low + 4, high - 4)
    notes = []
    for _ in range(count):
        length = rng.choice([0.3, 0.4, 0.5, 0.6, 0.8])
        notes.append((pitch, round(t, 3), round(t + length, 3)))
        t += length
        if rng.random() > 0.3:
            t += rng.choice([0.1, 0.2, 0.3])
        step = 0
        while step == 0 or not low <= pitch + step <= high:
            step = rng.randint(-7, 7)
        pitch += step
    return notes


def write_midi(notes, program, path):
    mid = mido.MidiFile(ticks_per_beat=480)  # 120 beats per minute: 960 ticks a second
    track = mido.MidiTrack()
    mid.tracks.append(track)
    track.append(mido.Message("program_change", program=program, time=0))
    events = []
    for pitch, on, off in notes:
        events.append((round(on * 960), 1, pitch))
        events.append((round(off * 960), 0, pitch))
    events.sort()
    now = 0
    for tick, kind, pitch in events:
        msg = "note_on" if kind else "note_off"
        track.append(mido.Message(msg, note=pitch, velocity=100 if kind else 0, time=tick - now))
        now = tick
    track.append(mido.MetaMessage("end_of_track", time=960))
    mid.save(path)


def write_wave(samples, path, normalise=True):
    """Peak-normalised to about -3 dB, as a careful recording would be; otherwise as
    given, full scale being 32768."""
    peak = float(np.max(np.abs(samples))) or 1.0
    scale = 23000.0 / peak if normalise else 1.0
    data = np.clip(np.round(samples * scale), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data.tobytes())


def render(notes, program, soundfont, path):
    with tempfile.TemporaryDirectory() as tmp:
        mid = os.path.join(tmp, "m.mid")
        stereo = os.path.join(tmp, "s.wav")
        write_midi(notes, program, mid)
        subprocess.run(["fluidsynth", "-ni", "-q", "-R", "0", "-C", "0", "-g", "0.5",
                        "-r", str(RATE), "-T", "wav", "-O", "s16", "-F", stereo, soundfont, mid],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with wave.open(stereo, "rb") as w:
            channels = w.getnchannels()
            frames = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(float)
        write_wave(frames.reshape(-1, channels).mean(axis=1), path)


def synthesise(notes, seed, path):
    """Harmonic tones with vibrato, soft attacks and releases, over steady noise."""
    rng = np.random.default_rng(seed)
    end = notes[-1][2] + 0.4
    out = np.zeros(int(end * RATE))
    for pitch, on, off in notes:
        n = int((off - on) * RATE)
        t = np.arange(n) / RATE
        rate, depth = rng.uniform(4.5, 6.5), rng.uniform(0.15, 0.4)  # semitones
        f = 440.0 * 2 ** ((pitch - 69 + depth * np.sin(2 * np.pi * rate * t)) / 12)
        phase = 2 * np.pi * np.cumsum(f) / RATE
        tone = sum(np.sin(h * phase) * (0.7 ** (h - 1)) for h in range(1, 7))
        envelope = np.minimum(1.0, np.minimum(t / 0.04, (t[-1] - t) / 0.06 + 0.0))
        start = int(on * RATE)
        out[start:start + n] += tone * np.clip(envelope, 0.0, 1.0)
    noise_level = 10 ** (-rng.uniform(20, 30) / 20) * np.sqrt(np.mean(out ** 2))
    out += rng.normal(0.0, noise_level, out.size)
    write_wave(out, path)


def pink(rng, n):
    """Noise falling 3 dB an octave, from white through three first-order low-passes."""
    white = rng.normal(0, 1, n)
    out = 0.19 * white
    for pole, gain in ((0.99765, 0.099), (0.963, 0.297), (0.57, 1.053)):
        out = out + lfilter([gain], [1, -pole], white)
    return out


def at_level(x, dbfs):
    return x / np.sqrt(np.mean(x ** 2)) * 32768.0 * 10 ** (dbfs / 20)


def noises(rng):
    """Noise alone: white and pink as loud as singing and as quiet as a good microphone
    in a still room, and room tone (a low rumble, a faint mains hum and hiss)."""
    n = int(NOISE_SECONDS * RATE)
    t = np.arange(n) / RATE
    rumble = lfilter([1], [1, -0.995], rng.normal(0, 1, n))
    hum = sum(np.sin(2 * np.pi * 50 * h * t) / h for h in (1, 2, 3))
    room = (at_level(rumble, -55) + at_level(hum, -68) + at_level(rng.normal(0, 1, n), -66))
    return [
        ("white-loud", at_level(rng.normal(0, 1, n), -20)),
        ("pink-loud", at_level(pink(rng, n), -20)),
        ("white-quiet", at_level(rng.normal(0, 1, n), -60)),
        ("pink-quiet", at_level(pink(rng, n), -60)),
        ("room", room),
    ]


def write_reference(notes, path):
    with open(path, "w") as f:
        for pitch, on, off in notes:
            f.write(f"{pitch} {on:.3f} {off:.3f}\n")


def main():
    out = sys.argv[1]
    soundfont = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/sounds/sf2/FluidR3_GM.sf2"
    os.makedirs(out, exist_ok=True)
    seed = 100
    for name, program, low, high in INSTRUMENTS:
        for i in range(MELODIES_PER_INSTRUMENT):
            seed += 1
            notes = melody(seed, low, high)
            base = os.path.join(out, f"{name}-{i + 1}")
            render(notes, program, soundfont, base + ".wav")
            write_reference(notes, base + ".ref")
    for i in range(GENERATED_TONES):
        seed += 1
        notes = melody(seed, 48, 76)
        base = os.path.join(out, f"tones-{i + 1}")
        synthesise(notes, seed, base + ".wav")
        write_reference(notes, base + ".ref")
    for voice, low, high in SINGERS:
        for i in range(MELODIES_PER_SINGER):
            seed += 1
            notes = melody(seed, low, high)
            rng = np.random.default_rng(seed)
            sung = singer.sing(notes, rng, voice, RATE)
            write_wave(sung, os.path.join(out, f"{voice}-{i + 1}.wav"))
            write_reference(notes, os.path.join(out, f"{voice}-{i + 1}.ref"))
            # The same with pink noise 20 dB below the singing.
            noise = pink(rng, sung.size)
            noisy = sung / np.sqrt(np.mean(sung ** 2)) + 0.1 * noise / np.sqrt(np.mean(noise ** 2))
            base = os.path.join(out, f"noisy-{voice}-{i + 1}")
            write_wave(noisy, base + ".wav")
            write_reference(notes, base + ".ref")
    rng = np.random.default_rng(seed + 1)
    for name, samples in noises(rng):
        write_wave(samples, os.path.join(out, f"noise-{name}.wav"), normalise=False)
        write_reference([], os.path.join(out, f"noise-{name}.ref"))


if __name__ == "__main__":
    main()
