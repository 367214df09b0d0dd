#!/usr/bin/env python3
"""Prints the digest of the tree in the wendrel tool's JSON file (argv[1]) that digest.gd
prints of the tree the node shows: SHA-256 over, for the bark and then the twigs, the
positions and texture coordinates as 32-bit floats, and the sorted triangles as the node
winds them (the second and third corner of the generator's swapped), each turned to start at
its smallest index and packed into one integer."""
import hashlib
import json
import struct
import sys


def triangle_key(a, b, c):
    if b < a and b < c:
        a, b, c = b, c, a
    elif c < a and c < b:
        a, b, c = c, a, b
    return (a << 42) | (b << 21) | c


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        model = json.load(f)
    digest = hashlib.sha256()
    for prefix in ("", "twig_"):
        for p in model[prefix + "vertices"]:
            digest.update(struct.pack("<3f", *p))
        for uv in model[prefix + "uvs"]:
            digest.update(struct.pack("<2f", *uv))
        triangles = sorted(triangle_key(f[0], f[2], f[1]) for f in model[prefix + "faces"])
        digest.update(struct.pack("<%dq" % len(triangles), *triangles))
    print(digest.hexdigest())


if __name__ == "__main__":
    main()
