#!/usr/bin/python3
"""The reference side of DocumentBench: pandas on the same bytes.

Usage: documents_pandas.py REPLY T58 OUTDIR ROUNDS
Prints one line per figure, "name seconds" (the best of ROUNDS):
  parse  read_csv(sep="\\t") of the PLAY reply
  read   read_csv(sep="\\t") of the .t58 file
  write  to_csv(sep="\\t") of that frame
"""
import io
import os
import sys
import time

import pandas as pd


def best(rounds, action):
    times = []
    result = None
    for _ in range(rounds):
        start = time.perf_counter()
        result = action()
        times.append(time.perf_counter() - start)
    return min(times), result


def main():
    reply_path, t58_path, out_dir, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    with open(reply_path, "rb") as f:
        reply = f.read()

    # The reply: header, names and units lines (skipped), data lines, CTRL-Z.
    # "----" is the instrument's missing reading. pandas' fastest form: a
    # number of lines to skip, no header row, undecodable bytes replaced.
    seconds, frame = best(rounds, lambda: pd.read_csv(
        io.BytesIO(reply), sep="\t", skiprows=3, header=None, na_values=["----"],
        encoding_errors="replace"))
    print("parse %.6f %d" % (seconds, len(frame)))

    # The .t58 file: seven tag and notes lines, names, units (skipped), data,
    # the end tag (a comment line).
    seconds, frame = best(rounds, lambda: pd.read_csv(
        t58_path, sep="\t", skiprows=9, header=None, comment="#", na_values=["-"],
        encoding_errors="replace"))
    print("read %.6f %d" % (seconds, len(frame)))
    out = os.path.join(out_dir, "pandas.t58")
    seconds, _ = best(rounds, lambda: frame.to_csv(out, sep="\t", index=False, header=False,
                                                  na_rep="-"))
    print("write %.6f %d" % (seconds, os.path.getsize(out)))


if __name__ == "__main__":
    main()
