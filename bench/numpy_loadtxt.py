#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The reference for reading speed: numpy.loadtxt on the benchmark's files.

Usage: numpy_loadtxt.py FILE FIRST_COLUMN LAST_COLUMN
Reads the numeric columns FIRST..LAST of FILE with numpy.loadtxt and prints the seconds taken by
loadtxt alone; the benchmark times the whole process, the interpreter's start included.
"""
import sys
import time

import numpy

datei, erste, letzte = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
start = time.perf_counter()
werte = numpy.loadtxt(datei, usecols=range(erste, letzte + 1))
dauer = time.perf_counter() - start
print(f"{dauer:.3f} {werte.shape[0]}")
