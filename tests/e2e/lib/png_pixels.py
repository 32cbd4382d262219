"""Reads pixels of the UI driver's screenshots (RGB PNG, unfiltered rows).

  png_pixels.py pixel <png> <x> <y>                       -> "r,g,b"
  png_pixels.py count <png> <r,g,b> <x0> <y0> <x1> <y1>   -> pixels of that colour in the box
"""
import struct
import sys
import zlib


def rows_of(path):
    data = open(path, "rb").read()
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width = struct.unpack(">I", body[:4])[0]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3 + 1
    return lambda y: raw[y * stride:(y + 1) * stride]


def main(argv):
    row = rows_of(argv[2])
    if argv[1] == "pixel":
        x, y = int(argv[3]), int(argv[4])
        line = row(y)
        assert line[0] == 0, "unfiltered rows expected"
        print("%d,%d,%d" % tuple(line[1 + 3 * x:4 + 3 * x]))
    elif argv[1] == "count":
        want = bytes(int(v) for v in argv[3].split(","))
        x0, y0, x1, y1 = (int(v) for v in argv[4:8])
        n = 0
        for y in range(y0, y1):
            line = row(y)[1:]
            n += sum(1 for x in range(x0, x1) if line[3 * x:3 * x + 3] == want)
        print(n)
    else:
        sys.exit("usage: png_pixels.py pixel|count ...")


if __name__ == "__main__":
    main(sys.argv)
