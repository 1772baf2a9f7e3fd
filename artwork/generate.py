#!/usr/bin/python3
"""Draws every picture of the compiled-in tables and writes them as C++ sources.

One flat style throughout: white surfaces, one blue accent, grey for what is
disabled. State pictures differ visibly: hover is lighter, pressed darker,
focus carries a ring, disabled is grey. The sizes are fixed by the window
layouts, so they live in the TABLES below and nowhere else.

Usage: generate.py OUT_DIR [--contact-sheet FILE.png]
OUT_DIR receives png/<table>/<name>, <table>.cpp for each table, sizes.txt.
"""

import io
import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
LICENCE = os.path.join(HERE, "licence_zh-CN.txt")
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

ACCENT = (43, 124, 233)
ACCENT_HOVER = (84, 152, 242)
ACCENT_DOWN = (27, 94, 189)
GREY = (196, 200, 206)
GREY_TEXT = (150, 154, 160)
INK = (38, 42, 48)
LINE = (222, 225, 230)
WHITE = (255, 255, 255)
DANGER = (226, 72, 60)

STATE = {
    "normal": ACCENT, "hover": ACCENT_HOVER, "pressed": ACCENT_DOWN, "pushed": ACCENT_DOWN,
    "click": ACCENT_DOWN, "down": ACCENT_DOWN, "press": ACCENT_DOWN, "pressdown": ACCENT_DOWN,
    "focus": ACCENT, "disable": GREY, "default": ACCENT,
}


def state_of(name):
    for key in ("pressdown", "pushed", "pressed", "click", "down", "press", "hover", "focus", "disable", "normal"):
        if key in name:
            return key
    return "normal"


def font(path, size):
    try:
        return ImageFont.truetype(path, size)
    except OSError:
        return ImageFont.load_default()


def canvas(w, h, fill=(0, 0, 0, 0)):
    img = Image.new("RGBA", (w, h), fill)
    return img, ImageDraw.Draw(img)


def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def rounded(d, box, r, fill=None, outline=None, width=1):
    d.rounded_rectangle(box, radius=r, fill=fill, outline=outline, width=width)


def centred_text(d, w, h, text, f, fill, dy=0):
    box = d.textbbox((0, 0), text, font=f)
    tw, th = box[2] - box[0], box[3] - box[1]
    d.text(((w - tw) / 2 - box[0], (h - th) / 2 - box[1] + dy), text, font=f, fill=fill)


# ---- kinds of picture -------------------------------------------------------

def button(w, h, name, radius=3):
    """A filled button face; small ones are nine-slice sources."""
    s = state_of(name)
    img, d = canvas(w, h)
    colour = STATE[s]
    rounded(d, (0, 0, w - 1, h - 1), min(radius, h // 2), fill=rgba(colour))
    if s == "focus":
        rounded(d, (1, 1, w - 2, h - 2), max(1, min(radius, h // 2) - 1), outline=rgba(WHITE, 200))
    if s in ("hover",):
        d.line((radius, 1, w - 1 - radius, 1), fill=rgba(WHITE, 90))
    return img


def outline_button(w, h, name):
    """Secondary button: white face, border in the state colour."""
    s = state_of(name)
    img, d = canvas(w, h)
    border = STATE[s]
    face = {"hover": (240, 246, 255), "pressed": (222, 234, 252), "down": (222, 234, 252),
            "disable": (246, 247, 248)}.get(s, WHITE)
    rounded(d, (0, 0, w - 1, h - 1), 3, fill=rgba(face), outline=rgba(border))
    return img


def checkbox(w, h, name):
    s = state_of(name)
    selected = "selected" in name
    img, d = canvas(w, h)
    colour = STATE[s]
    if selected:
        rounded(d, (0, 0, w - 1, h - 1), 3, fill=rgba(colour))
        # check mark
        pts = [(w * 0.22, h * 0.52), (w * 0.42, h * 0.72), (w * 0.78, h * 0.30)]
        d.line(pts, fill=rgba(WHITE), width=2 if w >= 15 else 1)
    else:
        face = {"hover": (240, 246, 255), "pressdown": (222, 234, 252), "disable": (240, 241, 243)}.get(s, WHITE)
        border = GREY if s in ("normal", "default", "disable") and s != "hover" else colour
        if s == "hover" or s == "pressdown":
            border = colour
        rounded(d, (0, 0, w - 1, h - 1), 3, fill=rgba(face), outline=rgba(border))
    return img


def glyph_button(w, h, name, glyph, danger=False):
    """Caption buttons (close, min, max, restore): a glyph, a background on hover/press."""
    s = state_of(name)
    img, d = canvas(w, h)
    if s in ("hover", "down", "press", "pressed", "click"):
        if danger:
            bg = DANGER if s == "hover" else (190, 50, 40)
        else:
            bg = (228, 231, 236) if s == "hover" else (206, 211, 218)
        d.rectangle((0, 0, w - 1, h - 1), fill=rgba(bg))
    ink = WHITE if danger and s != "normal" else (90, 96, 104)
    cx, cy = w / 2, h / 2
    r = min(w, h) * 0.2
    if glyph == "close":
        d.line((cx - r, cy - r, cx + r, cy + r), fill=rgba(ink), width=1)
        d.line((cx - r, cy + r, cx + r, cy - r), fill=rgba(ink), width=1)
    elif glyph == "min":
        d.line((cx - r, cy, cx + r, cy), fill=rgba(ink), width=1)
    elif glyph == "max":
        d.rectangle((cx - r, cy - r, cx + r, cy + r), outline=rgba(ink))
    elif glyph == "restore":
        d.rectangle((cx - r + 2, cy - r, cx + r, cy + r - 2), outline=rgba(ink))
        d.rectangle((cx - r, cy - r + 2, cx + r - 2, cy + r), outline=rgba(ink), fill=rgba(bg) if s != "normal" else None)
    return img


def edit(w, h, name):
    s = state_of(name)
    img, d = canvas(w, h)
    border = {"normal": GREY, "hover": ACCENT_HOVER, "focus": ACCENT, "pressdown": ACCENT_DOWN, "disable": LINE}[s]
    face = (245, 246, 248) if s == "disable" else WHITE
    rounded(d, (0, 0, w - 1, h - 1), 2, fill=rgba(face), outline=rgba(border))
    return img


def head(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((0, 0, w - 1, h - 1), fill=rgba((214, 228, 248)))
    d.ellipse((w * 0.32, h * 0.18, w * 0.68, h * 0.54), fill=rgba(ACCENT))
    d.pieslice((w * 0.16, h * 0.58, w * 0.84, h * 1.25), 180, 360, fill=rgba(ACCENT))
    return img


def icon_background(w, h, name):
    s = state_of(name)
    img, d = canvas(w, h)
    rounded(d, (0, 0, w - 1, h - 1), 4, fill=rgba(ACCENT, 40 if s == "hover" else 90))
    return img


def notice(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((0, 0, w - 1, h - 1), fill=rgba((244, 166, 35)))
    d.line((w / 2, h * 0.22, w / 2, h * 0.6), fill=rgba(WHITE), width=2)
    d.point((w // 2, int(h * 0.76)), fill=rgba(WHITE))
    d.point((w // 2 - 1, int(h * 0.76)), fill=rgba(WHITE))
    return img


def app_icon(w, h, name=""):
    """The product mark: a speech bubble with three sound bars."""
    img, d = canvas(w, h)
    rounded(d, (0, 0, w - 1, int(h * 0.8)), max(2, w // 5), fill=rgba(ACCENT))
    d.polygon([(w * 0.25, h * 0.75), (w * 0.25, h - 1), (w * 0.5, h * 0.75)], fill=rgba(ACCENT))
    bars = [0.35, 0.55, 0.3]
    bw = max(1, w // 8)
    for i, frac in enumerate(bars):
        x = w * (0.28 + 0.22 * i)
        top = h * 0.4 - h * frac / 2
        d.rectangle((x, top, x + bw - 1, top + h * frac), fill=rgba(WHITE))
    return img


def shadow_mask(w, h, name, spread=None, radius=6):
    """Soft shadow around a transparent middle: windows draw it as a nine-slice border."""
    spread = spread or max(4, min(w, h) // 6)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    px = img.load()
    for y in range(h):
        for x in range(w):
            dx = max(spread - x, 0, x - (w - 1 - spread))
            dy = max(spread - y, 0, y - (h - 1 - spread))
            dist = (dx * dx + dy * dy) ** 0.5
            if dist == 0:
                continue
            a = int(60 * max(0.0, 1.0 - dist / spread) ** 2)
            px[x, y] = (0, 0, 0, a)
    return img


def slider(w, h, name):
    s = state_of(name)
    img, d = canvas(w, h)
    colour = {"normal": (190, 195, 202), "hover": (150, 156, 165), "pressdown": ACCENT}[s]
    d.rectangle((0, 0, w - 1, h - 1), fill=rgba(colour))
    return img


def scroll_bk(w, h, name):
    img, d = canvas(w, h, rgba((241, 242, 244)))
    return img


def solid(colour):
    def draw(w, h, name):
        img, _ = canvas(w, h, rgba(colour))
        return img
    return draw


def progress(w, h, name):
    img, d = canvas(w, h, rgba(ACCENT))
    d.line((0, 0, w - 1, 0), fill=rgba(ACCENT_HOVER))
    return img


def banner(w, h, name):
    """The installer's top picture: accent gradient, sound waves, the product word."""
    img = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        c = tuple(int(ACCENT[i] * (1 - t) + ACCENT_DOWN[i] * t) for i in range(3))
        d.line((0, y, w, y), fill=rgba(c))
    for i in range(6):
        r = 60 + i * 34
        d.ellipse((w * 0.78 - r, h * 0.5 - r, w * 0.78 + r, h * 0.5 + r), outline=rgba(WHITE, 50 - i * 7), width=2)
    mark = app_icon(64, 64)
    img.alpha_composite(Image.new("RGBA", (72, 72), rgba(WHITE, 0)), (0, 0))
    tile, td = canvas(80, 80)
    rounded(td, (0, 0, 79, 79), 18, fill=rgba(WHITE))
    img.alpha_composite(tile, (int(w * 0.5) - 40, int(h * 0.3) - 40))
    img.alpha_composite(mark, (int(w * 0.5) - 32, int(h * 0.3) - 30))
    centred_text(d, w, h, "Quor", font(SANS_BOLD, 44), rgba(WHITE), dy=int(h * 0.12))
    centred_text(d, w, h, "清晰畅聊，随时相见", font(CJK, 18), rgba(WHITE, 220), dy=int(h * 0.30))
    return img


def prompt_bk(w, h, name):
    img, d = canvas(w, h)
    d.rectangle((0, 0, w - 1, h - 1), fill=rgba(WHITE), outline=rgba(LINE))
    d.rectangle((1, 1, w - 2, 30), fill=rgba((246, 248, 251)))
    d.line((1, 31, w - 2, 31), fill=rgba(LINE))
    return img


def chevron(w, h, name):
    s = state_of(name)
    img, d = canvas(w, h)
    colour = {"normal": GREY_TEXT, "hover": ACCENT_HOVER, "click": ACCENT_DOWN}[s]
    if s != "normal":
        d.ellipse((0, 0, w - 1, h - 1), fill=rgba(ACCENT, 30))
    up = "collapse" in name
    cx, cy = w / 2, h / 2
    if up:
        d.line([(cx - 4, cy + 2), (cx, cy - 2), (cx + 4, cy + 2)], fill=rgba(colour), width=2)
    else:
        d.line([(cx - 4, cy - 2), (cx, cy + 2), (cx + 4, cy - 2)], fill=rgba(colour), width=2)
    return img


SLIDES = [
    ("高清语音", "多人通话依然清晰自然", "wave"),
    ("随时连接", "好友在线，一点即通", "link"),
    ("轻巧省心", "占用更少，运行更稳", "leaf"),
]


def slide(w, h, name):
    """Pictures shown while the files are written: one idea each, with a caption."""
    index = 0
    if "_2_" in name:
        index = 1
    elif "_3_" in name:
        index = 2
    background = "background" in name
    title, caption, motif = SLIDES[index]
    img = Image.new("RGBA", (w, h), rgba((244, 248, 254) if background else WHITE))
    d = ImageDraw.Draw(img)
    cx, cy = w * 0.5, h * 0.40
    tint = [(214, 228, 248), (220, 240, 230), (250, 236, 214)][index]
    d.ellipse((cx - 70, cy - 70, cx + 70, cy + 70), fill=rgba(tint))
    if motif == "wave":
        for i, frac in enumerate([0.3, 0.6, 0.9, 0.6, 0.3]):
            x = cx - 40 + i * 20
            d.rounded_rectangle((x - 5, cy - 45 * frac, x + 5, cy + 45 * frac), radius=5, fill=rgba(ACCENT))
    elif motif == "link":
        d.ellipse((cx - 50, cy - 20, cx - 10, cy + 20), outline=rgba((40, 160, 100)), width=6)
        d.ellipse((cx + 10, cy - 20, cx + 50, cy + 20), outline=rgba((40, 160, 100)), width=6)
        d.line((cx - 20, cy, cx + 20, cy), fill=rgba((40, 160, 100)), width=6)
    else:
        d.pieslice((cx - 45, cy - 45, cx + 45, cy + 45), 200, 340, fill=rgba((236, 150, 40)))
        d.pieslice((cx - 45, cy - 25, cx + 45, cy + 65), 20, 160, fill=rgba((236, 150, 40)))
    if not background:
        centred_text(d, w, h, title, font(CJK, 24), rgba(INK), dy=int(h * 0.22))
        centred_text(d, w, h, caption, font(CJK, 14), rgba(GREY_TEXT), dy=int(h * 0.34))
    else:
        for i in range(3):
            x = w / 2 - 16 + i * 16
            d.ellipse((x - 3, h - 20, x + 3, h - 14), fill=rgba(ACCENT if i == index else GREY))
    return img


def background(w, h, name):
    img, d = canvas(w, h, rgba(WHITE))
    d.rectangle((0, 0, w - 1, h - 1), outline=rgba(LINE))
    return img


def install_button(w, h, name):
    """The big round install button."""
    s = state_of(name)
    img, d = canvas(w, h)
    colour = STATE[s]
    r = min(w, h) // 2 - 6
    cx, cy = w // 2, h // 2
    if s == "hover":
        d.ellipse((cx - r - 5, cy - r - 5, cx + r + 5, cy + r + 5), fill=rgba(ACCENT, 50))
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=rgba(colour))
    ink = WHITE if s != "disable" else (245, 246, 248)
    # arrow into a tray
    d.line((cx, cy - 38, cx, cy + 4), fill=rgba(ink), width=8)
    d.polygon([(cx - 22, cy - 10), (cx + 22, cy - 10), (cx, cy + 14)], fill=rgba(ink))
    d.line([(cx - 34, cy + 6), (cx - 34, cy + 26), (cx + 34, cy + 26), (cx + 34, cy + 6)], fill=rgba(ink), width=6)
    return img


def frame(w, h, name):
    img, d = canvas(w, h)
    d.rectangle((0, 0, w - 1, h - 1), fill=rgba(WHITE), outline=rgba(LINE))
    return img


def title(w, h, name):
    """The small word mark in the title bar: four bars growing like a voice level."""
    img, d = canvas(w, h)
    mark, md = canvas(10, 10)
    rounded(md, (0, 0, 9, 9), 3, fill=rgba(ACCENT))
    img.alpha_composite(mark, (0, 0))
    for i, frac in enumerate([0.4, 0.7, 1.0, 0.6, 0.8]):
        x = 13 + i * 4
        top = int(h - h * frac)
        d.rectangle((x, top, x + 2, h - 1), fill=rgba(INK))
    return img


def cancel(w, h, name):
    return outline_button(w, h, name)


def browser(w, h, name):
    """The narrow "browse" handle beside the path field: three dots."""
    s = state_of(name)
    img, d = canvas(w, h)
    if s != "normal":
        rounded(d, (0, 0, w - 1, h - 1), 2, fill=rgba(ACCENT, 40 if s == "hover" else 90))
    colour = {"normal": GREY_TEXT, "hover": ACCENT, "click": ACCENT_DOWN}[s]
    for i in range(3):
        y = h // 2 - 6 + i * 6
        d.rectangle((w // 2 - 1, y - 1, w // 2, y), fill=rgba(colour))
    return img


def retry_icon(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((0, 0, w - 1, h - 1), fill=rgba((214, 228, 248)))
    d.arc((14, 14, w - 15, h - 15), 40, 320, fill=rgba(ACCENT), width=6)
    d.polygon([(w - 18, 12), (w - 12, 28), (w - 28, 26)], fill=rgba(ACCENT))
    return img


def recycle(w, h, name):
    """A bin with the product mark: the uninstaller's main picture."""
    img, d = canvas(w, h)
    d.ellipse((10, 20, w - 10, h - 20), fill=rgba((236, 242, 252)))
    d.rounded_rectangle((70, 70, w - 70, 84), radius=4, fill=rgba(ACCENT_DOWN))
    d.rectangle((105, 58, w - 105, 70), fill=rgba(ACCENT_DOWN))
    d.polygon([(78, 88), (w - 78, 88), (w - 88, 200), (88, 200)], fill=rgba(ACCENT))
    for i in range(3):
        x = 100 + i * 20
        d.line((x, 104, x, 184), fill=rgba(WHITE, 160), width=5)
    return img


def confirm(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((w / 2 - 60, 10, w / 2 + 60, 130), fill=rgba((250, 236, 214)))
    mark = app_icon(64, 64)
    img.alpha_composite(mark, (int(w / 2) - 32, 36))
    d.ellipse((w / 2 + 20, 80, w / 2 + 50, 110), fill=rgba((244, 166, 35)))
    d.line((w / 2 + 35, 87, w / 2 + 35, 98), fill=rgba(WHITE), width=3)
    d.point((int(w / 2) + 35, 103), fill=rgba(WHITE))
    return img


def done(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((w / 2 - 62, 14, w / 2 + 62, 138), fill=rgba((220, 240, 230)))
    d.ellipse((w / 2 - 40, 36, w / 2 + 40, 116), fill=rgba((40, 160, 100)))
    d.line([(w / 2 - 20, 76), (w / 2 - 4, 92), (w / 2 + 22, 62)], fill=rgba(WHITE), width=8)
    return img


def uninstalling(w, h, name):
    img, d = canvas(w, h)
    d.ellipse((w / 2 - 62, 12, w / 2 + 62, 136), fill=rgba((236, 242, 252)))
    d.arc((w / 2 - 42, 32, w / 2 + 42, 116), 0, 270, fill=rgba(ACCENT), width=10)
    d.arc((w / 2 - 42, 32, w / 2 + 42, 116), 270, 360, fill=rgba(GREY), width=10)
    return img


def licence_text():
    with open(LICENCE, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        raise SystemExit("generate.py: the licence text must not start with a byte-order mark")
    data.decode("utf-8")
    return data


# ---- the tables -------------------------------------------------------------

GUI = "theme/gui/"
RES = "res/"


def toolkit_table():
    t = []
    for s in ("hover", "normal", "pushed"):
        t.append((f"btn_4word_{s}.png", 60, 20, lambda w, h, n: button(w, h, n, 4)))
    for s in ("disable", "focus", "hover", "normal", "pressdown"):
        t.append((f"button_{s}.png", 15, 22, button))
    for kind in ("default", "selected"):
        for s in ("disable", "hover", "normal", "pressdown"):
            t.append((f"checkbox_{kind}_{s}.png", 16, 16, checkbox))
    t.append(("checkbox_normal.png", 16, 16, checkbox))
    t.append(("checkbox_selected.png", 14, 14, checkbox))
    for s in ("down", "hover", "normal"):
        t.append((f"close_{s}.png", 44, 22, lambda w, h, n: glyph_button(w, h, n, "close", danger=True)))
    for s in ("disable", "focus", "hover"):
        t.append((f"edit_{s}.png", 17, 24, edit))
    t.append(("edit_normal.png", 28, 16, edit))
    t.append(("edit_pressdown.png", 17, 24, edit))
    t.append(("head.png", 40, 40, head))
    t.append(("icon_background_hover.png", 20, 20, icon_background))
    t.append(("icon_background_pressdown.png", 20, 20, icon_background))
    t.append(("icon_notice.png", 16, 16, notice))
    t.append(("mask_dialog.png", 225, 225, lambda w, h, n: shadow_mask(w, h, n, 16)))
    t.append(("mask_mainframe.png", 210, 510, lambda w, h, n: shadow_mask(w, h, n, 16)))
    t.append(("mask_popup.png", 150, 150, lambda w, h, n: shadow_mask(w, h, n, 12)))
    for glyph in ("max", "min", "restore"):
        for s in ("down", "hover", "normal"):
            t.append((f"{glyph}_{s}.png", 28, 22, lambda w, h, n, g=glyph: glyph_button(w, h, n, g)))
    t.append(("shadow.png", 66, 66, lambda w, h, n: shadow_mask(w, h, n, 10)))
    t.append(("icon.png", 16, 16, app_icon))
    t.append(("slider_hover.png", 2, 48, slider))
    t.append(("scroll_bk.png", 10, 11, scroll_bk))
    t.append(("slider_pressdown.png", 2, 48, slider))
    t.append(("slider_normal.png", 2, 48, slider))
    return [(GUI + n, w, h, f) for n, w, h, f in t]


def shared_pictures():
    """Pictures the installer and the uninstaller both carry, by name."""
    p = {}
    for s in ("click", "hover", "normal", "disable"):
        p[f"button_{s}.png"] = (37, 30, lambda w, h, n: button(w, h, n, 4))
    for s, key in (("hover", "hover"), ("normal", "normal"), ("press", "press")):
        p[f"{s}_close.png"] = (30, 30, lambda w, h, n: glyph_button(w, h, n, "close", danger=True))
    for s in ("press", "normal", "hover"):
        p[f"min_{s}.png"] = (30, 30, lambda w, h, n: glyph_button(w, h, n, "min"))
    p["progressbar.png"] = (24, 2, progress)
    p["progressbar_bk.png"] = (34, 2, solid((230, 233, 238)))
    p["background.png"] = (520, 326, background)
    p["title.png"] = (35, 10, title)
    p["prompt_bk.png"] = (340, 200, prompt_bk)
    for s in ("disable", "down", "hover", "normal"):
        p[f"cancel_{s}.png"] = (39, 30, cancel)
    return p


SETUP_NAMES = ["button_click.png", "button_hover.png", "button_normal.png", "button_disable.png",
               "button_click_custom.png", "button_hover_custom.png", "button_normal_custom.png",
               "button_disable_custom.png", "hover_close.png", "normal_close.png", "press_close.png",
               "progressbar.png", "progressbar_bk.png", "Quor.png", "prompt_bk.png", "min_press.png",
               "min_normal.png", "min_hover.png", "customize_expand.png", "customize_expand_hover.png",
               "customize_expand_click.png", "customize_collapse.png", "customize_collapse_hover.png",
               "customize_collapse_click.png", "switch_in_decompress_background_zh-CN.png",
               "switch_in_decompress_background_2_zh-CN.png", "switch_in_decompress_background_3_zh-CN.png",
               "background.png", "install_normal.png", "install_hover.png", "install_down.png",
               "install_disable.png", "protocol_frame.png", "line.png", "title.png", "cancel_disable.png",
               "cancel_down.png", "cancel_hover.png", "cancel_normal.png", "browser_click.png",
               "browser_hover.png", "browser_normal.png"]

UNINSTALL_NAMES = ["button_click.png", "button_hover.png", "button_normal.png", "hover_close.png",
                   "normal_close.png", "press_close.png", "background.png", "retry_icon.png",
                   "button_disable.png", "progressbar.png", "progressbar_bk.png", "min_press.png",
                   "min_normal.png", "min_hover.png", "recycle.png", "confirm_uninstall.png",
                   "uninstall_done.png", "uninstalling.png", "title.png", "prompt_bk.png",
                   "cancel_disable.png", "cancel_down.png", "cancel_hover.png", "cancel_normal.png"]


def setup_table():
    p = shared_pictures()
    for s in ("click", "hover", "normal"):
        p[f"button_{s}_custom.png"] = (43, 36, outline_button)
    p["button_disable_custom.png"] = (11, 28, outline_button)
    p["Quor.png"] = (520, 276, banner)
    for kind in ("expand", "collapse"):
        for s in ("", "_hover", "_click"):
            p[f"customize_{kind}{s}.png"] = (16, 16, chevron)
    for n in ("", "_2", "_3"):
        p[f"switch_in_decompress_background{n}_zh-CN.png"] = (440, 279, slide)
    for s in ("normal", "hover", "down", "disable"):
        p[f"install_{s}.png"] = (183, 163, install_button)
    p["protocol_frame.png"] = (35, 63, frame)
    p["line.png"] = (19, 1, solid(LINE))
    for s in ("click", "hover", "normal"):
        p[f"browser_{s}.png"] = (10, 24, browser)
    return [(RES + n,) + p[n] for n in SETUP_NAMES]


def setup_extra_table():
    t = [(RES + "licence_zh-CN.txt", 0, 0, None)]
    for n in ("", "_2", "_3"):
        t.append((RES + f"switch_in_decompress{n}_zh-CN.png", 480, 246, slide))
    return t


def uninstall_table():
    p = shared_pictures()
    p["retry_icon.png"] = (64, 64, retry_icon)
    p["recycle.png"] = (240, 250, recycle)
    p["confirm_uninstall.png"] = (182, 157, confirm)
    p["uninstall_done.png"] = (162, 156, done)
    p["uninstalling.png"] = (176, 157, uninstalling)
    return [(RES + n,) + p[n] for n in UNINSTALL_NAMES]


# ---- pictures the toolkit's own tests decode --------------------------------

def nine_slice_probe():
    """10 by 10, margins 3: corners red-ish by position, edge strips with one
    colour per column or row, so tiling can be read back pixel by pixel."""
    img = Image.new("RGBA", (10, 10), (0, 0, 255, 255))
    px = img.load()
    for y in range(10):
        for x in range(10):
            inx, iny = 3 <= x < 7, 3 <= y < 7
            if not inx and not iny:
                px[x, y] = (200 + (x >= 7) * 20 + (y >= 7) * 40, 0, 0, 255)  # corners
            elif inx and not iny:
                px[x, y] = (0, 60 * (x - 3) + 30, 0, 255)  # top and bottom strips: column code
            elif iny and not inx:
                px[x, y] = (0, 0, 60 * (y - 3) + 30, 255) if x < 3 else (0, 0, 60 * (y - 3) + 30, 255)
            else:
                px[x, y] = (255, 255, 0, 255)  # centre, never drawn by the border
    return img


def animated_gif():
    """Three frames, 10, 20 and 30 hundredths of a second."""
    frames = [Image.new("RGB", (8, 8), c) for c in ((255, 0, 0), (0, 255, 0), (0, 0, 255))]
    buf = io.BytesIO()
    frames[0].save(buf, format="GIF", save_all=True, append_images=frames[1:], duration=[100, 200, 300], loop=0,
                   disposal=1)
    return buf.getvalue()


def png_bytes(img):
    buf = io.BytesIO()
    img.save(buf, format="PNG", optimize=True)
    return buf.getvalue()


def test_table():
    solid_png = png_bytes(Image.new("RGBA", (3, 2), (10, 20, 30, 255)))
    return [
        ("test/nine_slice.png", png_bytes(nine_slice_probe())),
        ("test/three_frames.gif", animated_gif()),
        ("test/solid.png", solid_png),
        ("test/not_a_picture.png", b"this is text, not a picture"),
    ]


# ---- output -----------------------------------------------------------------

def c_string(data):
    out, line = [], []
    for i, b in enumerate(data):
        line.append("\\%03o" % b)
        if len(line) == 40:
            out.append('"' + "".join(line) + '"')
            line = []
    if line:
        out.append('"' + "".join(line) + '"')
    return "\n    ".join(out) if out else '""'


def write_table(out_dir, symbol, entries):
    """entries: list of (name, bytes)."""
    names = ",\n    ".join('"%s"' % n for n, _ in entries)
    sizes = ", ".join(str(len(b)) for _, b in entries)
    block = b"".join(b for _, b in entries)
    src = [
        "// Generated by artwork/generate.py: do not edit.",
        '#include "artwork/ArtworkTables.h"',
        "",
        "namespace {",
        "const char* const kNames[] = {\n    %s};" % names,
        "const uint32_t kSizes[] = {%s};" % sizes,
        "// One block: entry i starts at the sum of the sizes before it.",
        "const char kBlock[] =\n    %s;" % c_string(block),
        "} // namespace",
        "",
        "extern const ZuCompiledTable %s = {%d, kNames, reinterpret_cast<const uint8_t*>(kBlock), kSizes};"
        % (symbol, len(entries)),
        "",
    ]
    path = os.path.join(out_dir, symbol + ".cpp")
    text = "\n".join(src)
    if not os.path.exists(path) or open(path).read() != text:
        with open(path, "w") as f:
            f.write(text)


def render(table):
    """(name, w, h, draw) -> (name, image or None, bytes)."""
    result = []
    for name, w, h, draw in table:
        if draw is None:
            result.append((name, None, licence_text()))
            continue
        img = draw(w, h, os.path.basename(name))
        assert img.size == (w, h), name
        result.append((name, img, png_bytes(img)))
    return result


def contact_sheet(tables, path):
    label_font = font(SANS, 10)
    head_font = font(SANS_BOLD, 14)
    width, pad = 1400, 10
    cells = []
    for title_text, items in tables:
        cells.append(("head", title_text, None))
        for name, img, _ in items:
            if img is not None:
                cells.append(("cell", os.path.basename(name), img))
    # lay out in rows
    x, y, row_h = pad, pad, 0
    placed = []
    for kind, text, img in cells:
        if kind == "head":
            x, y = pad, y + row_h + (pad if row_h else 0)
            placed.append((kind, text, None, x, y))
            y += 24
            row_h = 0
            continue
        scale = 1 if max(img.size) >= 24 else 2
        cw = max(img.width * scale, 90) + pad
        ch = img.height * scale + 26
        if x + cw > width:
            x, y, row_h = pad, y + row_h, 0
        placed.append((kind, text, (img, scale), x, y))
        x += cw
        row_h = max(row_h, ch)
    total_h = y + row_h + pad
    sheet = Image.new("RGBA", (width, total_h), (250, 250, 250, 255))
    d = ImageDraw.Draw(sheet)
    checker = Image.new("RGBA", (16, 16), (236, 236, 236, 255))
    ImageDraw.Draw(checker).rectangle((0, 0, 7, 7), fill=(220, 220, 220, 255))
    ImageDraw.Draw(checker).rectangle((8, 8, 15, 15), fill=(220, 220, 220, 255))
    for kind, text, payload, px, py in placed:
        if kind == "head":
            d.text((px, py), text, font=head_font, fill=(20, 20, 20, 255))
            continue
        img, scale = payload
        shown = img.resize((img.width * scale, img.height * scale), Image.NEAREST) if scale != 1 else img
        for cy in range(0, shown.height, 16):
            for cx in range(0, shown.width, 16):
                sheet.paste(checker.crop((0, 0, min(16, shown.width - cx), min(16, shown.height - cy))),
                            (px + cx, py + cy))
        sheet.alpha_composite(shown, (px, py))
        d.text((px, py + shown.height + 2), text, font=label_font, fill=(60, 60, 60, 255))
        d.text((px, py + shown.height + 13), "%dx%d" % img.size, font=label_font, fill=(120, 120, 120, 255))
    sheet.save(path)


def main(argv):
    if len(argv) < 2:
        raise SystemExit(__doc__)
    out_dir = argv[1]
    sheet = argv[argv.index("--contact-sheet") + 1] if "--contact-sheet" in argv else None
    os.makedirs(out_dir, exist_ok=True)
    tables = [
        ("zuGuiTable", "Toolkit (zugui:)", toolkit_table()),
        ("quorSetupSkinTable", "Installer pictures (setup:)", setup_table()),
        ("quorSetupExtraTable", "Installer licence and slides (setup:)", setup_extra_table()),
        ("quorUninstallSkinTable", "Uninstaller pictures (uninstall:)", uninstall_table()),
    ]
    rendered = []
    sizes = []
    for symbol, title_text, table in tables:
        items = render(table)
        rendered.append((title_text, items))
        png_dir = os.path.join(out_dir, "png", symbol)
        os.makedirs(png_dir, exist_ok=True)
        for name, img, data in items:
            with open(os.path.join(png_dir, os.path.basename(name)), "wb") as f:
                f.write(data)
            sizes.append("%s %s %d %d %d" % (symbol, name, img.width if img else 0, img.height if img else 0,
                                              len(data)))
        write_table(out_dir, symbol, [(n, d) for n, _, d in items])
    write_table(out_dir, "zuArtworkTestTable", test_table())
    with open(os.path.join(out_dir, "sizes.txt"), "w") as f:
        f.write("\n".join(sizes) + "\n")
    if sheet:
        contact_sheet(rendered, sheet)


if __name__ == "__main__":
    main(sys.argv)
