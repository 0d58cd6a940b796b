#!/usr/bin/env python3
"""Generate Belltide's icons: the kanji 声 on a yellow disc.

Writes into src/res/icons/ (relative to this script):
  belltide.ico  window icon, bolder glyph
  sounding.ico  tray icon while sounding
  silent.ico    tray icon while silent: the sounding icon crossed out in red

Each .ico holds a 32x32 and a 16x16 image, 4 bits per pixel with the
16-colour Windows palette, transparent outside the disc via the AND mask.
The glyph is drawn by ImageMagick with the IPA Gothic font at each final
size, then thresholded to crisp pixels.

Usage:
  python3 tools/make_icons.py                 generate, then check
  python3 tools/make_icons.py --check         only check the existing files
  python3 tools/make_icons.py --preview DIR   also write 8x PNG previews
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, os.pardir, "src", "res", "icons")

GLYPH = "声"
SIZES = (32, 16)  # images per .ico, largest first

# The standard 16-colour Windows palette, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, YELLOW = (0, 0, 0), (255, 0, 0), (255, 255, 0)

# Per image size: point size (= pixels at 72 dpi) and the grey level below
# which an anti-aliased pixel counts as ink. Rendering at the final size lets
# the font's hinting keep strokes on whole pixels; at 16 px a looser threshold
# keeps the thin horizontal strokes from vanishing.
GLYPH_STYLE = {32: (26, 160), 16: (13, 160)}
# Bold variant: smear the ink by these (dx, dy) offsets.
BOLD_SHIFTS = {32: ((1, 0),), 16: ((1, 0),)}
# Half-width of each red stroke of the X, measured along a row in pixels.
CROSS_HALF = {32: 2, 16: 1}


def find_convert():
    # /usr/local/bin/convert may be a lightweight stand-in; prefer the real one.
    if os.access("/usr/bin/convert", os.X_OK):
        return "/usr/bin/convert"
    found = shutil.which("convert")
    if not found:
        sys.exit("make_icons: ImageMagick 'convert' not found")
    return found


def find_font():
    # Ask fontconfig for IPA Gothic (the monospaced ipag.ttf, not ipagp.ttf).
    try:
        listing = subprocess.run(["fc-list", ":", "file"], capture_output=True,
                                 text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        listing = ""
    for line in sorted(listing.splitlines()):
        path = line.strip().rstrip(":")
        if os.path.basename(path) == "ipag.ttf":
            return path
    sys.exit("make_icons: IPA Gothic (ipag.ttf) not found; "
             "install fonts-ipafont-gothic")


def render_glyph(size, bold):
    """Return size x size rows of booleans, True where the glyph is inked."""
    points, threshold = GLYPH_STYLE[size]
    canvas = size * 2  # roomy, so nothing is clipped before centring
    data = subprocess.run(
        [find_convert(), "-size", f"{canvas}x{canvas}", "xc:white",
         "-density", "72", "-font", find_font(), "-pointsize", str(points),
         "-fill", "black", "-gravity", "center", "-annotate", "+0+0", GLYPH,
         "-depth", "8", "gray:-"],
        capture_output=True, check=True).stdout
    ink = {(x, y) for y in range(canvas) for x in range(canvas)
           if data[y * canvas + x] < threshold}
    if bold:
        ink |= {(x + dx, y + dy) for x, y in ink for dx, dy in BOLD_SHIFTS[size]}

    # Centre the ink's bounding box on the disc, moving by whole pixels only;
    # nudge by one pixel if that keeps every stroke off the disc's rim.
    x0, x1 = min(x for x, _ in ink), max(x for x, _ in ink)
    y0, y1 = min(y for _, y in ink), max(y for _, y in ink)
    cx = (size - (x1 - x0 + 1)) // 2 - x0
    cy = (size - (y1 - y0 + 1)) // 2 - y0
    shifts = [(cx + a, cy + b) for a in (0, -1, 1) for b in (0, -1, 1)]
    clear = [(dx, dy) for dx, dy in shifts
             if all(in_disc(size, x + dx, y + dy, inset=1) for x, y in ink)]
    dx, dy = (clear or shifts)[0]
    return [[(x - dx, y - dy) in ink for x in range(size)] for y in range(size)]


def in_disc(size, x, y, inset=0):
    # Pixel centre inside the circle that touches the image edges (less inset).
    c, r = size / 2, size / 2 - inset
    return (x + 0.5 - c) ** 2 + (y + 0.5 - c) ** 2 <= r * r


def on_cross(size, x, y):
    # Two diagonals through the corners, CROSS_HALF pixels either side.
    h = CROSS_HALF[size]
    return abs(x - y) <= h or abs(x + y - (size - 1)) <= h


def nearest(rgb):
    # Index of the closest palette colour (squared RGB distance).
    return min(range(len(PALETTE)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, PALETTE[i])))


def make_image(size, bold, crossed):
    """Return (indices, transparent) as size x size lists, top row first."""
    glyph = render_glyph(size, bold)
    indices, transparent = [], []
    for y in range(size):
        irow, trow = [], []
        for x in range(size):
            if not in_disc(size, x, y):
                irow.append(0)  # black under a set AND bit leaves the screen as is
                trow.append(True)
                continue
            colour = YELLOW
            if glyph[y][x]:
                colour = BLACK
            if crossed and on_cross(size, x, y):
                colour = RED
            irow.append(nearest(colour))
            trow.append(False)
        indices.append(irow)
        transparent.append(trow)
    return indices, transparent


def encode_image(size, indices, transparent):
    """BMP-style icon image: header, palette, 4-bpp XOR bitmap, 1-bpp AND mask."""
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        row = bytearray(xor_stride)
        for x in range(size):
            row[x // 2] |= indices[y][x] << (4 if x % 2 == 0 else 0)
        xor += row
        row = bytearray(and_stride)
        for x in range(size):
            if transparent[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, encoded image bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4,
                           len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def read_ico(path):
    """Parse an .ico back; return a list of (size, bpp, rgba rows) per image."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError(f"{path}: not an icon file")
    images = []
    for i in range(count):
        w, h, _, _, _, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        (hsize, bw, bh, bplanes, bbpp, comp) = struct.unpack_from("<IiiHHI", data, offset)
        w, h = w or 256, h or 256
        if (hsize, bw, bh, bplanes, bbpp, comp) != (40, w, 2 * h, 1, bpp, 0):
            raise ValueError(f"{path}: image {i} has an unexpected header")
        pos = offset + 40
        palette = [struct.unpack_from("<BBB", data, pos + 4 * k)[::-1]
                   for k in range(1 << bbpp)]
        pos += 4 << bbpp
        xor_stride = (w * bbpp + 31) // 32 * 4
        and_stride = (w + 31) // 32 * 4
        if pos + h * (xor_stride + and_stride) != offset + length:
            raise ValueError(f"{path}: image {i} has the wrong length")
        rows = []
        for y in range(h):
            xrow = pos + (h - 1 - y) * xor_stride
            arow = pos + h * xor_stride + (h - 1 - y) * and_stride
            row = []
            for x in range(w):
                byte = data[xrow + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 15
                clear = data[arow + x // 8] & (0x80 >> (x % 8))
                row.append(palette[index] + ((0,) if clear else (255,)))
            rows.append(row)
        images.append((w, bbpp, rows))
    return images


def check(names):
    """Re-read each .ico and confirm two 4-bpp images of 32 and 16 pixels."""
    ok = True
    for name in names:
        images = read_ico(os.path.join(OUT_DIR, name))
        sizes = [w for w, _, _ in images]
        bpps = {b for _, b, _ in images}
        good = sizes == list(SIZES) and bpps == {4}
        ok &= good
        detail = ", ".join(
            f"{w}x{w} {b}bpp {sum(p[3] > 0 for r in rows for p in r)} opaque px"
            for w, b, rows in images)
        print(f"{'ok ' if good else 'BAD'} {name}: {len(images)} images: {detail}")
    return ok


def write_png(path, rows, scale):
    """Enlarged RGB PNG; transparent pixels become a grey checkerboard."""
    raw = bytearray()
    for y, row in enumerate(rows):
        line = bytearray([0])
        for x, (r, g, b, a) in enumerate(row):
            if a == 0:
                r = g = b = 200 if (x + y) % 2 else 160
            line += bytes((r, g, b)) * scale
        raw += bytes(line) * scale

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    size = len(rows) * scale
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


ICONS = {  # file name: (bold glyph, crossed out)
    "belltide.ico": (True, False),
    "sounding.ico": (False, False),
    "silent.ico": (False, True),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="only check the existing .ico files")
    parser.add_argument("--preview", metavar="DIR",
                        help="write 8x PNG previews of each image into DIR")
    args = parser.parse_args()

    if not args.check:
        os.makedirs(OUT_DIR, exist_ok=True)
        for name, (bold, crossed) in ICONS.items():
            images = [(s, encode_image(s, *make_image(s, bold, crossed))) for s in SIZES]
            write_ico(os.path.join(OUT_DIR, name), images)
    ok = check(ICONS)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for name in ICONS:
            for w, _, rows in read_ico(os.path.join(OUT_DIR, name)):
                write_png(os.path.join(args.preview, f"{name[:-4]}_{w}.png"), rows, 8)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
