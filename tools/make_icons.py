#!/usr/bin/env python3
"""Generate Belltide's icons: the kanji 声 on a yellow disc.

Writes into src/res/icons/ (relative to this script):
  belltide.ico  application and window icon: bolder glyph, darker and wider rim
  sounding.ico  tray icon while sounding
  silent.ico    tray icon while silent: the sounding icon crossed out in red

Each .ico holds images of 256, 64, 48, 40, 32, 24, 20 and 16 pixels, 32-bit
BGRA with a real alpha channel. The 256 px image is stored as a PNG, the
others as DIBs with an AND mask, set exactly where alpha is 0, for callers
that draw with the mask alone.

The glyph is drawn once, large, by ImageMagick with the IPA Gothic font.
Each size then gets it fitted to its own pixel grid: the edges of the straight
strokes are moved onto whole pixels, as a font hinter would, before the area
average, so 16 px stays crisp while the sweep keeps its anti-aliasing. The
disc, its rim and the red X are drawn here, with 8x8 samples at their edges.
Output is the same, byte for byte, on every run.

Usage:
  python3 tools/make_icons.py                 generate, then check
  python3 tools/make_icons.py --check         only check the existing files
  python3 tools/make_icons.py --preview DIR   also write enlarged PNG previews
"""

import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.join(HERE, os.pardir, "src", "res", "icons")

GLYPH = "声"
SIZES = (256, 64, 48, 40, 32, 24, 20, 16)  # images per .ico, largest first
PNG_SIZES = {256}  # stored PNG-compressed; the rest as DIBs

# The large drawing the sizes are made from: canvas, point size (= pixels at
# 72 dpi), and the extra stroke width of the bold glyph.
MASTER_CANVAS, MASTER_POINTS, MASTER_BOLD = 1024, 800, 22
# A row (column) whose longest ink run is at least this share of the glyph's
# width (height) lies in a horizontal (vertical) stroke.
STROKE_RUN = 0.2

YELLOW, BLACK, RED = (255, 214, 0), (0, 0, 0), (214, 16, 16)
STYLES = {  # file name: (bold glyph, rim colour, rim width / size, crossed)
    "belltide.ico": (True, (168, 96, 0), 1 / 16, False),
    "sounding.ico": (False, (212, 140, 0), 1 / 26, False),
    "silent.ico": (False, (212, 140, 0), 1 / 26, True),
}
CROSS_WIDTH = 0.11  # of the size; each bar of the X
SAMPLES = 8  # per axis, for pixels on an edge of the disc, rim or X


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


# --- the glyph ---------------------------------------------------------------

class Master:
    """The large glyph: ink coverage 0..1, cropped to its ink, and its strokes."""

    def __init__(self, bold):
        n = MASTER_CANVAS
        stroke = ["-stroke", "black", "-strokewidth", str(MASTER_BOLD)] if bold else []
        data = subprocess.run(
            [find_convert(), "-size", f"{n}x{n}", "xc:white", "-density", "72",
             "-font", find_font(), "-pointsize", str(MASTER_POINTS),
             "-fill", "black", *stroke, "-gravity", "center",
             "-annotate", "+0+0", GLYPH, "-depth", "8", "gray:-"],
            capture_output=True, check=True).stdout
        rows = [[(255 - v) / 255 for v in data[y * n:(y + 1) * n]] for y in range(n)]
        ys = [y for y in range(n) if max(rows[y]) > 0]
        xs = [x for x in range(n) if any(rows[y][x] > 0 for y in ys)]
        self.rows = [row[xs[0]:xs[-1] + 1] for row in rows[ys[0]:ys[-1] + 1]]
        self.height, self.width = len(self.rows), len(self.rows[0])
        cols = [list(c) for c in zip(*self.rows)]
        self.h_bands = bands(self.rows, STROKE_RUN * self.width)
        self.v_bands = bands(cols, STROKE_RUN * self.height)
        # Column sums of the rows above each row, for the area averages.
        self.cum_y = prefix_sums(self.rows)


def longest_run(line):
    best = run = 0
    for v in line:
        run = run + 1 if v >= 0.5 else 0
        best = max(best, run)
    return best


def bands(lines, min_run):
    """Index ranges [a, b) of consecutive lines that lie in a straight stroke."""
    out, start = [], None
    for i, line in enumerate(lines + [[]]):
        inside = longest_run(line) >= min_run
        if inside and start is None:
            start = i
        elif not inside and start is not None:
            out.append((start, i))
            start = None
    return out


def prefix_sums(rows):
    acc = [0.0] * len(rows[0])
    out = [acc]
    for row in rows:
        acc = [a + v for a, v in zip(acc, row)]
        out.append(acc)
    return out


def fit_axis(extent, stroke_bands, target, bold_px):
    """Control points (target, master) of a monotone map [0, extent] ->
    [0, target] that puts every stroke edge on a whole pixel."""
    k = target / extent
    points = [(0, 0)]
    for a, b in stroke_bands:
        lo = max(math.floor(a * k + 0.5), points[-1][0] + (1 if a > points[-1][1] else 0))
        thick = max(1, math.floor((b - a) * k + 0.5 + bold_px))
        points += [(lo, a), (lo + thick, b)]
    end = max(target, points[-1][0] + (1 if extent > points[-1][1] else 0))
    points.append((end, extent))
    return [p for i, p in enumerate(points) if i == 0 or p != points[i - 1]]


def inverse(points, t):
    """Master coordinate for target coordinate t under fit_axis's map."""
    for (t0, m0), (t1, m1) in zip(points, points[1:]):
        if t <= t1:
            return m0 + (m1 - m0) * (t - t0) / (t1 - t0)
    return points[-1][1]


def integrate(master, pos):
    """Column sums of the master rows above fractional row pos."""
    i = min(int(pos), master.height - 1)
    frac = pos - i
    return [c + frac * v for c, v in zip(master.cum_y[i], master.rows[i])]


def fit_glyph(master, size, height, bold_px):
    """The glyph as rows of coverage, fitted to a grid about height px tall.
    bold_px widens the vertical strokes only: the horizontal ones are stacked
    too closely to take more."""
    ymap = fit_axis(master.height, master.h_bands, height, 0)
    width = math.floor(master.width * height / master.height + 0.5)
    xmap = fit_axis(master.width, master.v_bands, width, bold_px)
    th, tw = ymap[-1][0], xmap[-1][0]
    # Rows first: each target row is the mean of the master rows it covers.
    ycuts = [inverse(ymap, t) for t in range(th + 1)]
    sums = [integrate(master, y) for y in ycuts]
    band_rows = [[(b - a) / (y1 - y0) for a, b in zip(s0, s1)]
                 for s0, s1, y0, y1 in zip(sums, sums[1:], ycuts, ycuts[1:])]
    # Then columns, the same way.
    xcuts = [inverse(xmap, t) for t in range(tw + 1)]
    out = []
    for row in band_rows:
        cum = [0.0]
        for v in row:
            cum.append(cum[-1] + v)

        def at(x):
            i = min(int(x), len(row) - 1)
            return cum[i] + (x - i) * row[i]
        out.append([sharpen((at(x1) - at(x0)) / (x1 - x0), size)
                    for x0, x1 in zip(xcuts, xcuts[1:])])
    return out


def sharpen(ink, size):
    # Small sizes: faint fringes go, half-covered pixels of the sweep darken.
    lo, hi = (0.25, 0.65) if size <= 24 else (0.08, 0.8) if size <= 48 else (0, 1)
    return min(1.0, max(0.0, (ink - lo) / (hi - lo)))


def place_glyph(master, size, bold, inner):
    """Fit the glyph as large as it goes inside the rim, at whole-pixel
    offsets near the centre; return (rows, left, top)."""
    bold_px = 0.35 if bold and size <= 32 else 0
    margin = 0 if size <= 24 else size / 48
    reach = max(1, size // 20)
    c = size / 2
    for height in range(math.floor(size * 0.8), 0, -1):
        glyph = fit_glyph(master, size, height, bold_px)
        th, tw = len(glyph), len(glyph[0])
        # Only the outermost inked pixel of each row can touch the rim.
        ends = []
        for y, row in enumerate(glyph):
            inked = [x for x, v in enumerate(row) if v > 0.1]
            if inked:
                ends += [(inked[0], y), (inked[-1], y)]
        base_x, base_y = (size - tw) // 2, (size - th) // 2
        offsets = sorted(((dx, dy) for dx in range(-reach, reach + 1)
                          for dy in range(-reach, reach + 1)),
                         key=lambda d: (d[0] ** 2 + d[1] ** 2, d))
        for dx, dy in offsets:
            left, top = base_x + dx, base_y + dy
            if all(math.hypot(left + x + 0.5 - c, top + y + 0.5 - c) + 0.5
                   <= inner - margin for x, y in ends):
                return glyph, left, top
    raise SystemExit(f"make_icons: the glyph does not fit at {size} px")


# --- one image ---------------------------------------------------------------

def make_image(size, masters, style):
    """Return size x size rows of (r, g, b, a), straight (not premultiplied)."""
    bold, rim_colour, rim_share, crossed = style
    c = size / 2
    outer = c
    inner = c - max(1.0, size * rim_share)
    glyph, left, top = place_glyph(masters[bold], size, bold, inner)
    half_bar = size * CROSS_WIDTH / 2
    edge = 0.75  # a pixel whose centre is nearer than this to an edge is sampled

    def parts(x, y):
        # Which of disc, fill (inside the rim) and X the point lies in.
        r = math.hypot(x - c, y - c)
        in_x = crossed and r <= inner and (
            abs(x - y) / math.sqrt(2) <= half_bar
            or abs(x + y - size) / math.sqrt(2) <= half_bar)
        return r <= outer, r <= inner, in_x

    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    image = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = px + 0.5, py + 0.5
            r = math.hypot(x - c, y - c)
            near = min(abs(r - outer), abs(r - inner))
            if crossed:
                near = min(near, abs(abs(x - y) / math.sqrt(2) - half_bar),
                           abs(abs(x + y - size) / math.sqrt(2) - half_bar))
            if near < edge:
                hits = [parts(px + sx, py + sy) for sy in offsets for sx in offsets]
                disc, fill, cross = (sum(h[i] for h in hits) / len(hits) for i in range(3))
            else:
                disc, fill, cross = (float(v) for v in parts(x, y))
            if disc == 0:
                row.append((0, 0, 0, 0))
                continue
            colour = [(fill * f + (disc - fill) * b) / disc
                      for f, b in zip(YELLOW, rim_colour)]
            gy, gx = py - top, px - left
            if 0 <= gy < len(glyph) and 0 <= gx < len(glyph[0]):
                ink = glyph[gy][gx]
                colour = [v * (1 - ink) + k * ink for v, k in zip(colour, BLACK)]
            if cross:
                share = min(1.0, cross / disc)
                colour = [v * (1 - share) + k * share for v, k in zip(colour, RED)]
            alpha = math.floor(disc * 255 + 0.5)
            rgb = tuple(math.floor(v + 0.5) for v in colour)
            row.append(rgb + (alpha,) if alpha else (0, 0, 0, 0))
        image.append(row)
    return image


# --- files -------------------------------------------------------------------

def png_chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def encode_png(rows, alpha=True):
    """8-bit RGBA (or RGB) PNG, no filters, no time stamp."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for p in row:
            raw += bytes(p if alpha else p[:3])
    height, width = len(rows), len(rows[0])
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def decode_png(data):
    """Rows of (r, g, b, a) from an 8-bit RGBA, non-interlaced PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        raise ValueError("PNG is not 8-bit RGBA, non-interlaced")
    raw, stride, rows, prev = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        prev = line
    return rows


def encode_dib(rows):
    """Icon image as a DIB: header, 32-bit BGRA bitmap, 1-bit AND mask."""
    size = len(rows)
    and_stride = (size + 31) // 32 * 4  # rows of the mask are padded to 32 bits
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
        line = bytearray(and_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    """images: list of (size, encoded image bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def read_ico(path):
    """Parse an .ico back; return (size, bpp, is_png, rgba rows, problems)."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError(f"{path}: not an icon file")
    images = []
    for i in range(count):
        w, h, _, _, _, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        blob = data[offset:offset + length]
        problems = []
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            rows = decode_png(blob)
            if (len(rows), len(rows[0])) != (h, w):
                problems.append("PNG size differs from its entry")
            images.append((w, bpp, True, rows, problems))
            continue
        hsize, bw, bh, planes, bbpp, comp = struct.unpack_from("<IiiHHI", blob, 0)
        if (hsize, bw, bh, planes, bbpp, comp) != (40, w, 2 * h, 1, 32, 0):
            raise ValueError(f"{path}: image {i} is not a 32-bit DIB of its size")
        and_stride = (w + 31) // 32 * 4
        if 40 + h * (w * 4 + and_stride) != length:
            problems.append("wrong length (AND mask missing or unpadded?)")
        rows = []
        for y in range(h):
            xrow = 40 + (h - 1 - y) * w * 4
            arow = 40 + h * w * 4 + (h - 1 - y) * and_stride
            row = []
            for x in range(w):
                b, g, r, a = blob[xrow + 4 * x:xrow + 4 * x + 4]
                masked = bool(blob[arow + x // 8] & (0x80 >> (x % 8)))
                if masked != (a == 0):
                    problems.append(f"AND mask disagrees with alpha at {x},{y}")
                if masked and (r, g, b) != (0, 0, 0):
                    problems.append(f"colour under the AND mask at {x},{y}")
                row.append((r, g, b, a))
            rows.append(row)
        images.append((w, bpp, False, rows, problems))
    return images


def check(names):
    """Re-read each .ico: every size once, 32 bpp, real alpha, sound masks."""
    ok, seen = True, {}
    for name in names:
        try:
            images = read_ico(os.path.join(OUT_DIR, name))
        except (OSError, ValueError) as e:
            print(f"BAD {name}: {e}")
            ok = False
            continue
        problems = []
        if [w for w, *_ in images] != list(SIZES):
            problems.append(f"sizes {[w for w, *_ in images]}")
        for w, bpp, is_png, rows, found in images:
            if bpp != 32:
                problems.append(f"{w} px has {bpp} bpp")
            if is_png != (w in PNG_SIZES):
                problems.append(f"{w} px is {'' if is_png else 'not '}a PNG")
            alphas = {p[3] for r in rows for p in r}
            if not alphas - {0, 255}:
                problems.append(f"{w} px has no partial alpha")
            problems += [f"{w} px: {p}" for p in found[:3]]
        seen[name] = [rows for *_, rows, _ in images]
        good = not problems
        ok &= good
        detail = "; ".join(problems) if problems else ", ".join(
            f"{w}{'png' if is_png else ''}" for w, _, is_png, _, _ in images)
        print(f"{'ok ' if good else 'BAD'} {name}: {len(images)} images: {detail}")
    if seen.get("belltide.ico") == seen.get("sounding.ico"):
        print("BAD belltide.ico and sounding.ico are the same drawing")
        ok = False
    return ok


# --- previews ----------------------------------------------------------------

def flatten(rows, background):
    """RGB rows: the image over a colour, or over a checkerboard if None."""
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, (r, g, b, a) in enumerate(row):
            bg = background or ((204,) * 3 if (x // 4 + y // 4) % 2 else (153,) * 3)
            line.append(tuple((v * a + k * (255 - a) + 127) // 255
                              for v, k in zip((r, g, b), bg)) + (255,))
        out.append(line)
    return out


def sheet(pictures, gap=8, fill=(255, 255, 255, 255)):
    """Pictures (rows) side by side, top-aligned."""
    height = max(len(p) for p in pictures)
    width = sum(len(p[0]) for p in pictures) + gap * (len(pictures) + 1)
    out = [[fill] * width for _ in range(height + 2 * gap)]
    x = gap
    for p in pictures:
        for y, row in enumerate(p):
            out[gap + y][x:x + len(row)] = row
        x += len(p[0]) + gap
    return out


def enlarge(rows, scale):
    return [[p for p in row for _ in range(scale)] for row in rows for _ in range(scale)]


def write_previews(directory, names):
    os.makedirs(directory, exist_ok=True)
    icons = [read_ico(os.path.join(OUT_DIR, name)) for name in names]
    for name, images in zip(names, icons):
        big = [enlarge(flatten(rows, None), max(1, 128 // w)) for w, _, _, rows, _ in images]
        with open(os.path.join(directory, name[:-4] + ".png"), "wb") as f:
            f.write(encode_png(sheet(big[::-1]), alpha=False))
    # The smaller images of every icon at their real size, on light, dark and
    # blue grounds, as a taskbar or tray shows them.
    out = []
    for background in ((255, 255, 255), (32, 32, 32), (0, 90, 160)):
        pictures = [flatten(rows, background) for images in icons
                    for w, _, _, rows, _ in images[::-1] if w <= 64]
        out += sheet(pictures, fill=background + (255,))
    with open(os.path.join(directory, "actual.png"), "wb") as f:
        f.write(encode_png(out, alpha=False))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="only check the existing .ico files")
    parser.add_argument("--preview", metavar="DIR",
                        help="write enlarged PNG previews of each icon into DIR")
    args = parser.parse_args()

    if not args.check:
        os.makedirs(OUT_DIR, exist_ok=True)
        masters = {False: Master(False), True: Master(True)}
        for name, style in STYLES.items():
            images = []
            for size in SIZES:
                rows = make_image(size, masters, style)
                images.append((size, encode_png(rows) if size in PNG_SIZES else encode_dib(rows)))
            write_ico(os.path.join(OUT_DIR, name), images)
    ok = check(STYLES)
    if args.preview:
        write_previews(args.preview, STYLES)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
