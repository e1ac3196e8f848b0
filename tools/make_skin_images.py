#!/usr/bin/python3
"""Draws every bitmap of the installer skin for 100 %, 125 % and 150 % displays.

    /usr/bin/python3 tools/make_skin_images.py [resources-folder]

Needs Pillow (Debian: python3-pil). The output is deterministic, so running it
again on an unchanged script leaves the committed PNGs byte for byte as they
are. To restyle the skin, change the palette or the drawing functions below and
run it again.

Everything is drawn at four times the target size and scaled down, which gives
clean anti-aliased edges without any font or vector library beyond Pillow.
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor

THEMES = (("default", 1.0), ("default-hdpi", 1.25), ("default-xhdpi", 1.5))

BRAND = (0x00, 0x6D, 0xD9)
BRAND_LIGHT = (0x2A, 0x8D, 0xF2)
BRAND_DARK = (0x00, 0x5A, 0xB8)
WHITE = (255, 255, 255)
TEXT_666 = (0x66, 0x66, 0x66)
GRAY = (0x8E, 0x99, 0xA6)
BORDER = (0xCF, 0xD6, 0xDE)
PAGE = (0xF4, 0xF8, 0xF9)
RED = (0xE0, 0x43, 0x43)
GREEN = (0x00, 0xBB, 0x96)
ORANGE = (0xF5, 0x9A, 0x23)

BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def px(value, scale):
    """A 96-DPI length at |scale|, rounded like the toolkit rounds (halves up)."""
    return int(math.floor(value * scale + 0.5))


def canvas(width, height, colour=(0, 0, 0, 0)):
    return Image.new("RGBA", (width * SS, height * SS), colour)


def finish(image, width, height):
    return image.resize((width, height), Image.LANCZOS)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vertical_gradient(width, height, stops):
    """An opaque image filled top to bottom through (position, colour) stops."""
    image = Image.new("RGBA", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / max(1, height - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                colour = lerp(c0, c1, (t - p0) / max(1e-9, p1 - p0))
                break
        draw.line([(0, y), (width, y)], fill=colour + (255,))
    return image


def horizontal_gradient(width, height, left, right):
    image = Image.new("RGBA", (width, height))
    draw = ImageDraw.Draw(image)
    for x in range(width):
        colour = lerp(left, right, x / max(1, width - 1))
        draw.line([(x, 0), (x, height)], fill=colour + (255,))
    return image


def rounded_mask(width, height, radius, inset=0):
    mask = Image.new("L", (width, height), 0)
    ImageDraw.Draw(mask).rounded_rectangle(
        [inset, inset, width - 1 - inset, height - 1 - inset], radius=radius, fill=255)
    return mask


def paste_masked(target, source, mask):
    layer = Image.new("RGBA", target.size, (0, 0, 0, 0))
    layer.paste(source, (0, 0), mask)
    return Image.alpha_composite(target, layer)


# --- main window ---------------------------------------------------------

def bkg_top(scale):
    """Brand header: a soft diagonal blue gradient with two faint light discs and
    a gentle curve into the page colour at the bottom."""
    w, h = px(600, scale), px(256, scale)
    W, H = w * SS, h * SS
    base = vertical_gradient(W, H, [(0.0, (0x14, 0x82, 0xEE)), (0.55, BRAND), (1.0, (0x00, 0x63, 0xCC))])
    glow = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(glow)
    draw.ellipse([int(W * 0.62), int(-H * 0.55), int(W * 1.25), int(H * 0.80)], fill=(255, 255, 255, 22))
    draw.ellipse([int(-W * 0.20), int(H * 0.35), int(W * 0.32), int(H * 1.45)], fill=(255, 255, 255, 14))
    draw.ellipse([int(W * 0.78), int(H * 0.30), int(W * 1.05), int(H * 0.95)], fill=(255, 255, 255, 10))
    glow = glow.filter(ImageFilter.GaussianBlur(6 * SS * scale))
    image = Image.alpha_composite(base, glow)
    # The bottom edge curves down in the middle; below the curve the page shows.
    mask = Image.new("L", (W, H), 255)
    md = ImageDraw.Draw(mask)
    depth = 18 * SS * scale
    points = []
    for i in range(0, 201):
        x = W * i / 200
        y = H - depth + depth * math.sin(math.pi * i / 200) ** 2 * 1.0
        points.append((x, y))
    md.polygon(points + [(W, H), (0, H)], fill=0)
    md.line(points, fill=255)
    out = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    out.paste(image, (0, 0), mask)
    return finish(out, w, h)


def logo(scale):
    """A white tile with a blue document whose folded corner and two arrows say
    "convert"."""
    size = px(80, scale)
    S = size * SS
    image = canvas(size, size)
    # Soft shadow under the tile.
    shadow = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).rounded_rectangle(
        [S * 0.08, S * 0.10, S * 0.92, S * 0.96], radius=S * 0.22, fill=(0, 30, 80, 70))
    shadow = shadow.filter(ImageFilter.GaussianBlur(S * 0.035))
    image = Image.alpha_composite(image, shadow)
    tile = vertical_gradient(S, S, [(0.0, WHITE), (1.0, (0xEC, 0xF4, 0xFD))])
    image = paste_masked(image, tile, rounded_mask(S, S, int(S * 0.22), inset=int(S * 0.06)))
    draw = ImageDraw.Draw(image)
    # The document.
    left, top, right, bottom = S * 0.27, S * 0.19, S * 0.73, S * 0.81
    fold = S * 0.14
    body = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    doc = horizontal_gradient(S, S, BRAND_LIGHT, BRAND_DARK)
    doc_mask = Image.new("L", (S, S), 0)
    ImageDraw.Draw(doc_mask).polygon(body, fill=255)
    # Round the document's corners a little by a small blur-and-threshold.
    doc_mask = doc_mask.filter(ImageFilter.GaussianBlur(S * 0.012)).point(lambda v: 255 if v > 127 else 0)
    image = paste_masked(image, doc, doc_mask)
    draw = ImageDraw.Draw(image)
    draw.polygon([(right - fold, top), (right - fold, top + fold), (right, top + fold)], fill=(0xB9, 0xD8, 0xF8, 255))
    # The PDF mark and two lines of "text" below it.
    try:
        font = ImageFont.truetype(BOLD_FONT, int(S * 0.135))
        label = "PDF"
        box = draw.textbbox((0, 0), label, font=font)
        tx = (left + right) / 2 - (box[2] + box[0]) / 2
        ty = top + S * 0.25 - (box[3] + box[1]) / 2
        draw.text((tx, ty), label, font=font, fill=WHITE + (255,))
    except OSError:
        pass
    line_h = S * 0.032
    for i, length in enumerate((0.30, 0.21)):
        y = top + S * (0.40 + 0.085 * i)
        x0 = left + S * 0.08
        draw.rounded_rectangle([x0, y, x0 + S * length, y + line_h], radius=line_h / 2,
                               fill=(255, 255, 255, 215 - 50 * i))
    return finish(image, size, size)


def chevron(scale, up):
    size = px(16, scale)
    S = size * SS
    image = canvas(size, size)
    draw = ImageDraw.Draw(image)
    draw.ellipse([S * 0.06, S * 0.06, S * 0.94, S * 0.94], outline=(0xB5, 0xBE, 0xC8, 255), width=max(SS, int(S * 0.06)))
    y0, y1 = (S * 0.60, S * 0.40) if up else (S * 0.40, S * 0.60)
    w = max(SS, int(S * 0.085))
    draw.line([(S * 0.31, y0), (S * 0.5, y1), (S * 0.69, y0)], fill=TEXT_666 + (255,), width=w, joint="curve")
    return finish(image, size, size)


# --- message box icons ---------------------------------------------------

def round_icon(scale, colour, glyph):
    size = px(32, scale)
    S = size * SS
    image = canvas(size, size)
    draw = ImageDraw.Draw(image)
    if glyph == "warning":
        draw.rounded_rectangle([S * 0.04, S * 0.04, S * 0.96, S * 0.96], radius=S * 0.2, fill=colour + (255,))
    else:
        draw.ellipse([S * 0.03, S * 0.03, S * 0.97, S * 0.97], fill=colour + (255,))
    w = int(S * 0.09)
    white = WHITE + (255,)
    if glyph == "error":
        draw.line([(S * 0.33, S * 0.33), (S * 0.67, S * 0.67)], fill=white, width=w)
        draw.line([(S * 0.67, S * 0.33), (S * 0.33, S * 0.67)], fill=white, width=w)
    elif glyph == "ok":
        draw.line([(S * 0.28, S * 0.52), (S * 0.44, S * 0.67), (S * 0.72, S * 0.36)], fill=white, width=w, joint="curve")
    elif glyph in ("infor", "warning"):
        top, bottom = (S * 0.22, S * 0.58) if glyph == "warning" else (S * 0.42, S * 0.76)
        dot = S * 0.28 if glyph == "infor" else S * 0.72
        draw.rounded_rectangle([S * 0.455, top, S * 0.545, bottom], radius=w / 2, fill=white)
        draw.ellipse([S * 0.44, dot - S * 0.06, S * 0.56, dot + S * 0.06], fill=white)
    elif glyph == "question":
        draw.arc([S * 0.33, S * 0.2, S * 0.67, S * 0.52], start=180, end=90, fill=white, width=w)
        draw.line([(S * 0.5, S * 0.52), (S * 0.5, S * 0.62)], fill=white, width=w)
        draw.ellipse([S * 0.44, S * 0.70, S * 0.56, S * 0.82], fill=white)
    return finish(image, size, size)


# --- shared images -------------------------------------------------------

def shadow():
    """The window shadow as a nine-grid with 30-pixel corners. The window's own
    rectangle starts 14 pixels in from every edge; outside it the shadow fades
    smoothly to nothing, with a faint outline right at the window's edge. The
    corner numbers are source pixels, so one image serves every scale."""
    size, inset = 64, 14
    S = size * SS
    body = Image.new("L", (S, S), 0)
    ImageDraw.Draw(body).rounded_rectangle([inset * SS, (inset + 1) * SS, S - inset * SS - 1, S - (inset - 2) * SS - 1],
                                           radius=4 * SS, fill=255)
    body = body.filter(ImageFilter.GaussianBlur(5.5 * SS))
    alpha = body.point(lambda v: int(v * 0.34))
    shade = Image.new("RGBA", (S, S), (0x10, 0x24, 0x3C, 0))
    shade.putalpha(alpha)
    outline = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    ImageDraw.Draw(outline).rounded_rectangle([inset * SS - SS, inset * SS - SS, S - inset * SS + SS - 1, S - inset * SS + SS - 1],
                                              radius=4 * SS, outline=(0x10, 0x24, 0x3C, 34), width=SS)
    image = Image.alpha_composite(shade, outline)
    return finish(image, size, size)


def image_mask(scale):
    size = px(80, scale)
    S = size * SS
    image = canvas(size, size)
    ImageDraw.Draw(image).rounded_rectangle([0, 0, S - 1, S - 1], radius=S * 0.12, fill=(255, 255, 255, 255))
    return finish(image, size, size)


def global_button(scale, style, state):
    """80x30 buttons drawn with 4-pixel corners inside the 8-pixel nine-grid
    border; the corners are source pixels at every scale, so the radius is."""
    w, h = px(80, scale), px(30, scale)
    W, H = w * SS, h * SS
    radius = 4 * SS
    image = canvas(w, h)
    if style == "blue":
        tops = {"normal": ((0x1A, 0x82, 0xEB), BRAND), "hovered": ((0x3A, 0x98, 0xF5), (0x16, 0x80, 0xEA)),
                "pushed": ((0x00, 0x5F, 0xC2), (0x00, 0x56, 0xB0))}
        fill = vertical_gradient(W, H, [(0.0, tops[state][0]), (1.0, tops[state][1])])
        image = paste_masked(image, fill, rounded_mask(W, H, radius))
    else:
        fills = {"normal": (WHITE, WHITE, BORDER), "hovered": ((0xF7, 0xFB, 0xFF), (0xEE, 0xF5, 0xFE), (0x7F, 0xB6, 0xEC)),
                 "pushed": ((0xE6, 0xF0, 0xFB), (0xE1, 0xEC, 0xFA), (0x4A, 0x98, 0xE6))}
        top, bottom, border = fills[state]
        outer = Image.new("RGBA", (W, H), border + (255,))
        image = paste_masked(image, outer, rounded_mask(W, H, radius))
        fill = vertical_gradient(W, H, [(0.0, top), (1.0, bottom)])
        image = paste_masked(image, fill, rounded_mask(W, H, radius - SS, inset=SS))
    return finish(image, w, h)


def cross(size_px, colour, width_frac, background=None, round_bg=True):
    S = size_px * SS
    image = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    if background is not None:
        if round_bg:
            draw.ellipse([0, 0, S - 1, S - 1], fill=background)
        else:
            draw.rounded_rectangle([0, 0, S - 1, S - 1], radius=S * 0.2, fill=background)
    w = max(SS, int(S * width_frac))
    a, b = S * 0.32, S * 0.68
    draw.line([(a, a), (b, b)], fill=colour, width=w)
    draw.line([(b, a), (a, b)], fill=colour, width=w)
    return finish(image, size_px, size_px)


def wnd_white_close(scale, state):
    size = px(24, scale)
    bg = {"normal": None, "hovered": (255, 255, 255, 46), "pushed": (0, 0, 0, 40)}[state]
    return cross(size, WHITE + (255,), 0.075, bg)


def wnd_white_min(scale, state):
    size = px(24, scale)
    S = size * SS
    image = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    bg = {"normal": None, "hovered": (255, 255, 255, 46), "pushed": (0, 0, 0, 40)}[state]
    if bg is not None:
        draw.ellipse([0, 0, S - 1, S - 1], fill=bg)
    w = max(SS, int(S * 0.075))
    draw.line([(S * 0.31, S * 0.5), (S * 0.69, S * 0.5)], fill=WHITE + (255,), width=w)
    return finish(image, size, size)


def wnd_gray_close(scale, hover):
    size = px(16, scale)
    if hover:
        return cross(size, RED + (255,), 0.10)
    return cross(size, GRAY + (255,), 0.10)


def caption(scale):
    """Message box title band: white with a hairline at the bottom (the bottom
    row is the nine-grid's fixed border)."""
    w, h = 8, px(34, scale)
    image = vertical_gradient(w, h, [(0.0, WHITE), (1.0, (0xF7, 0xF9, 0xFB))])
    ImageDraw.Draw(image).line([(0, h - 1), (w, h - 1)], fill=(0xE4, 0xE7, 0xEB, 255))
    return image


def checkbox(scale, checked):
    size = px(16, scale)
    S = size * SS
    image = canvas(size, size)
    draw = ImageDraw.Draw(image)
    box = [SS, SS, S - SS - 1, S - SS - 1]
    radius = S * 0.2
    if checked:
        draw.rounded_rectangle(box, radius=radius, fill=BRAND + (255,))
        w = max(SS, int(S * 0.11))
        draw.line([(S * 0.27, S * 0.52), (S * 0.44, S * 0.68), (S * 0.74, S * 0.35)], fill=WHITE + (255,),
                  width=w, joint="curve")
    else:
        draw.rounded_rectangle(box, radius=radius, fill=WHITE + (255,), outline=(0xB4, 0xBF, 0xCB, 255),
                               width=max(SS, int(S * 0.07)))
    return finish(image, size, size)


def progress(scale, fore):
    """The bar is revealed from the left pixel for pixel, so it is drawn at the
    exact size the layout gives it: 560 x 6 at 100 %."""
    w, h = px(560, scale), px(6, scale)
    W, H = w * SS, h * SS
    image = canvas(w, h)
    if fore:
        fill = horizontal_gradient(W, H, (0x3D, 0xA2, 0xFF), BRAND)
        shine = vertical_gradient(W, H, [(0.0, (255, 255, 255)), (1.0, (255, 255, 255))])
        shine.putalpha(Image.linear_gradient("L").resize((W, H)).point(lambda v: int((255 - v) * 0.18)))
        fill = Image.alpha_composite(fill, shine)
    else:
        fill = Image.new("RGBA", (W, H), (0xE3, 0xEC, 0xF5, 255))
    image = paste_masked(image, fill, rounded_mask(W, H, H // 2))
    return finish(image, w, h)


def save(image, root, *parts):
    path = os.path.join(root, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # No time stamps or other ancillary chunks: the same drawing gives the same file.
    image.save(path, "PNG", optimize=True)
    return path


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    written = []
    shadow_image = shadow()
    for theme, scale in THEMES:
        base = os.path.join(root, "themes", theme)
        written.append(save(bkg_top(scale), base, "basic", "bkg_top.png"))
        written.append(save(logo(scale), base, "basic", "logo.png"))
        written.append(save(chevron(scale, up=False), base, "basic", "icon_down.png"))
        written.append(save(chevron(scale, up=True), base, "basic", "icon_up.png"))
        for name, colour in (("error", RED), ("infor", BRAND), ("ok", GREEN), ("question", BRAND), ("warning", ORANGE)):
            written.append(save(round_icon(scale, colour, name), base, "msgbox", name + ".png"))
        pub = os.path.join(base, "public")
        written.append(save(image_mask(scale), pub, "bk", "bg_image_mask.png"))
        written.append(save(shadow_image, pub, "bk", "bk_shadow.png"))
        for style in ("blue", "white"):
            for state in ("normal", "hovered", "pushed"):
                written.append(save(global_button(scale, style, state), pub, "button",
                                    "btn_global_%s_80x30_%s.png" % (style, state)))
        written.append(save(wnd_gray_close(scale, False), pub, "button", "btn_wnd_gray_close.png"))
        written.append(save(wnd_gray_close(scale, True), pub, "button", "btn_wnd_gray_close_hover.png"))
        for state, suffix in (("normal", ""), ("hovered", "_hovered"), ("pushed", "_pushed")):
            written.append(save(wnd_white_close(scale, state), pub, "button", "btn_wnd_white_close%s.png" % suffix))
            written.append(save(wnd_white_min(scale, state), pub, "button", "btn_wnd_white_min%s.png" % suffix))
        written.append(save(caption(scale), pub, "caption", "caption_public.png"))
        written.append(save(checkbox(scale, True), pub, "checkbox", "check.png"))
        written.append(save(checkbox(scale, False), pub, "checkbox", "check_no.png"))
        written.append(save(progress(scale, False), pub, "progress", "progress_blue_bg.png"))
        written.append(save(progress(scale, True), pub, "progress", "progress_blue_fg.png"))
    print("wrote %d images under %s" % (len(written), os.path.normpath(root)))


if __name__ == "__main__":
    main()
