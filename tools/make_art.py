#!/usr/bin/python3
"""Draw Quorvane's artwork: the login window skin, the title-bar and
navigation buttons, and the application icon.

Everything is painted from code (shapes, brush strokes, fonts), so the
files in res/art/ can be rebuilt at any time with

    /usr/bin/python3 tools/make_art.py

The output is byte-for-byte repeatable: every random choice comes from a
seeded random.Random, and nothing depends on the clock.  Only PIL is
needed (Debian's python3-pil); heavy lifting stays inside PIL's C code.
Fonts come from Debian's fonts-arphic-ukai (brush-style CJK) and
fonts-dejavu-extra.  Before writing anything the script checks the promises
the client relies on (transparent window edges, opaque and flat ink under
the pane and buttons, PNG colour-space chunks, icon layout) and stops with
a message if one is broken.
"""

import hashlib
import io
import math
import os
import random
import struct
import sys

from PIL import (Image, ImageChops, ImageCms, ImageDraw, ImageFilter,
                 ImageFont, ImageMath)
from PIL.PngImagePlugin import PngInfo

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "art")
UKAI = "/usr/share/fonts/truetype/arphic/ukai.ttc"
SERIF_BI = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-BoldItalic.ttf"

W, H = 1152, 889

# Where the client puts things over the skin (x, y, width, height).  The
# skin keeps all of these on one flat ink colour so the opaque button
# rectangles and the web pane melt into it.
PANE = (543, 208, 405, 491)
BUTTON_RECTS = {
    "min": (958, 188, 50, 50),
    "close": (1008, 229, 50, 50),
    "home": (383, 153, 120, 50),
    "deposit": (531, 153, 120, 50),
    "service": (679, 153, 120, 50),
    "forum": (827, 153, 120, 50),
}
NAV_LABELS = {
    "home": "官网首页",
    "deposit": "充值中心",
    "service": "客服中心",
    "forum": "游戏论坛",
}

CALM = (33, 33, 36)          # the flat ink under the pane and the buttons
PAPER = (236, 232, 222)      # pale "rice paper" tone for robe and letters
CINNABAR = (178, 34, 30)     # seal-paste red used for accents
ADVISORY = ("抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。",
            "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。")


# ---------------------------------------------------------------- helpers

def font(path, size, index=0):
    return ImageFont.truetype(path, size, index=index)


def smooth_noise(size, cells, seed, blur=0):
    """Low-frequency value noise: a coarse random grid scaled up smoothly.

    Smooth fields compress well in PNG, unlike per-pixel noise."""
    rng = random.Random(seed)
    cw, ch = cells
    small = Image.new("L", (cw, ch))
    small.putdata([rng.randrange(256) for _ in range(cw * ch)])
    big = small.resize(size, Image.BICUBIC)
    return big.filter(ImageFilter.GaussianBlur(blur)) if blur else big


def fbm(size, seed, octaves=((6, 5), (14, 11), (30, 23)), weights=None):
    """Sum of a few noise octaves, normalised back to 0..255."""
    weights = weights or [1.0 / (i + 1) for i in range(len(octaves))]
    total = sum(weights)
    acc = None
    for i, (cells, w) in enumerate(zip(octaves, weights)):
        n = smooth_noise(size, cells, seed * 31 + i, blur=2)
        term = ImageMath.eval("float(n) * k", n=n, k=w / total)
        acc = term if acc is None else ImageMath.eval("a + b", a=acc, b=term)
    return ImageMath.eval("convert(a, 'L')", a=acc)


def mix(a, b, mask):
    """b where mask is white, a where black."""
    return Image.composite(b, a, mask)


def solid(size, colour, mode="RGB"):
    return Image.new(mode, size, colour)


def spline(points, n=16):
    """Catmull-Rom curve through the points, so shapes and brush paths are
    given as a handful of knots that the curve actually passes through."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for j in range(n):
            t = j / n
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[k] + (-p0[k] + p2[k]) * t
                       + (2 * p0[k] - 5 * p1[k] + 4 * p2[k] - p3[k]) * t2
                       + (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3)
                for k in range(2)))
    out.append(tuple(points[-1]))
    return out


def normals(pts):
    out = []
    for i in range(len(pts)):
        a = pts[max(i - 1, 0)]
        b = pts[min(i + 1, len(pts) - 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        ln = math.hypot(dx, dy) or 1.0
        out.append((-dy / ln, dx / ln))
    return out


def brush_profile(t, head=0.06):
    """Width along a broad stroke: a blunt press at the start, then the
    bristles stay splayed to the end, as in a fast dry-brush sweep."""
    if t < head:
        return 0.55 + 0.45 * math.sin(t / head * math.pi / 2)
    return 1.0 - 0.12 * t


def tapered(draw, pts, width, fill, profile=None, scale=1.0, offset=(0, 0)):
    """Fill a stroke whose width follows profile(t) along pts."""
    profile = profile or (lambda t: math.sin(math.pi * t) ** 0.6)
    nrm = normals(pts)
    left, right = [], []
    n = len(pts) - 1 or 1
    for i, ((x, y), (nx, ny)) in enumerate(zip(pts, nrm)):
        w = max(width * profile(i / n), 0.3) / 2
        left.append(((x + nx * w) * scale + offset[0],
                     (y + ny * w) * scale + offset[1]))
        right.append(((x - nx * w) * scale + offset[0],
                      (y - ny * w) * scale + offset[1]))
    draw.polygon(left + right[::-1], fill=fill)


def bristle_stroke(mask, path, width, seed, bristles=70, dry=0.35,
                   ink=(150, 255), profile=brush_profile, wobble=0.04,
                   body=0.8):
    """Drag a dry brush along path onto an L mask.

    Each bristle is a thin line across the stroke.  Towards the end of its
    run a bristle keeps running dry for a while and picking up again, and
    the outer ones give out first: that leaves the streaky "flying white"
    and ragged ends of a real brush.  Bristles are drawn weakest first so
    where they overlap the strongest ink wins."""
    rng = random.Random(seed)
    d = ImageDraw.Draw(mask)
    nrm = normals(path)
    n = len(path) - 1
    hairs = []
    for _ in range(bristles):
        off = rng.uniform(-1, 1)
        edge = abs(off)
        # a rounded, slightly slanted tip where the brush touches down
        start = 0.012 * (off + 1) + 0.03 * edge ** 2 + rng.uniform(0, 0.01)
        end = 1 - rng.uniform(0, dry) * (0.3 + edge)
        # the belly of the brush is loaded; only the outer hairs are pale
        if rng.random() < (1 - edge) * 1.8:
            val = ink[1]
        else:
            val = int(rng.uniform(ink[0], ink[1]))
        bw = max(1, int(width / bristles * rng.uniform(1.5, 4.0)))
        phase = rng.uniform(0, 6.3)
        hairs.append((val, off, start, end, bw, phase))
    hairs.sort()
    if body:
        # the loaded belly of the brush leaves solid ink; it thins out to a
        # point so the streaky end grows out of it gradually
        stop = 1 - dry * 0.8

        def belly(t):
            if t > stop:
                return 0.0
            u = t / stop
            return body * profile(t) * min(1.0, u * 12, (1 - u) * 2.5)
        i1 = int(stop * n)
        tapered(d, path[:i1 + 1], width, ink[1],
                profile=lambda t: belly(t * stop))
    for val, off, start, end, bw, phase in hairs:
        edge = abs(off)
        i0, i1 = int(start * n), int(end * n)
        seg, wet, left = [], True, rng.randint(n // 4, n // 2)
        for i in range(i0, i1 + 1):
            t = i / n
            left -= 1
            if left <= 0:
                # later in the stroke the brush is drier: longer dry runs
                dry_odds = (t - 0.55) * 2.0 + edge ** 3 * 0.5
                wet = rng.random() > min(0.8, dry_odds)
                left = rng.randint(2, max(3, n // (8 if wet else 12)))
                if not wet and len(seg) > 1:
                    d.line(seg, fill=val, width=bw, joint="curve")
                    seg = []
            if not wet:
                continue
            x, y = path[i]
            nx, ny = nrm[i]
            w = width * profile(t) / 2
            o = off + wobble * math.sin(phase + t * 9)
            seg.append((x + nx * o * w, y + ny * o * w))
        if len(seg) > 1:
            d.line(seg, fill=val, width=bw, joint="curve")


# ------------------------------------------------------------- ink area

def calm_mask(grow=20, feather=22):
    """White over the pane and every button (with a margin), soft edged."""
    m = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(m)
    for x, y, w, h in [PANE] + list(BUTTON_RECTS.values()):
        d.rectangle((x - grow - feather, y - grow - feather,
                     x + w + grow + feather, y + h + grow + feather),
                    fill=255)
    # shrink back by blurring and re-thresholding, which rounds the corners
    m = m.filter(ImageFilter.GaussianBlur(feather))
    return m.point(lambda v: 255 if v >= 250 else int(v * 255 / 250))


def ink_core():
    """The solid heart of the brush area, sized to hold the pane and the
    buttons.  Its left and right sides break up in horizontal dry-brush
    streaks; the sweeps drawn over it make the top and bottom edges."""
    m = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(m)
    d.polygon(spline([(380, 110), (640, 100), (900, 100), (1060, 130),
                      (1114, 330), (1108, 600), (1060, 730), (820, 766),
                      (540, 762), (380, 736), (350, 520), (352, 250),
                      (380, 110)], 20), fill=255)
    m = m.filter(ImageFilter.GaussianBlur(16))
    wobble = smooth_noise((W, H), (24, 19), 11, blur=4)
    streak = smooth_noise((W, H), (W // 60, H // 3), 12)
    # the noise only acts near the edge (m around 128), so the inside stays
    # solid and nothing stray appears outside
    return ImageMath.eval(
        "convert((float(m) - 128 + ((float(n) - 128) * 0.4"
        " + (float(s) - 128) * 0.9) * (1 - abs(float(m) - 128) / 128.0))"
        " * 3 + 128, 'L')",
        m=m, n=wobble, s=streak)


def ink_strokes():
    """Broad dry-brush sweeps that give the area its ragged outer edge."""
    m = Image.new("L", (W, H), 0)
    sweeps = [
        # (knots, width, seed, dryness)
        ([(320, 150), (520, 130), (800, 124), (1000, 130), (1146, 118)],
         96, 1, 0.45),
        ([(330, 300), (620, 275), (900, 290), (1144, 262)], 170, 2, 0.3),
        ([(290, 560), (500, 520), (760, 540), (1000, 505), (1143, 470)],
         230, 3, 0.4),
        ([(1120, 700), (900, 748), (600, 766), (400, 770), (270, 752)],
         100, 4, 0.55),
    ]
    for knots, width, seed, dry in sweeps:
        bristle_stroke(m, spline(knots, 40), width, 100 + seed,
                       bristles=int(width * 0.6), dry=dry)
    return m.filter(ImageFilter.GaussianBlur(2))


def ground_layer():
    """Ink swept across the figure's feet, in front of it, so the robe
    sinks into the brush area instead of ending in a hard hem."""
    m = Image.new("L", (W, H), 0)
    bristle_stroke(m, spline([(560, 770), (380, 792), (220, 796), (50, 780)],
                             40), 80, 107, bristles=56, dry=0.6)
    bristle_stroke(m, spline([(470, 742), (330, 752), (180, 764), (90, 752)],
                             40), 40, 108, bristles=30, dry=0.7,
                   ink=(120, 255))
    layer = Image.new("RGBA", (W, H), CALM + (255,))
    layer.putalpha(m.filter(ImageFilter.GaussianBlur(1.2)))
    return layer


def ink_alpha():
    return ImageChops.lighter(ink_core(), ink_strokes())


# --------------------------------------------------------------- figure

class Painter:
    """Draws in figure units onto a supersampled RGBA canvas.

    The figure is described once in its own units and painted at any
    scale, so the skin and the icon show the same character."""

    def __init__(self, size, scale, origin, ss=3):
        self.size, self.ss = size, ss
        self.k = scale * ss
        self.o = (origin[0] * ss, origin[1] * ss)
        self.img = Image.new("RGBA", (size[0] * ss, size[1] * ss), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)
        # grey wash laid over the finished drawing, blurred so it looks wet
        self.shade_mask = Image.new("L", self.img.size, 0)
        self.sd = ImageDraw.Draw(self.shade_mask)

    def pt(self, p):
        return (p[0] * self.k + self.o[0], p[1] * self.k + self.o[1])

    def poly(self, knots, fill, n=12):
        self.d.polygon([self.pt(p) for p in spline(knots, n)], fill=fill)

    def stroke(self, knots, width, fill, profile=None, n=12):
        tapered(self.d, spline(knots, n), width, fill, profile=profile,
                scale=self.k, offset=self.o)

    def ellipse(self, c, rx, ry, fill):
        x, y = self.pt(c)
        self.d.ellipse((x - rx * self.k, y - ry * self.k,
                        x + rx * self.k, y + ry * self.k), fill=fill)

    def shade(self, knots, width, strength):
        tapered(self.sd, spline(knots, 12), width, strength,
                scale=self.k, offset=self.o)

    def done(self):
        img = self.img.resize(self.size, Image.LANCZOS)
        blur = max(1.0, 10 * self.k / self.ss)
        sh = self.shade_mask.resize(self.size, Image.BILINEAR).filter(
            ImageFilter.GaussianBlur(blur))
        keep = sh.point(lambda v: 255 - v * 6 // 10)
        rgb = ImageChops.multiply(img.convert("RGB"),
                                  Image.merge("RGB", (keep, keep, keep)))
        out = rgb.convert("RGBA")
        out.putalpha(img.getchannel("A"))
        return out


ROBE = PAPER + (255,)
CAPE = (74, 74, 80, 255)
HAIR = (12, 12, 14, 255)
SKIN = (241, 230, 214, 255)
LINE = (24, 24, 27, 255)
RED = CINNABAR + (255,)


def thin_end(t):
    return (1 - t) ** 0.8


def fig_back(p):
    """Cape and the long hair streaming out behind the figure."""
    p.poly([(240, 232), (185, 330), (140, 480), (100, 650), (70, 820),
            (52, 930), (120, 912), (170, 938), (210, 896), (232, 700),
            (252, 450), (262, 262), (240, 232)], CAPE)
    p.ellipse((298, 150), 46, 60, HAIR)
    rng = random.Random(7)
    for i in range(11):
        sx, sy = 305 - i * 4, 112 + i * 7
        ex = 150 - i * 9 + rng.uniform(-15, 15)
        ey = 300 + i * 32 + rng.uniform(-20, 20)
        p.stroke([(sx, sy), (sx - 40, sy + 60 + i * 6),
                  ((sx + ex) / 2 - 10, (sy + ey) / 2 + 30),
                  (ex + 25, ey - 25), (ex, ey)],
                 26 - i, HAIR, profile=thin_end)


def fig_sleeves(p):
    """The wide sleeves: one billowing in the wind, one holding the sword."""
    p.poly([(236, 236), (200, 270), (165, 360), (120, 460), (70, 540),
            (28, 586), (62, 602), (112, 612), (172, 600), (216, 560),
            (242, 498), (250, 400), (252, 300), (236, 236)], ROBE)
    p.poly([(40, 588), (80, 592), (130, 598), (168, 596), (120, 610),
            (62, 602), (40, 588)], CAPE)
    p.poly([(372, 238), (398, 282), (416, 352), (432, 430), (456, 500),
            (472, 566), (440, 574), (404, 560), (384, 520), (370, 450),
            (356, 350), (352, 280), (372, 238)], ROBE)


def fig_body(p):
    p.poly([(282, 200), (248, 222), (228, 240), (222, 300), (230, 400),
            (238, 460), (214, 600), (166, 770), (92, 948), (190, 972),
            (290, 962), (370, 974), (432, 956), (412, 780), (390, 600),
            (364, 460), (372, 380), (378, 300), (374, 242), (352, 222),
            (318, 200), (282, 200)], ROBE)
    # crossed collar, outer lapel over the inner one
    p.poly([(284, 198), (316, 198), (300, 236), (284, 198)], SKIN)
    p.stroke([(283, 200), (298, 232), (314, 264)], 12, CAPE,
             profile=lambda t: 1)
    p.stroke([(320, 200), (300, 250), (276, 310), (256, 362)], 14, CAPE,
             profile=lambda t: 1)
    # sash with its knot and the tails flying left
    p.poly([(234, 442), (300, 438), (368, 440), (370, 484), (300, 480),
            (236, 488), (234, 442)], RED)
    p.stroke([(236, 462), (300, 459), (368, 462)], 3, LINE)
    p.stroke([(294, 474), (262, 540), (204, 600), (134, 650), (80, 704)],
             18, RED, profile=thin_end)
    p.stroke([(302, 478), (276, 560), (226, 632), (172, 706)], 15, RED,
             profile=thin_end)
    p.ellipse((298, 466), 14, 12, RED)


def fig_folds(p):
    """Ink line work: folds and outlines, broken like brush lines."""
    grey = (150, 150, 154, 255)
    for knots, w in [
            ([(262, 500), (236, 660), (180, 900)], 5),
            ([(300, 500), (290, 700), (262, 940)], 4),
            ([(338, 500), (350, 700), (372, 930)], 5),
            ([(250, 620), (212, 760), (150, 930)], 3),
            ([(230, 300), (200, 420), (150, 520)], 4),
            ([(240, 330), (226, 460), (190, 560)], 3),
            ([(392, 330), (412, 430), (440, 540)], 4)]:
        p.stroke(knots, w, grey)
    for knots, w in [
            ([(226, 240), (200, 275), (165, 362), (120, 460), (70, 540),
              (30, 584)], 6),
            ([(238, 470), (214, 600), (166, 770), (94, 946)], 6),
            ([(364, 470), (390, 600), (412, 780), (430, 952)], 6),
            ([(376, 242), (400, 286), (418, 356), (434, 432), (458, 502),
              (472, 564)], 5),
            ([(248, 224), (232, 238)], 4),
            ([(352, 222), (374, 240)], 4)]:
        p.stroke(knots, w, LINE)


def fig_shading(p):
    """Where the wash gathers: under the arms, down the shadow side of the
    robe, beneath the sash."""
    for knots, w, s in [
            ([(250, 300), (240, 420), (215, 540), (170, 598)], 40, 150),
            ([(228, 245), (195, 300), (160, 380)], 25, 90),
            ([(236, 470), (215, 600), (175, 760), (110, 940)], 60, 140),
            ([(240, 498), (300, 494), (362, 498)], 24, 110),
            ([(300, 520), (292, 700), (270, 940)], 30, 70),
            ([(366, 470), (392, 600), (415, 780), (428, 950)], 40, 120),
            ([(356, 300), (372, 450), (404, 560)], 30, 120),
            ([(250, 260), (245, 380)], 30, 80),
            ([(60, 590), (120, 600), (170, 595)], 30, 110)]:
        p.shade(knots, w, s)


def fig_sword(p):
    steel = (196, 200, 206, 255)
    p.stroke([(431, 512), (446, 640), (460, 800), (471, 936)], 10, steel,
             profile=lambda t: 1 - t * 0.7)
    p.stroke([(431, 512), (446, 640), (460, 800), (471, 936)], 2,
             (90, 92, 98, 255), profile=lambda t: 1 - t)
    p.stroke([(412, 506), (450, 502)], 7, LINE, profile=lambda t: 1)
    p.stroke([(420, 440), (426, 470), (430, 504)], 8, (52, 36, 30, 255),
             profile=lambda t: 1)
    p.stroke([(420, 440), (404, 470), (396, 510), (398, 548)], 4, RED,
             profile=thin_end)
    # the hand stays inside the long cuff; only the grip shows below it
    p.poly([(406, 452), (436, 450), (446, 486), (428, 494), (406, 488),
            (406, 452)], ROBE)
    p.stroke([(406, 488), (428, 494), (446, 486)], 3, LINE)


def fig_head(p):
    p.poly([(288, 168), (312, 168), (316, 212), (284, 212), (288, 168)],
           (226, 212, 196, 255))
    p.ellipse((300, 140), 32, 41, SKIN)
    # hair cap: an arc over the crown closed by a parted fringe
    arc = [(300 + 40 * math.cos(math.radians(a)),
            128 + 46 * math.sin(math.radians(a))) for a in range(165, 376, 15)]
    fringe = [(338, 140), (326, 112), (306, 103), (300, 110), (292, 103),
              (272, 116), (262, 140)]
    p.d.polygon([p.pt(q) for q in arc] +
                [p.pt(q) for q in spline(fringe, 8)], fill=HAIR)
    p.stroke([(268, 116), (262, 170), (256, 224)], 10, HAIR)
    p.stroke([(333, 116), (340, 170), (347, 216)], 10, HAIR)
    # topknot, jade crown, hairpin, and the ribbons flying left
    p.ellipse((300, 80), 21, 17, HAIR)
    p.poly([(285, 84), (288, 68), (300, 62), (312, 68), (315, 84),
            (285, 84)], (190, 204, 190, 255))
    p.stroke([(258, 84), (300, 76), (342, 68)], 4, (206, 182, 120, 255),
             profile=lambda t: 1)
    p.stroke([(286, 80), (240, 74), (190, 98), (140, 86), (92, 110),
              (54, 98)], 11, ROBE, profile=thin_end)
    p.stroke([(288, 88), (236, 98), (186, 130), (132, 122), (84, 150)], 8,
             (150, 150, 156, 255), profile=thin_end)
    # face: brows, eyes, a hint of nose and mouth, turned a little right
    p.stroke([(280, 127), (288, 123), (297, 124)], 4, LINE)
    p.stroke([(308, 124), (317, 123), (326, 128)], 4, LINE)
    p.ellipse((291, 141), 3.2, 3.0, LINE)
    p.ellipse((316, 141), 3.2, 3.0, LINE)
    p.stroke([(282, 140), (290, 137), (299, 139)], 3.4, LINE)
    p.stroke([(308, 139), (316, 137), (325, 141)], 3.4, LINE)
    p.stroke([(306, 149), (303, 160)], 2, (150, 132, 120, 255))
    p.stroke([(295, 172), (302, 173), (309, 172)], 3, (168, 72, 62, 255))


def ink_wash(img, scale, origin, seed=3):
    """Darken the figure towards the hem, as if the wash was laid on with
    a wetter brush lower down, with a slow mottle on top."""
    w, h = img.size
    col = Image.new("L", (1, h))
    rows = []
    for y in range(h):
        u = (y - origin[1]) / scale          # back to figure units
        t = min(1.0, max(0.0, (u - 430) / 520))
        rows.append(int(255 * (1 - 0.5 * t * t * (3 - 2 * t))))
    col.putdata(rows)
    grad = col.resize((w, h))
    mottle = smooth_noise((w, h), (max(2, w // 90), max(2, h // 90)), seed,
                          blur=3)
    f = ImageMath.eval("convert(float(g) * (0.94 + float(m) / 2550), 'L')",
                       g=grad, m=mottle)
    rgb = ImageChops.multiply(img.convert("RGB"), Image.merge("RGB", (f, f, f)))
    out = rgb.convert("RGBA")
    out.putalpha(img.getchannel("A"))
    return out


def figure(size, scale, origin, ss=3):
    p = Painter(size, scale, origin, ss)
    fig_back(p)
    fig_sleeves(p)
    fig_body(p)
    fig_shading(p)
    fig_folds(p)
    fig_sword(p)
    fig_head(p)
    return ink_wash(p.done(), scale, origin)


def dissolve(img, y0, y1, seed):
    """Fade the bottom of a layer out in dry, horizontal brush streaks."""
    w, h = img.size
    ramp = Image.new("L", (1, h))
    ramp.putdata([int(255 * min(1.0, max(0.0, (y1 - y) / (y1 - y0))))
                  for y in range(h)])
    ramp = ramp.resize((w, h))
    streak = smooth_noise((w, h), (w // 40, h // 5), seed, blur=1)
    a = ImageMath.eval(
        "convert(float(a) * min(max("
        "((float(r) - 128) + (float(s) - 128) * 0.5) / 70.0 + 0.5,"
        " 0.0), 1.0), 'L')",
        a=img.getchannel("A"), r=ramp, s=streak)
    out = img.copy()
    out.putalpha(a)
    return out


# ----------------------------------------------------------------- skin

FIG_SCALE, FIG_ORIGIN = 0.75, (46, 96)


def ink_layer():
    """Near-black ink with slow, wash-like tone changes; perfectly flat
    under the pane and the buttons."""
    wash = fbm((W, H), 21)
    streak = smooth_noise((W, H), (8, 150), 22, blur=1)
    v = ImageMath.eval(
        "convert(33 + (float(w) - 128) * 0.06 + (float(s) - 128) * 0.03, 'L')",
        w=wash, s=streak)
    rgb = Image.merge("RGB", (v, v, v.point(lambda x: x + 3)))
    calm = calm_mask()
    rgb = mix(rgb, solid((W, H), CALM), calm)
    layer = rgb.convert("RGBA")
    # the client draws opaque things over the calm zone, so it must be solid
    # there whatever the brush edges did; only its inner part counts, as the
    # faint tails of the blur would otherwise reach the window edges
    solid_core = calm.point(lambda v: max(0, v - 128) * 2)
    layer.putalpha(ImageChops.lighter(ink_alpha(), solid_core))
    return layer


def ridge(rng, x0, x1, base, peaks):
    """Outline of a range of soft ink mountains: a sum of round bumps."""
    bumps = [(rng.uniform(x0, x1), rng.uniform(0.35, 1.0),
              rng.uniform(45, 120)) for _ in range(peaks)]
    pts = []
    for x in range(x0, x1 + 1, 4):
        h = sum(a * math.exp(-((x - c) / w) ** 2) for c, a, w in bumps)
        pts.append((x, base - min(1.0, h) * 70))
    return pts


def mountains(layer):
    """Faint ink mountains low in the brush area, fading into mist."""
    rng = random.Random(31)
    tone = layer.copy()
    for base, grey, peaks in [(744, 44, 7), (780, 40, 9)]:
        m = Image.new("L", (W, H), 0)
        top = ridge(rng, 300, 1140, base, peaks)
        ImageDraw.Draw(m).polygon(top + [(1140, H), (300, H)], fill=255)
        # mist: each range fades out downwards
        fade = Image.linear_gradient("L").resize((W, 90))
        fade = fade.point(lambda v: 255 - v)
        mist = Image.new("L", (W, H), 0)
        mist.paste(fade, (0, base - 40))
        mist.paste(255, (0, 0, W, base - 40))
        m = ImageChops.multiply(m.filter(ImageFilter.GaussianBlur(1.5)),
                                mist)
        tone = mix(tone, solid((W, H), (grey, grey, grey + 3, 255), "RGBA"),
                   m)
    # keep the ink's own alpha: mountains only tint the brush area
    tone.putalpha(layer.getchannel("A"))
    return tone


def sun():
    """A red sun behind the figure's head: the one strong colour, and the
    dark hair reads well against it."""
    cx, cy, r = 200, 240, 98
    m = Image.new("L", (W, H), 0)
    ImageDraw.Draw(m).ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
    m = m.filter(ImageFilter.GaussianBlur(2.5))
    # a slow wash so the disc looks painted rather than printed
    shade = smooth_noise((W, H), (26, 20), 41, blur=8)
    r_ = ImageMath.eval("convert(176 + (float(s) - 128) * 0.22, 'L')", s=shade)
    g_ = ImageMath.eval("convert(36 + (float(s) - 128) * 0.06, 'L')", s=shade)
    layer = Image.merge("RGBA", (r_, g_, g_.point(lambda x: x - 4), m))
    return layer


def text_layer(draw_fn):
    layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer))
    return layer


def calligraphy(d):
    """A vertical line of verse down the right of the brush area."""
    f = font(UKAI, 42)
    x, y = 1071, 300
    for ch in "江湖夜雨十年灯":
        d.text((x, y), ch, font=f, fill=(222, 216, 204, 255))
        y += 48
    seal(d, (1078, y + 10), "墨侠")


def seal(d, at, chars, size=28):
    """A square-cornered red seal with white characters stacked in it."""
    x, y = at
    h = size * len(chars) + 6
    d.rectangle((x, y, x + size + 4, y + h), fill=CINNABAR + (255,))
    f = font(UKAI, size - 2)
    for i, ch in enumerate(chars):
        d.text((x + 3, y + 3 + i * size), ch, font=f, fill=(246, 236, 224, 255))


def advisory(d):
    f = font(UKAI, 14)
    for i, line in enumerate(ADVISORY):
        w = d.textlength(line, font=f)
        d.text((745 - w / 2, 740 + i * 20), line, font=f,
               fill=(150, 150, 150, 255))


def rough_text(text, fnt, seed, ss=2, rough=0.55):
    """Text as an L mask with ragged, brush-like edges: the glyphs are
    blurred, pushed around by noise and cut again."""
    big = font(fnt.path, int(fnt.size * ss))
    x0, y0, x1, y1 = big.getbbox(text)
    pad = 12 * ss
    m = Image.new("L", (x1 - x0 + 2 * pad, y1 - y0 + 2 * pad), 0)
    ImageDraw.Draw(m).text((pad - x0, pad - y0), text, font=big, fill=255)
    m = m.filter(ImageFilter.GaussianBlur(1.6 * ss))
    n = smooth_noise(m.size, (m.size[0] // (6 * ss), m.size[1] // (6 * ss)),
                     seed)
    m = ImageMath.eval(
        "convert((float(m) - 128 + (float(n) - 128) * r) * 4 + 128, 'L')",
        m=m, n=n, r=rough)
    return m.resize((m.size[0] // ss, m.size[1] // ss), Image.LANCZOS)


def logo(d, layer):
    """Title at the top left: a dark brush sweep, the Latin name in pale
    brush lettering, and a CJK subtitle with a small seal."""
    sweep = Image.new("L", (W, H), 0)
    bristle_stroke(sweep, spline([(40, 80), (150, 66), (300, 62), (400, 70)],
                                 30), 86, 61, bristles=56, dry=0.5,
                   ink=(150, 255), body=0.85)
    sweep = sweep.filter(ImageFilter.GaussianBlur(1))
    ink = Image.new("RGBA", (W, H), (14, 14, 16, 255))
    ink.putalpha(sweep)
    layer.alpha_composite(ink)

    title = rough_text("Quorvane", font(SERIF_BI, 66), 62)
    at = (40, 24)
    shadow = Image.new("RGBA", title.size, (0, 0, 0, 255))
    shadow.putalpha(title.filter(ImageFilter.GaussianBlur(4)))
    layer.alpha_composite(shadow, (at[0] + 3, at[1] + 4))
    face = Image.new("RGBA", title.size, PAPER + (255,))
    face.putalpha(title)
    layer.alpha_composite(face, at)

    f = font(UKAI, 26)
    x = 92
    for ch in "墨影江湖":
        d.text((x, 108), ch, font=f, fill=(230, 224, 212, 255),
               stroke_width=2, stroke_fill=(10, 10, 12, 255))
        x += 36
    d.rectangle((x + 4, 110, x + 30, 136), fill=CINNABAR + (255,))
    d.text((x + 5, 110), "侠", font=font(UKAI, 24), fill=(246, 236, 224, 255))


def logo_layer():
    layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    logo(ImageDraw.Draw(layer), layer)
    return layer


def skin():
    """The login window: layers painted back to front."""
    img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    img.alpha_composite(sun())
    img.alpha_composite(mountains(ink_layer()))
    img.alpha_composite(dissolve(figure((W, H), FIG_SCALE, FIG_ORIGIN),
                                 730, 800, 51))
    img.alpha_composite(ground_layer())
    img.alpha_composite(text_layer(calligraphy))
    img.alpha_composite(text_layer(advisory))
    img.alpha_composite(logo_layer())
    return img


# -------------------------------------------------------------- buttons

def supersampled(size, bg, draw_fn, ss=4):
    """Draw at ss times the size and scale down: cheap anti-aliasing that
    leaves a flat background exactly the colour it was filled with."""
    big = Image.new("RGB", (size[0] * ss, size[1] * ss), bg)
    draw_fn(ImageDraw.Draw(big), ss)
    return big.resize(size, Image.LANCZOS)


def round_button(bg, fill, ring, glyph):
    def draw(d, s):
        c, r = 25 * s, 17 * s
        d.ellipse((c - r - 2 * s, c - r - 2 * s, c + r + 2 * s, c + r + 2 * s),
                  fill=ring)
        d.ellipse((c - r, c - r, c + r, c + r), fill=fill)
        white = (246, 244, 240)
        if glyph == "bar":
            d.rounded_rectangle((c - 8 * s, c - 1.5 * s, c + 8 * s, c + 1.5 * s),
                                radius=1.5 * s, fill=white)
        else:
            a = 6.5 * s
            for dx in (-a, a):
                d.line((c - dx, c - a, c + dx, c + a), fill=white,
                       width=int(3 * s))
    return supersampled((50, 50), bg, draw)


def nav_button(bg, label, colour, seed):
    """A dark ink stroke with the label written over it."""
    ss = 4
    w, h = 120, 50
    mask = Image.new("L", (w * ss, h * ss), 0)
    bristle_stroke(mask, spline([(8 * ss, 28 * ss), (40 * ss, 24 * ss),
                                 (80 * ss, 25 * ss), (112 * ss, 23 * ss)], 30),
                   30 * ss, seed, bristles=40, dry=0.45, ink=(140, 255))
    mask = mask.filter(ImageFilter.GaussianBlur(ss * 0.6))
    big = Image.new("RGB", mask.size, bg)
    big = mix(big, solid(mask.size, (12, 12, 14)), mask)
    d = ImageDraw.Draw(big)
    f = font(UKAI, 21 * ss)
    tw = d.textlength(label, font=f)
    x0, y0, x1, y1 = d.textbbox((0, 0), label, font=f)
    pos = ((w * ss - tw) / 2, (h * ss - (y1 - y0)) / 2 - y0)
    d.text((pos[0] + ss, pos[1] + ss), label, font=f, fill=(0, 0, 0))
    d.text(pos, label, font=f, fill=colour)
    return big.resize((w, h), Image.LANCZOS)


def skin_colour_at(img, rect):
    """Mean colour of the skin under a rectangle."""
    x, y, w, h = rect
    px = list(img.crop((x, y, x + w, y + h)).convert("RGB").getdata())
    return tuple(round(sum(p[i] for p in px) / len(px)) for i in range(3))


def buttons(skin_img):
    out = {}
    for name, rect in BUTTON_RECTS.items():
        bg = skin_colour_at(skin_img, rect)
        if name == "min":
            out["min"] = round_button(bg, (20, 20, 22), (92, 92, 96), "bar")
            out["min_hover"] = round_button(bg, (112, 112, 118),
                                            (170, 170, 176), "bar")
        elif name == "close":
            out["close"] = round_button(bg, (190, 38, 32), (120, 24, 20),
                                        "cross")
            out["close_hover"] = round_button(bg, (232, 88, 74),
                                              (160, 44, 36), "cross")
        else:
            seed = 200 + len(out)
            label = NAV_LABELS[name]
            out[name] = nav_button(bg, label, (242, 238, 230), seed)
            out[name + "_hover"] = nav_button(bg, label, (228, 58, 44), seed)
    return out


# ----------------------------------------------------------------- icon

ICON_SIZES = (16, 32, 48, 64, 128, 256)


def icon_master(size=1024):
    """Head and shoulders of the skin's figure on a rounded ink tile with
    the red sun behind."""
    tile = Image.new("L", (size, size), 0)
    ImageDraw.Draw(tile).rounded_rectangle((0, 0, size - 1, size - 1),
                                           radius=size // 7, fill=255)
    shade = Image.linear_gradient("L").resize((size, size))
    v = shade.point(lambda t: 22 + t * 26 // 255)
    img = Image.merge("RGBA", (v, v, v.point(lambda x: x + 3), tile))
    sun_m = Image.new("L", (size, size), 0)
    c, r = (size * 0.5, size * 0.36), size * 0.34
    ImageDraw.Draw(sun_m).ellipse((c[0] - r, c[1] - r, c[0] + r, c[1] + r),
                                  fill=255)
    sun_l = Image.new("RGBA", (size, size), CINNABAR + (255,))
    sun_l.putalpha(ImageChops.multiply(sun_m, tile))
    img.alpha_composite(sun_l)
    scale = size / 280
    origin = (size / 2 - 300 * scale, size / 2 - 176 * scale)
    fig = figure((size, size), scale, origin, ss=2)
    fig.putalpha(ImageChops.multiply(fig.getchannel("A"), tile))
    img.alpha_composite(fig)
    return img


def icon_images():
    master = icon_master()
    out = []
    for s in ICON_SIZES:
        im = master.resize((s, s), Image.LANCZOS)
        if s <= 32:
            # small sizes lose their lines to averaging; sharpen them back
            im = im.filter(ImageFilter.UnsharpMask(1, 80, 0))
        out.append(im)
    return out


def ico_bytes(images):
    """An .ico with every image as an uncompressed 32-bpp DIB (BGRA
    bottom-up plus the 1-bpp AND mask), which every Windows loader reads."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for im in images:
        w, h = im.size
        rows = []
        mask_rows = []
        stride = ((w + 31) // 32) * 4
        px = im.load()
        for y in range(h - 1, -1, -1):
            row = bytearray()
            bits = bytearray(stride)
            for x in range(w):
                r, g, b, a = px[x, y]
                row += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            rows.append(bytes(row))
            mask_rows.append(bytes(bits))
        xor, and_ = b"".join(rows), b"".join(mask_rows)
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                             len(xor) + len(and_), 0, 0, 0, 0)
        blob = header + xor + and_
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + \
        b"".join(blobs)


# ------------------------------------------------------------ PNG files

def srgb_icc():
    """lcms's built-in sRGB profile with its creation date pinned, so the
    bytes do not change from run to run."""
    b = bytearray(ImageCms.ImageCmsProfile(
        ImageCms.createProfile("sRGB")).tobytes())
    b[24:36] = struct.pack(">6H", 2024, 1, 1, 0, 0, 0)
    if any(b[84:100]):
        # the profile ID is an MD5 over the profile with these zeroed
        tmp = bytearray(b)
        tmp[44:48] = tmp[64:68] = bytes(4)
        tmp[84:100] = bytes(16)
        b[84:100] = hashlib.md5(tmp).digest()
    return bytes(b)


# sRGB white point and primaries, as 100000 * (x, y)
CHRM = struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000,
                   15000, 6000)


def png_bytes(img, icc):
    info = PngInfo()
    info.add(b"cHRM", CHRM)
    buf = io.BytesIO()
    img.save(buf, "PNG", optimize=True, icc_profile=icc, dpi=(96, 96),
             pnginfo=info)
    return buf.getvalue()


def png_chunks(data):
    pos, out = 8, {}
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        out.setdefault(kind.decode(), data[pos + 8:pos + 8 + n])
        pos += 12 + n
    return out


def quantise(img, step=2):
    """Round colour channels to even values: invisible on dark ink, and
    fewer distinct values lets the slow gradients compress better."""
    chans = list(img.split())
    lut = [min(255, (v + step // 2) // step * step) for v in range(256)]
    for i in range(3):
        chans[i] = chans[i].point(lut)
    return Image.merge(img.mode, chans)


# ---------------------------------------------------------------- checks

def check(cond, msg):
    if not cond:
        sys.exit("make_art: " + msg)


def check_skin(img):
    check(img.size == (W, H) and img.mode == "RGBA", "skin size/mode")
    a = img.getchannel("A")
    for p in [(0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1),
              (W // 2, 0), (W // 2, H - 1), (0, H // 2), (W - 1, H // 2)]:
        check(a.getpixel(p) == 0, "skin not transparent at %s" % (p,))
    for name, (x, y, w, h) in [("pane", PANE)] + list(BUTTON_RECTS.items()):
        lo, _ = a.crop((x, y, x + w, y + h)).getextrema()
        check(lo >= 237, "skin alpha %d under %s" % (lo, name))
    for name, (x, y, w, h) in BUTTON_RECTS.items():
        ext = img.crop((x, y, x + w, y + h)).convert("RGB").getextrema()
        spread = max(hi - lo for lo, hi in ext)
        check(spread <= 2, "skin not flat under %s (%d)" % (name, spread))
    hist = a.histogram()
    n = W * H
    opaque, clear = hist[255] / n, hist[0] / n
    part = 1 - opaque - clear
    print("skin alpha: %.1f%% opaque, %.1f%% transparent, %.1f%% partial"
          % (opaque * 100, clear * 100, part * 100))
    for got, want, what in [(opaque, 0.65, "opaque"), (clear, 0.27, "clear"),
                            (part, 0.09, "partial")]:
        check(abs(got - want) <= 0.025, "skin %s share %.3f" % (what, got))


def check_button_blend(skin_img, name, img):
    """The button's outer rim must match the skin it is drawn over."""
    x, y, w, h = BUTTON_RECTS[name.replace("_hover", "")]
    diff = ImageChops.difference(
        img, skin_img.crop((x, y, x + w, y + h)).convert("RGB"))
    inner = Image.new("L", (w, h), 255)
    inner.paste(0, (2, 2, w - 2, h - 2))
    worst = max(hi for _, hi in ImageChops.multiply(
        diff, Image.merge("RGB", (inner,) * 3)).getextrema())
    check(worst <= 2, "%s edge differs from the skin by %d" % (name, worst))


def check_png(name, data, mode, size):
    c = png_chunks(data)
    w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", c["IHDR"])
    check((w, h) == size, name + " size")
    check(depth == 8 and interlace == 0, name + " depth/interlace")
    check(ctype == {"RGB": 2, "RGBA": 6}[mode], name + " colour type")
    for kind in ("cHRM", "iCCP", "pHYs"):
        check(kind in c, name + " lacks " + kind)


def check_ico(data):
    _, kind, count = struct.unpack("<HHH", data[:6])
    check(kind == 1 and count == len(ICON_SIZES), "icon directory")
    for i, s in enumerate(ICON_SIZES):
        w, h, _, _, planes, bpp, n, off = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        check((w or 256, h or 256) == (s, s) and bpp == 32, "icon entry %d" % s)
        hdr = struct.unpack("<IiiHHI", data[off:off + 20])
        check(hdr == (40, s, 2 * s, 1, 32, 0), "icon DIB header %d" % s)
        check(n == 40 + s * s * 4 + ((s + 31) // 32) * 4 * s,
              "icon image size %d" % s)


# ------------------------------------------------------------------ main

def main():
    for path, package in [(UKAI, "fonts-arphic-ukai"),
                          (SERIF_BI, "fonts-dejavu-extra")]:
        check(os.path.exists(path), "missing %s (Debian package %s)"
              % (path, package))
    os.makedirs(OUT, exist_ok=True)
    icc = srgb_icc()
    sk = quantise(skin())
    check_skin(sk)
    files = {"skin.png": png_bytes(sk, icc)}
    check_png("skin.png", files["skin.png"], "RGBA", (W, H))
    for name, im in buttons(sk).items():
        check_button_blend(sk, name, im)
        fname = name + ".png"
        files[fname] = png_bytes(im, icc)
        check_png(fname, files[fname], "RGB", im.size)
    files["quorvane.ico"] = ico_bytes(icon_images())
    check_ico(files["quorvane.ico"])
    check(len(files["skin.png"]) <= 560 * 1024, "skin.png too big")
    for fname, data in sorted(files.items()):
        with open(os.path.join(OUT, fname), "wb") as fh:
            fh.write(data)
        print("%-20s %8d bytes" % (fname, len(data)))
    print("total %d bytes" % sum(len(d) for d in files.values()))


if __name__ == "__main__":
    main()
