#!/usr/bin/python3
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
disc, its rim and the red X are drawn here, with 8x8 samples at their edges:
Pillow's ellipse and polygon drop the fractions of their coordinates, which
would move these edges. Pillow encodes the images. Output is the same, byte
for byte, on every run.

Usage (tools/bootstrap installs Pillow, ImageMagick and the font; Debian's
python3-pil installs for /usr/bin/python3 only):
  /usr/bin/python3 tools/make_icons.py                  generate
  /usr/bin/python3 tools/make_icons.py --preview FILE   also write a PNG sheet
                                                        of every image
tools/check_resources.py checks the icons in the built program.
"""

import argparse
import io
import math
import os
import shutil
import struct
import subprocess
import sys

try:
    from PIL import Image, ImageChops
except ImportError:
    sys.exit("make_icons: no PIL module: apt-get install python3-pil, "
             "and run this with /usr/bin/python3")

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
        ink = ImageChops.invert(Image.frombytes("L", (n, n), data))
        ink = ink.crop(ink.getbbox())
        self.width, self.height = ink.size
        values = [v / 255 for v in ink.getdata()]
        self.rows = [values[y * self.width:(y + 1) * self.width]
                     for y in range(self.height)]
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
    """Return the RGBA image, straight (not premultiplied) colour."""
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
    pixels = []
    for py in range(size):
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
                pixels.append((0, 0, 0, 0))
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
            pixels.append(rgb + (alpha,) if alpha else (0, 0, 0, 0))
    image = Image.new("RGBA", (size, size))
    image.putdata(pixels)
    return image


# --- files -------------------------------------------------------------------

def encode(image):
    """The image as an .ico stores it: a PNG, or a DIB with its AND mask."""
    out = io.BytesIO()
    if image.width in PNG_SIZES:
        image.save(out, "PNG", compress_level=9)
        return out.getvalue()
    image.save(out, "DIB")
    dib = out.getvalue()
    clear = image.getchannel("A").point(lambda a: 255 if a == 0 else 0, "1")
    # Mask rows are padded to 32 bits and stored bottom-up, like the bitmap's.
    mask = clear.tobytes("raw", "1", (image.width + 31) // 32 * 4, -1)
    # An icon's DIB counts the mask's rows in its height.
    return dib[:8] + struct.pack("<i", 2 * image.height) + dib[12:] + mask


def write_ico(path, images):
    # Pillow's ICO writer stores every size alike (all PNG, or all DIBs
    # without an AND mask), so the directory is written here.
    blobs = [encode(image) for image in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = len(out) + 16 * len(blobs)
    for image, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", image.width % 256, image.height % 256,
                           0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# --- preview -----------------------------------------------------------------

GAP = 8


def strip(pictures, ground):
    """Pictures side by side, top-aligned, over a ground colour."""
    width = sum(p.width for p in pictures) + GAP * (len(pictures) + 1)
    out = Image.new("RGBA", (width, max(p.height for p in pictures) + 2 * GAP), ground)
    x = GAP
    for p in pictures:
        out.alpha_composite(p, (x, GAP))
        x += p.width + GAP
    return out


def enlarged(image):
    """The image scaled up to about 128 px, over a checkerboard of 4 px cells."""
    scale = max(1, 128 // image.width)
    size, cell = image.width * scale, 4 * scale
    board = Image.new("RGBA", (size, size), (204, 204, 204, 255))
    for y in range(0, size, cell):
        for x in range(y // cell % 2 * cell, size, 2 * cell):
            board.paste((153, 153, 153, 255), (x, y, x + cell, y + cell))
    board.alpha_composite(image.resize((size, size), Image.Resampling.NEAREST))
    return board


def write_preview(path, icons):
    """One row per icon, every image enlarged; then the images up to 64 px at
    their real size on a light, a dark and a blue ground, as a taskbar or tray
    shows them."""
    strips = [strip([enlarged(image) for image in images[::-1]], (255, 255, 255))
              for images in icons]
    strips += [strip([image for images in icons for image in images[::-1]
                      if image.width <= 64], ground)
               for ground in ((255, 255, 255), (32, 32, 32), (0, 90, 160))]
    sheet = Image.new("RGB", (max(s.width for s in strips), sum(s.height for s in strips)),
                      "white")
    y = 0
    for s in strips:
        sheet.paste(s, (0, y))
        y += s.height
    sheet.save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="FILE",
                        help="also write a PNG sheet of every image to FILE")
    args = parser.parse_args()

    os.makedirs(OUT_DIR, exist_ok=True)
    masters = {False: Master(False), True: Master(True)}
    icons = []
    for name, style in STYLES.items():
        images = [make_image(size, masters, style) for size in SIZES]
        write_ico(os.path.join(OUT_DIR, name), images)
        print(f"make_icons: {name}: {', '.join(str(s) for s in SIZES)} px")
        icons.append(images)
    if args.preview:
        write_preview(args.preview, icons)


if __name__ == "__main__":
    main()
