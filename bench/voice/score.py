#!/usr/bin/python3
"""Note-level scoring: a detected note counts when its onset lies within 50 ms and its
pitch within half a semitone of a reference note, each note matched at most once (a
maximum matching). Files hold one "pitch onset offset" line per note.

    score.py REFDIR DETDIR   prints precision, recall and F-measure per file
"""
import os
import sys

ONSET_TOLERANCE = 0.05
PITCH_TOLERANCE = 0.5


def read_notes(path):
    notes = []
    if not os.path.exists(path):
        return notes
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                notes.append((float(parts[0]), float(parts[1])))
    return notes


def matched(reference, detected):
    """Size of a maximum one-to-one matching between reference and detected notes."""
    edges = [[j for j, (dp, do) in enumerate(detected)
              if abs(do - ro) <= ONSET_TOLERANCE + 1e-9 and abs(dp - rp) <= PITCH_TOLERANCE + 1e-9]
             for rp, ro in reference]
    owner = [-1] * len(detected)

    def augment(i, seen):
        for j in edges[i]:
            if j in seen:
                continue
            seen.add(j)
            if owner[j] < 0 or augment(owner[j], seen):
                owner[j] = i
                return True
        return False

    return sum(1 for i in range(len(reference)) if augment(i, set()))


class Tally:
    def __init__(self):
        self.hits = self.detected = self.reference = 0

    def add(self, hits, detected, reference):
        self.hits += hits
        self.detected += detected
        self.reference += reference

    def measures(self):
        p = self.hits / self.detected if self.detected else 0.0
        r = self.hits / self.reference if self.reference else 0.0
        f = 2 * p * r / (p + r) if p + r else 0.0
        return p, r, f


def score_file(ref_path, det_path):
    reference = read_notes(ref_path)
    detected = read_notes(det_path)
    return matched(reference, detected), len(detected), len(reference)


def main():
    refdir, detdir = sys.argv[1], sys.argv[2]
    total = Tally()
    for name in sorted(os.listdir(refdir)):
        if not name.endswith(".ref"):
            continue
        stem = name[:-4]
        hits, det, ref = score_file(os.path.join(refdir, name), os.path.join(detdir, stem + ".notes"))
        one = Tally()
        one.add(hits, det, ref)
        total.add(hits, det, ref)
        print("%-14s P %.3f R %.3f F %.3f" % ((stem,) + one.measures()))
    print("%-14s P %.3f R %.3f F %.3f" % (("overall",) + total.measures()))


if __name__ == "__main__":
    main()
