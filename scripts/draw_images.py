#!/usr/bin/python3
"""Draws Tollevane's icons (program icon 128, balloon pictures 129, 130, 136 in Japanese and 137 to 139 in
English) and writes them as .ico files.

Usage: draw_images.py [--check] [--previews [DIR]]
  (no option)  draw, write src/resources/icons/*.ico, then verify what was written
  --check      only verify the .ico files already in the tree
  --previews   also decode the written files into PNG previews (default /tmp/previews)

Needs Debian's python3-pil and fonts-ipafont-gothic. The output is byte-for-byte the same on every run
with the same Pillow and font, so re-running it leaves the tree unchanged unless the drawing changed.
"""

import os
import struct
import sys
from pathlib import Path

try:
    from PIL import Image, ImageDraw, ImageFilter, ImageFont, ImageOps
except ImportError:
    # A pyenv or venv interpreter does not see Debian's python3-pil; the system one does.
    if os.path.realpath(sys.executable) != os.path.realpath('/usr/bin/python3') and os.path.exists('/usr/bin/python3'):
        os.execv('/usr/bin/python3', ['/usr/bin/python3', os.path.abspath(__file__), *sys.argv[1:]])
    sys.exit('draw_images.py: Pillow is missing; run: apt-get install -y python3-pil fonts-ipafont-gothic')

ROOT = Path(__file__).resolve().parent.parent
ICON_DIR = ROOT / 'src' / 'resources' / 'icons'
FONT_PATH = '/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf'

# (title, text) of the balloon in each language, as Windows words its own.
BALLOON_WORDS = {
    'ja': ('ソフトウェアの取り外し', "'Tollevane.exe' は安全に取り外すことができます。"),
    'en': ('Safe To Remove Software', "'Tollevane.exe' can now be safely removed."),
}

# (width, height, bits per pixel) of every image, in file order.
PROGRAM_FORMATS = [(16, 16, 4), (16, 16, 8), (16, 16, 32), (32, 32, 8), (32, 32, 32), (48, 48, 8), (48, 48, 32)]
EXPECTED = {
    'Tollevane.ico': PROGRAM_FORMATS,
    'balloon_2000.ico': [(265, 72, 32)],
    'balloon_xp.ico': [(265, 72, 32)],
    'balloon_vista.ico': [(339, 81, 32)],
    'balloon_2000_en.ico': [(265, 72, 32)],
    'balloon_xp_en.ico': [(265, 72, 32)],
    'balloon_vista_en.ico': [(339, 81, 32)],
}
HARD_EDGED = {'balloon_2000.ico', 'balloon_2000_en.ico'}
SOFT_EDGED = {'balloon_xp.ico', 'balloon_vista.ico', 'balloon_xp_en.ico', 'balloon_vista_en.ico'}

# The 16-colour palette that LR_VGACOLOR renders with, in the standard Windows order. Using exactly these
# entries keeps the 4-bit tray icon free of dithering on Windows 2000.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]


# ----------------------------------------------------------------------------------------------------------
# Drawing helpers

def downsample(big, factor):
    """Box-filters a supersampled RGBA image with premultiplied alpha, so edges do not pick up dark fringes."""
    w, h = big.size
    return big.convert('RGBa').resize((w // factor, h // factor), Image.BOX).convert('RGBA')


def vertical_gradient(size, top, bottom, y0=0, y1=None):
    """An opaque RGB image running from `top` at row y0 to `bottom` at row y1."""
    w, h = size
    y1 = h - 1 if y1 is None else y1
    img = Image.new('RGB', size)
    draw = ImageDraw.Draw(img)
    span = max(1, y1 - y0)
    for y in range(h):
        t = min(1.0, max(0.0, (y - y0) / span))
        draw.line([(0, y), (w - 1, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return img


def diagonal_gradient(size, first, last):
    """An opaque RGB image from `first` at the top left to `last` at the bottom right."""
    w, h = size
    img = Image.new('RGB', size)
    px = img.load()
    span = max(1, w + h - 2)
    for y in range(h):
        for x in range(w):
            t = (x + y) / span
            px[x, y] = tuple(round(a + (b - a) * t) for a, b in zip(first, last))
    return img


def paint(canvas, fill, mask):
    """Composites a colour or an image onto an RGBA canvas through an L mask."""
    if isinstance(fill, tuple):
        layer = Image.new('RGBA', canvas.size, fill[:3] + (0,))
    else:
        layer = fill.convert('RGBA')
    layer.putalpha(mask)
    canvas.alpha_composite(layer)


def erode(mask, by):
    """Shrinks an L mask by `by` pixels; the padding keeps shapes that touch the image edge from keeping
    their full extent there (the filter repeats edge pixels outward)."""
    padded = ImageOps.expand(mask, border=by + 1, fill=0).filter(ImageFilter.MinFilter(2 * by + 1))
    return padded.crop((by + 1, by + 1, by + 1 + mask.width, by + 1 + mask.height))


def shape_mask(size, draw_fn):
    mask = Image.new('L', size, 0)
    draw_fn(ImageDraw.Draw(mask))
    return mask


def font(px):
    # The basic layout engine does not depend on whether libraqm happens to be installed.
    return ImageFont.truetype(FONT_PATH, px, layout_engine=ImageFont.Layout.BASIC)


def text_mask(size, xy, text, px, bold=False):
    """Renders text into an L mask; bold is synthesised like GDI does it, by a second pass one pixel right."""
    mask = Image.new('L', size, 0)
    draw = ImageDraw.Draw(mask)
    f = font(px)
    draw.text(xy, text, font=f, fill=255)
    if bold:
        draw.text((xy[0] + 1, xy[1]), text, font=f, fill=255)
    return mask


def text_width(text, px, bold=False):
    left, _, right, _ = font(px).getbbox(text)
    return right - left + (1 if bold else 0)


def text_top_for_center(text, px, center_y):
    """The y to draw at so that the ink of `text` is centred on center_y."""
    _, top, _, bottom = font(px).getbbox(text)
    return round(center_y - (top + bottom) / 2)


def largest_fitting_size(text, sizes, room, bold=False):
    for px in sizes:
        if text_width(text, px, bold) <= room:
            return px
    raise SystemExit(f'draw_images.py: "{text}" does not fit in {room} px even at {sizes[-1]} px')


# ----------------------------------------------------------------------------------------------------------
# Program icon: a flash drive whose body carries an eject symbol

OUTLINE = (20, 32, 68)
CONNECTOR_TOP = (238, 241, 246)
CONNECTOR_BOTTOM = (164, 172, 188)
HOLE = (56, 64, 84)
BODY_TOP = (80, 156, 248)
BODY_BOTTOM = (24, 80, 196)
SYMBOL = (255, 255, 255)
SYMBOL_SHADOW = (14, 52, 132)

# Hand-placed pixels for 16x16: at that size a scaled drawing turns to mush. Each letter gives the
# 32-bit colour and the VGA palette index used for the 4-bit image.
ART16 = [
    '....KKKKKKKK....',
    '....KCHCCHCK....',
    '....KcHccHcK....',
    '...KKKKKKKKKK...',
    '..KLBBBBBBBBDK..',
    '..KLBBBBBBBBDK..',
    '..KLBBBWWBBBDK..',
    '..KLBBWWWWBBDK..',
    '..KLBWWWWWWBDK..',
    '..KLWWWWWWWWDK..',
    '..KLBBBBBBBBDK..',
    '..KLWWWWWWWWDK..',
    '..KLWWWWWWWWDK..',
    '..KLBBBBBBBBDK..',
    '..KDDDDDDDDDDK..',
    '...KKKKKKKKKK...',
]
ART16_LEGEND = {
    'K': (OUTLINE, 0),
    'C': (CONNECTOR_TOP, 7),
    'c': (CONNECTOR_BOTTOM, 7),
    'H': (HOLE, 8),
    'L': ((96, 166, 250), 12),
    'B': ((44, 112, 224), 12),
    'D': ((24, 74, 180), 4),
    'W': (SYMBOL, 15),
}


def program_icon_16():
    """Returns the 32-bit image and the VGA index per pixel (None where transparent)."""
    img = Image.new('RGBA', (16, 16), (0, 0, 0, 0))
    vga = []
    for y, row in enumerate(ART16):
        assert len(row) == 16
        for x, ch in enumerate(row):
            if ch == '.':
                vga.append(None)
                continue
            rgb, index = ART16_LEGEND[ch]
            # A gentle top-to-bottom darkening of the body gives the 32-bit image some depth.
            if ch in 'LBD':
                k = 1.0 - 0.18 * (y - 4) / 10
                rgb = tuple(round(c * k) for c in rgb)
            img.putpixel((x, y), rgb + (255,))
            vga.append(index)
    return img, vga


# Geometry of the larger sizes in target pixels; edges lie on pixel boundaries so that they stay sharp.
PROGRAM_GEOMETRY = {
    32: dict(line=1, connector=(9, 1, 23, 11), holes=[(12, 4, 15, 7), (17, 4, 20, 7)],
             body=(4, 9, 28, 31), radius=3, apex=(16, 14), half=7, base=21, bar=(9, 23, 23, 26)),
    48: dict(line=2, connector=(14, 1, 34, 16), holes=[(18, 5, 22, 10), (26, 5, 30, 10)],
             body=(6, 13, 42, 47), radius=5, apex=(24, 21), half=10, base=31, bar=(14, 34, 34, 38)),
}


def program_icon_large(size):
    g = PROGRAM_GEOMETRY[size]
    f = 8
    big = (size * f, size * f)
    lw = g['line'] * f
    canvas = Image.new('RGBA', big, (0, 0, 0, 0))

    def rect(box, inset=0):
        x0, y0, x1, y1 = box
        return [x0 * f + inset, y0 * f + inset, x1 * f - 1 - inset, y1 * f - 1 - inset]

    _, cy0, _, cy1 = g['connector']
    paint(canvas, OUTLINE, shape_mask(big, lambda d: d.rectangle(rect(g['connector']), fill=255)))
    paint(canvas, vertical_gradient(big, CONNECTOR_TOP, CONNECTOR_BOTTOM, cy0 * f, cy1 * f),
          shape_mask(big, lambda d: d.rectangle(rect(g['connector'], lw), fill=255)))
    for hole in g['holes']:
        paint(canvas, HOLE, shape_mask(big, lambda d, h=hole: d.rectangle(rect(h), fill=255)))

    _, by0, _, by1 = g['body']
    r = g['radius'] * f
    paint(canvas, OUTLINE, shape_mask(big, lambda d: d.rounded_rectangle(rect(g['body']), r, fill=255)))
    paint(canvas, vertical_gradient(big, BODY_TOP, BODY_BOTTOM, by0 * f, by1 * f),
          shape_mask(big, lambda d: d.rounded_rectangle(rect(g['body'], lw), r - lw, fill=255)))

    ax, ay = g['apex']
    half, base = g['half'], g['base']
    bar = g['bar']

    def symbol(d, dy):
        d.polygon([(ax * f, (ay + dy) * f), ((ax + half) * f, (base + dy) * f), ((ax - half) * f, (base + dy) * f)],
                  fill=255)
        d.rectangle(rect((bar[0], bar[1] + dy, bar[2], bar[3] + dy)), fill=255)

    shadow_dy = g['line']
    paint(canvas, SYMBOL_SHADOW, shape_mask(big, lambda d: symbol(d, shadow_dy)))
    paint(canvas, SYMBOL, shape_mask(big, lambda d: symbol(d, 0)))
    return downsample(canvas, f)


# ----------------------------------------------------------------------------------------------------------
# Balloon pictures

def info_symbol(style):
    """The 16x16 information symbol: a blue disc with a white i, in the manner of each Windows generation."""
    f = 8
    big = (16 * f, 16 * f)
    canvas = Image.new('RGBA', big, (0, 0, 0, 0))
    disc = shape_mask(big, lambda d: d.ellipse([0.5 * f, 0.5 * f, 15.5 * f - 1, 15.5 * f - 1], fill=255))
    inner = shape_mask(big, lambda d: d.ellipse([1.5 * f, 1.5 * f, 14.5 * f - 1, 14.5 * f - 1], fill=255))
    if style == '2000':
        paint(canvas, (10, 36, 120), disc)
        paint(canvas, (24, 72, 200), inner)
    else:
        rim = (255, 255, 255) if style == 'xp' else (20, 60, 150)
        paint(canvas, rim, disc)
        if style == 'xp':
            paint(canvas, (40, 90, 170), inner)
            inner = shape_mask(big, lambda d: d.ellipse([2 * f, 2 * f, 14 * f - 1, 14 * f - 1], fill=255))
        paint(canvas, diagonal_gradient(big, (120, 180, 255), (16, 70, 190)), inner)
        if style == 'vista':
            # A soft gloss over the upper half.
            gloss = shape_mask(big, lambda d: d.ellipse([3 * f, 2 * f, 13 * f - 1, 8.5 * f], fill=90))
            paint(canvas, (255, 255, 255), gloss)

    def letter_i(d):
        d.ellipse([6.9 * f, 3.0 * f, 9.1 * f - 1, 5.2 * f - 1], fill=255)
        d.rectangle([7 * f, 6.5 * f, 9 * f - 1, 12 * f - 1], fill=255)
        d.rectangle([6 * f, 6.5 * f, 9 * f - 1, 7.5 * f - 1], fill=255)
        d.rectangle([6 * f, 11 * f, 10 * f - 1, 12 * f - 1], fill=255)

    paint(canvas, (255, 255, 255), shape_mask(big, letter_i))
    return downsample(canvas, f)


def close_box(style):
    """The close box for the top right corner."""
    if style == '2000':
        img = Image.new('RGBA', (14, 14), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        d.rectangle([0, 0, 13, 13], outline=(128, 128, 128, 255))
        # The classic 8x7 cross of the window caption buttons.
        for i, (a, b) in enumerate([(0, 7), (1, 6), (2, 5), (3, 4), (2, 5), (1, 6), (0, 7)]):
            y = 4 + i
            for x in {a, a + 1, b - 1, b}:
                img.putpixel((3 + x, y), (0, 0, 0, 255))
        return img
    f = 8
    big = (14 * f, 14 * f)
    canvas = Image.new('RGBA', big, (0, 0, 0, 0))
    if style == 'xp':
        paint(canvas, (150, 150, 140), shape_mask(big, lambda d: d.rounded_rectangle([0, 0, big[0] - 1, big[1] - 1], 3 * f, fill=255)))
        paint(canvas, vertical_gradient(big, (255, 255, 255), (226, 226, 214)),
              shape_mask(big, lambda d: d.rounded_rectangle([f, f, big[0] - 1 - f, big[1] - 1 - f], 2 * f, fill=255)))
        cross = (80, 80, 80)
    else:
        paint(canvas, (178, 180, 186), shape_mask(big, lambda d: d.rounded_rectangle([0, 0, big[0] - 1, big[1] - 1], 2 * f, fill=255)))
        paint(canvas, vertical_gradient(big, (252, 252, 253), (232, 233, 238)),
              shape_mask(big, lambda d: d.rounded_rectangle([f, f, big[0] - 1 - f, big[1] - 1 - f], f, fill=255)))
        cross = (96, 98, 106)
    width = round(1.7 * f)
    lines = shape_mask(big, lambda d: (d.line([(4 * f, 4 * f), (10 * f, 10 * f)], fill=255, width=width),
                                       d.line([(10 * f, 4 * f), (4 * f, 10 * f)], fill=255, width=width)))
    paint(canvas, cross, lines)
    return downsample(canvas, f)


BALLOON_STYLES = {
    # Pale yellow tooltip with a black 1-pixel border, nearly square corners and no transparency anywhere
    # inside the outline: a picture for a desktop that knows nothing of alpha.
    '2000': dict(size=(265, 72), hard=True, body=(0, 0, 265, 57), radius=4, stem=(212, 228, 230, 71),
                 fill=((255, 255, 225), (255, 255, 225)), border=(0, 0, 0), shadow=None,
                 margin=8, top=7, text_x=8, text_gap=10, title_px=(12, 11), text_px=(11, 10, 9)),
    # Rounded pale yellow balloon with a stem and a soft drop shadow to the lower right.
    'xp': dict(size=(265, 72), hard=False, body=(0, 0, 261, 55), radius=9, stem=(206, 224, 232, 68),
               fill=((255, 255, 225), (255, 255, 225)), border=(92, 92, 80), shadow=(2, 2, 1.6, 0.42),
               margin=9, top=7, text_x=9, text_gap=10, title_px=(12, 11), text_px=(11, 10, 9)),
    # White fading to light grey, small rounded corners, a faint shadow all round.
    'vista': dict(size=(339, 81), hard=False, body=(3, 2, 336, 64), radius=6, stem=(276, 294, 298, 77),
                  fill=((255, 255, 255), (226, 228, 238)), border=(118, 118, 124), shadow=(0, 1, 2.2, 0.38),
                  margin=12, top=10, text_x=None, text_gap=10, title_px=(12, 11), text_px=(12, 11, 10)),
}


def balloon(style, language):
    BALLOON_TITLE, BALLOON_TEXT = BALLOON_WORDS[language]
    s = BALLOON_STYLES[style]
    w, h = s['size']
    f = 4
    big = (w * f, h * f)
    x0, y0, x1, y1 = s['body']
    sl, sr, tip_x, tip_y = s['stem']

    def outline(d):
        d.rounded_rectangle([x0 * f, y0 * f, x1 * f - 1, y1 * f - 1], s['radius'] * f, fill=255)
        # The stem's base reaches a little into the body so that the two join without a seam.
        d.polygon([(sl * f, (y1 - 2) * f), (sr * f, (y1 - 2) * f), (tip_x * f, tip_y * f)], fill=255)

    shape = shape_mask(big, outline)
    outer = shape.resize((w, h), Image.BOX)
    if s['hard']:
        outer = outer.point(lambda v: 255 if v >= 128 else 0)
        inner = erode(outer, 1)
    else:
        inner = erode(shape, f).resize((w, h), Image.BOX)

    img = Image.new('RGBA', (w, h), (0, 0, 0, 0))
    if s['shadow']:
        dx, dy, blur, opacity = s['shadow']
        shadow = Image.new('L', (w, h), 0)
        shadow.paste(outer, (dx, dy))
        shadow = shadow.filter(ImageFilter.GaussianBlur(blur)).point(lambda v: round(v * opacity))
        paint(img, (0, 0, 0), shadow)
    paint(img, s['border'], outer)
    top_colour, bottom_colour = s['fill']
    paint(img, vertical_gradient((w, h), top_colour, bottom_colour, y0, y1), inner)

    # Content: symbol and bold title on the first row, close box at the right, the message below.
    margin, top = s['margin'], s['top']
    symbol = info_symbol(style)
    img.alpha_composite(symbol, (margin, top))
    row_center = top + 8
    closer = close_box(style)
    close_x = x1 - margin - closer.width + (1 if style == '2000' else 0)
    img.alpha_composite(closer, (close_x, row_center - closer.height // 2))

    title_x = margin + 16 + 6
    title_px = largest_fitting_size(BALLOON_TITLE, s['title_px'], close_x - 6 - title_x, bold=True)
    title_y = text_top_for_center(BALLOON_TITLE, title_px, row_center)
    paint(img, (0, 0, 0), text_mask((w, h), (title_x, title_y), BALLOON_TITLE, title_px, bold=True,
))

    text_x = title_x if s['text_x'] is None else s['text_x']
    text_px = largest_fitting_size(BALLOON_TEXT, s['text_px'], x1 - margin - text_x)
    text_center = top + 16 + s['text_gap'] + text_px // 2
    text_y = text_top_for_center(BALLOON_TEXT, text_px, text_center)
    ink_bottom = font(text_px).getbbox(BALLOON_TEXT)[3]
    if text_y + ink_bottom > y1 - 4:
        raise SystemExit(f'draw_images.py: the {style} balloon text runs into the bottom border')
    paint(img, (0, 0, 0), text_mask((w, h), (text_x, text_y), BALLOON_TEXT, text_px,
))
    return img


# ----------------------------------------------------------------------------------------------------------
# ICO encoding

def row_stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def and_mask_bytes(width, height, transparent):
    """The 1-bit AND mask, bottom-up; transparent is a row-major list of booleans."""
    stride = row_stride(width, 1)
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent[y * width + x]:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def dib_header(width, height, bpp, image_bytes):
    # The height counts the XOR and the AND bitmap together.
    return struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bpp, 0, image_bytes, 0, 0, 0, 0)


def encode_32(img):
    w, h = img.size
    data = img.tobytes()
    transparent = [data[i * 4 + 3] == 0 for i in range(w * h)]
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = data[(y * w + x) * 4:(y * w + x) * 4 + 4]
            # Fully transparent pixels keep colour 0 so that the AND/XOR path of systems without alpha leaves
            # the background untouched there.
            xor += bytes((b, g, r, a)) if a else b'\0\0\0\0'
    mask = and_mask_bytes(w, h, transparent)
    return dib_header(w, h, 32, len(xor) + len(mask)) + bytes(xor) + mask


def encode_indexed(width, height, bpp, palette, indices):
    """indices: row-major palette index or None for transparent; the palette is padded to 2**bpp."""
    assert len(palette) <= 1 << bpp
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette) + b'\0\0\0\0' * ((1 << bpp) - len(palette))
    stride = row_stride(width, bpp)
    xor = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            index = indices[y * width + x] or 0
            if bpp == 8:
                row[x] = index
            else:
                row[x >> 1] |= index << (4 if x % 2 == 0 else 0)
        xor += row
    mask = and_mask_bytes(width, height, [i is None for i in indices])
    return dib_header(width, height, bpp, len(xor) + len(mask)) + pal + bytes(xor) + mask


def median_cut(counts, limit):
    """Deterministic median-cut palette of at most `limit` colours from a {colour: pixel count} map."""
    boxes = [sorted(counts.items())]
    while len(boxes) < limit:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for c in range(3):
                values = [colour[c] for colour, _ in box]
                if max(values) - min(values) > best_range:
                    best, best_range, best_channel = i, max(values) - min(values), c
        if best is None:
            break
        box = sorted(boxes[best], key=lambda item: (item[0][best_channel], item[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for j, (_, n) in enumerate(box[:-1]):
            running += n
            cut = j + 1
            if running * 2 >= total:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(round(sum(colour[c] * n for colour, n in box) / total) for c in range(3)))
    return palette


def nearest(palette, colour, first=0):
    best, best_d = first, None
    for i in range(first, len(palette)):
        d = sum((a - b) ** 2 for a, b in zip(palette[i], colour))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def to_8bit(img):
    """Palette image for 8-bit displays: pixels at least half opaque keep their colour, the rest is masked."""
    w, h = img.size
    data = img.tobytes()
    colours = [tuple(data[i * 4:i * 4 + 3]) if data[i * 4 + 3] >= 128 else None for i in range(w * h)]
    counts = {}
    for c in colours:
        if c is not None:
            counts[c] = counts.get(c, 0) + 1
    # Entry 0 stays black for the masked pixels; the picture gets the other 255.
    if len(counts) <= 255:
        palette = [(0, 0, 0)] + sorted(counts)
    else:
        palette = [(0, 0, 0)] + median_cut(counts, 255)
    lookup = {c: nearest(palette, c, first=1) for c in sorted(counts)}
    return encode_indexed(w, h, 8, palette, [None if c is None else lookup[c] for c in colours])


def build_ico(images):
    """images: list of (width, height, bpp, dib bytes). Sizes from 256 up are written as 0 in the
    directory; Windows then takes them from the bitmap header."""
    head = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    directory, body = b'', b''
    for w, h, bpp, dib in images:
        directory += struct.pack('<BBBBHHII', w if w < 256 else 0, h if h < 256 else 0, 16 if bpp == 4 else 0,
                                 0, 1, bpp, len(dib), offset)
        body += dib
        offset += len(dib)
    return head + directory + body


def program_ico():
    img16, vga16 = program_icon_16()
    images = [(16, 16, 4, encode_indexed(16, 16, 4, VGA, vga16)),
              (16, 16, 8, to_8bit(img16)),
              (16, 16, 32, encode_32(img16))]
    for size in (32, 48):
        img = program_icon_large(size)
        images += [(size, size, 8, to_8bit(img)), (size, size, 32, encode_32(img))]
    return build_ico(images)


def balloon_ico(style, language):
    img = balloon(style, language)
    return build_ico([(img.width, img.height, 32, encode_32(img))])


def draw_all():
    return {
        'Tollevane.ico': program_ico(),
        **{f'balloon_{style}{suffix}.ico': balloon_ico(style, language)
           for language, suffix in (('ja', ''), ('en', '_en')) for style in ('2000', 'xp', 'vista')},
    }


# ----------------------------------------------------------------------------------------------------------
# Reading back and checking

class IcoError(Exception):
    pass


def read_ico(data):
    """Parses an .ico file strictly; returns a list of (width, height, bpp, RGBA image, palette)."""
    if len(data) < 6:
        raise IcoError('shorter than the icon directory')
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise IcoError(f'bad directory header {reserved} {kind} {count}')
    if len(data) < 6 + 16 * count:
        raise IcoError('directory runs past the end of the file')
    images, spans = [], []
    for n in range(count):
        bw, bh, colours, res, planes, bpp, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * n)
        if offset + size > len(data) or offset < 6 + 16 * count:
            raise IcoError(f'image {n} lies outside the file')
        spans.append((offset, offset + size))
        dib = data[offset:offset + size]
        hsize, w, h2, dplanes, dbpp, compression, image_bytes = struct.unpack_from('<IiiHHII', dib, 0)
        if hsize != 40 or compression != 0 or dplanes != 1:
            raise IcoError(f'image {n}: not a plain BITMAPINFOHEADER DIB')
        h = h2 // 2
        if h2 != 2 * h or w <= 0 or h <= 0:
            raise IcoError(f'image {n}: bad DIB size {w}x{h2}')
        if (bw or 256) != min(w, 256) or (bh or 256) != min(h, 256):
            raise IcoError(f'image {n}: directory size {bw}x{bh} disagrees with the DIB {w}x{h}')
        if res != 0 or planes != 1 or bpp != dbpp or colours != (16 if bpp == 4 else 0):
            raise IcoError(f'image {n}: directory entry fields disagree with the DIB')
        if bpp not in (4, 8, 32):
            raise IcoError(f'image {n}: unexpected {bpp} bits per pixel')
        pal_entries = 1 << bpp if bpp <= 8 else 0
        xor_size = row_stride(w, bpp) * h
        and_size = row_stride(w, 1) * h
        if size != 40 + 4 * pal_entries + xor_size + and_size or image_bytes != xor_size + and_size:
            raise IcoError(f'image {n}: size fields do not add up')
        palette = [tuple(dib[40 + 4 * i + 2 - c] for c in range(3)) for i in range(pal_entries)]
        xor = dib[40 + 4 * pal_entries:40 + 4 * pal_entries + xor_size]
        andm = dib[40 + 4 * pal_entries + xor_size:]
        img = Image.new('RGBA', (w, h))
        px = img.load()
        for y in range(h):
            row = (h - 1 - y) * row_stride(w, bpp)
            mrow = (h - 1 - y) * row_stride(w, 1)
            for x in range(w):
                masked = bool(andm[mrow + (x >> 3)] & (0x80 >> (x & 7)))
                if bpp == 32:
                    b, g, r, a = xor[row + 4 * x:row + 4 * x + 4]
                    if masked and (a or r or g or b):
                        raise IcoError(f'image {n}: masked pixel ({x},{y}) is not transparent black')
                    if not masked and a == 0:
                        raise IcoError(f'image {n}: pixel ({x},{y}) has alpha 0 but is not masked')
                    px[x, y] = (r, g, b, a)
                else:
                    index = xor[row + x] if bpp == 8 else (xor[row + (x >> 1)] >> (0 if x & 1 else 4)) & 15
                    px[x, y] = (0, 0, 0, 0) if masked else palette[index] + (255,)
        images.append((w, h, bpp, img, palette))
    spans.sort()
    for (_, end), (start, _) in zip(spans, spans[1:]):
        if start < end:
            raise IcoError('images overlap')
    return images


def check_file(name, data):
    """Returns a list of problems with one written icon file."""
    try:
        images = read_ico(data)
    except IcoError as e:
        return [f'{name}: {e}']
    problems = []
    got = [(w, h, bpp) for w, h, bpp, _, _ in images]
    if got != EXPECTED[name]:
        problems.append(f'{name}: holds {got}, expected {EXPECTED[name]}')
    for w, h, bpp, img, palette in images:
        alphas = set(img.getchannel('A').getdata())
        if alphas == {0} or 255 not in alphas:
            problems.append(f'{name}: {w}x{h}x{bpp} has no opaque pixel')
        if bpp == 4 and palette != VGA:
            problems.append(f'{name}: the 4-bit palette is not the VGA palette')
        if name in HARD_EDGED and not alphas <= {0, 255}:
            problems.append(f'{name}: alpha values other than 0 and 255: {sorted(alphas - {0, 255})[:8]}')
        if name in SOFT_EDGED and not (alphas - {0, 255}):
            problems.append(f'{name}: no partly transparent pixel, the edges are not soft')
    return problems


def write_previews(name, data, directory):
    """PNGs of each image on a light and a dark background, enlarged, for looking at by eye."""
    directory.mkdir(parents=True, exist_ok=True)
    for n, (w, h, bpp, img, _) in enumerate(read_ico(data)):
        scale = 8 if w <= 16 else 4 if w <= 48 else 2
        pad = 4
        sheet = Image.new('RGBA', ((w + 2 * pad) * 3, h + 2 * pad), (255, 255, 255, 255))
        for i, bg in enumerate([(243, 243, 243), (32, 32, 32), (0, 84, 227)]):
            tile = Image.new('RGBA', (w + 2 * pad, h + 2 * pad), bg + (255,))
            tile.alpha_composite(img, (pad, pad))
            sheet.paste(tile, (i * (w + 2 * pad), 0))
        sheet = sheet.resize((sheet.width * scale, sheet.height * scale), Image.NEAREST)
        sheet.convert('RGB').save(directory / f'{Path(name).stem}_{n}_{w}x{h}x{bpp}.png')
        img.save(directory / f'{Path(name).stem}_{n}_{w}x{h}x{bpp}_actual.png')


def main(argv):
    check_only = '--check' in argv
    previews = None
    if '--previews' in argv:
        i = argv.index('--previews')
        previews = Path(argv[i + 1]) if i + 1 < len(argv) and not argv[i + 1].startswith('--') else Path('/tmp/previews')
    unknown = [a for a in argv if a.startswith('--') and a not in ('--check', '--previews')]
    if unknown:
        sys.exit(__doc__)

    if not check_only:
        if not os.path.exists(FONT_PATH):
            sys.exit(f'draw_images.py: {FONT_PATH} is missing; run: apt-get install -y fonts-ipafont-gothic')
        ICON_DIR.mkdir(parents=True, exist_ok=True)
        for name, data in draw_all().items():
            (ICON_DIR / name).write_bytes(data)

    problems = []
    for name in EXPECTED:
        path = ICON_DIR / name
        if not path.exists():
            problems.append(f'{name}: missing')
            continue
        data = path.read_bytes()
        problems += check_file(name, data)
        if previews and not problems:
            write_previews(name, data, previews)
        print(f'{path.relative_to(ROOT)}: {len(data)} bytes, '
              + ', '.join(f'{w}x{h}x{bpp}' for w, h, bpp in EXPECTED[name]))
    for p in problems:
        print('FAILED:', p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
