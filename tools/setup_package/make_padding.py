#!/usr/bin/env python3
"""Writes SIZE bytes of incompressible filler, the same bytes for the same seed.

    make_padding.py OUTPUT SIZE [SEED]
"""
import os
import random
import sys


def main():
    out, size = sys.argv[1], int(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 20240611
    data = random.Random(seed).randbytes(size)
    with open(out + ".tmp", "wb") as f:
        f.write(data)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
