#!/usr/bin/env python3
"""Compares the spectra of two recordings of the same length.

Usage: spectrum_difference.py A.raw B.raw LOW HIGH

Both files are 44.1 kHz stereo 16-bit little-endian PCM. Prints the largest
difference, in dB, between their power spectra (Welch: Hann windows of 4096
samples, half overlapping, both channels averaged) at the frequencies from
LOW to HIGH Hz.
"""
import sys

import numpy as np

RATE = 44100
SIZE = 4096


def power(path):
    samples = np.fromfile(path, dtype="<i2").reshape(-1, 2).astype(np.float64)
    window = np.hanning(SIZE)
    starts = range(0, len(samples) - SIZE + 1, SIZE // 2)
    frames = np.stack([samples[s:s + SIZE] for s in starts]) * window[None, :, None]
    return (np.abs(np.fft.rfft(frames, axis=1)) ** 2).mean(axis=(0, 2))


a, b = power(sys.argv[1]), power(sys.argv[2])
frequencies = np.fft.rfftfreq(SIZE, 1 / RATE)
band = (frequencies >= float(sys.argv[3])) & (frequencies <= float(sys.argv[4]))
print(f"{np.max(np.abs(10 * np.log10(a[band] / b[band]))):.4f}")
