#!/usr/bin/python3
"""Writes the demo song (vorlaune-demo.mid) and its chime (chime.wav) into this folder.

The song is our own: sixteen bars in C for piano, strings, bass and drums at 100 beats
per minute, slowing down over the last bar, with an audio cue (the chime) at the start
and on the final chord. Run it again to rebuild both files.
"""
import math
import os
import struct
import wave

import mido

HERE = os.path.dirname(os.path.abspath(__file__))
TPQ = 384

CHORDS = "C Am F G C Em F G Am F C G F G C C".split()
TRIADS = {"C": (60, 64, 67), "Am": (57, 60, 64), "F": (53, 57, 60), "G": (55, 59, 62),
          "Em": (52, 55, 59)}
ROOTS = {"C": 48, "Am": 45, "F": 41, "G": 43, "Em": 40}
MELODY = [
    [(76, 1), (79, 1), (84, 2)],
    [(81, 1), (79, .5), (76, .5), (72, 2)],
    [(77, 1), (81, 1), (84, 1), (81, 1)],
    [(79, 1.5), (77, .5), (74, 2)],
    [(76, 1), (79, 1), (84, 1), (83, 1)],
    [(79, 2), (76, 1), (71, 1)],
    [(72, 1), (77, 1), (81, 1), (77, 1)],
    [(74, 3), (79, 1)],
    [(81, 1), (84, 1), (88, 1), (84, 1)],
    [(81, 1), (77, 1), (72, 2)],
    [(76, .5), (77, .5), (79, 1), (84, 1), (79, 1)],
    [(83, 2), (79, 2)],
    [(81, 1), (84, 1), (89, 1), (84, 1)],
    [(86, 1), (83, 1), (79, 2)],
    [(84, 1), (79, 1), (76, 1), (79, 1)],
    [(84, 4)],
]


def track(name, events):
    """events: (tick, message) pairs in any order -> a MidiTrack with deltas."""
    out = mido.MidiTrack()
    out.append(mido.MetaMessage("track_name", name=name, time=0))
    now = 0
    for tick, message in sorted(events, key=lambda e: (e[0], e[1].type != "note_off")):
        out.append(message.copy(time=tick - now))
        now = tick
    out.append(mido.MetaMessage("end_of_track", time=0))
    return out


def notes(channel, items, velocity):
    """items: (tick, key, length) -> note on/off pairs."""
    events = []
    for tick, key, length in items:
        events.append((tick, mido.Message("note_on", channel=channel, note=key, velocity=velocity)))
        events.append((tick + length, mido.Message("note_off", channel=channel, note=key)))
    return events


def setup(channel, program, volume, pan):
    return [(0, mido.Message("program_change", channel=channel, program=program)),
            (0, mido.Message("control_change", channel=channel, control=7, value=volume)),
            (0, mido.Message("control_change", channel=channel, control=10, value=pan))]


def song():
    bar = 4 * TPQ
    conductor = [(0, mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(100))),
                 (0, mido.MetaMessage("time_signature", numerator=4, denominator=4)),
                 (0, mido.MetaMessage("key_signature", key="C"))]
    # The last bar slows down beat by beat while the final chord rings.
    for beat, bpm in enumerate((90, 78, 66, 54)):
        conductor.append((15 * bar + beat * TPQ, mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(bpm))))

    melody, pads, bass, drums = [], [], [], []
    for n, (chord, line) in enumerate(zip(CHORDS, MELODY)):
        start = n * bar
        tick = start
        for key, beats in line:
            length = int(beats * TPQ)
            melody.append((tick, key, length - 24))
            tick += length
        pads += [(start, key, bar - 12) for key in TRIADS[chord]]
        if n < 15:
            bass += [(start, ROOTS[chord], 2 * TPQ - 40), (start + 2 * TPQ, ROOTS[chord], 2 * TPQ - 40)]
            for eighth in range(8):
                drums.append((start + eighth * TPQ // 2, 42, 60))
            drums += [(start, 36, 100), (start + 2 * TPQ, 36, 100),
                      (start + TPQ, 38, 100), (start + 3 * TPQ, 38, 100)]
        else:
            bass.append((start, ROOTS[chord] - 12, bar))
            drums += [(start, 36, 200), (start, 49, 200)]

    piano = setup(0, 0, 110, 54) + notes(0, melody, 96)
    piano += [(0, mido.MetaMessage("cue_marker", text="Audio:chime.wav")),
              (15 * bar, mido.MetaMessage("cue_marker", text="Audio:chime.wav"))]
    strings = setup(1, 48, 80, 74) + notes(1, pads, 60)
    basses = setup(2, 32, 105, 64) + notes(2, bass, 90)
    kit = [(0, mido.Message("control_change", channel=9, control=7, value=95))]
    kit += notes(9, drums, 84)

    midi = mido.MidiFile(type=1, ticks_per_beat=TPQ)
    head = track("Vorlaune Demo", conductor)
    head.insert(1, mido.MetaMessage("copyright", text="Vorlaune demo song, free to use"))
    midi.tracks += [head, track("Piano", piano), track("Strings", strings),
                    track("Bass", basses), track("Drums", kit)]
    midi.save(os.path.join(HERE, "vorlaune-demo.mid"))


def chime():
    """A soft bell: a few inharmonic partials dying away."""
    rate, seconds = 44100, 2.5
    partials = [(1.0, 1.0, 1.6), (2.76, 0.5, 2.4), (5.4, 0.25, 3.5), (8.93, 0.12, 5.0)]
    base = 880.0
    frames = []
    for i in range(int(rate * seconds)):
        t = i / rate
        attack = min(1.0, t / 0.004)
        value = sum(level * math.exp(-decay * t) * math.sin(2 * math.pi * base * ratio * t)
                    for ratio, level, decay in partials)
        frames.append(int(max(-1.0, min(1.0, 0.08 * attack * value)) * 32767))
    with wave.open(os.path.join(HERE, "chime.wav"), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(struct.pack("<%dh" % len(frames), *frames))


if __name__ == "__main__":
    song()
    chime()
