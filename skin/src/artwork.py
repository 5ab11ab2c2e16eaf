#!/usr/bin/env python3
"""Draws QuelmTask's skin as SVG files: one flat, light look for every image of the pack and
for the program icons. render.sh turns them into the committed PNG and ICO files.

Conventions that keep the set consistent:
- colours come from the palette below, which follows the layouts' colours;
- line glyphs use one stroke width, LINE, with round caps and joins; straight segments sit on
  half-pixel centres so that they cover whole pixels;
- strips are four equal frames side by side: normal, hover, pressed, disabled;
- nine-grid frames are square, three bands of equal size, with a plain centre pixel.
"""
import math
import os

# The layouts' colours.
BACKGROUND = "#f6fafd"
PANEL = "#f0f5f9"
BORDER = "#c8d3d8"
TEXT = "#60656f"
WHITE = "#ffffff"

# Primary blue by state, and the light tints that back hovered icon buttons.
BLUE = ("#3b8cf0", "#5a9ff5", "#2a75d6", "#b5d0f0")
TINT = (None, "#e4f1fe", "#cde3fb", None)
RED = ("#e5484d", "#e5484d", "#c93a3f", "#f0b4b6")
RED_TINT = (None, "#fde8e8", "#fad1d2", None)
# Muted glyphs of small icon buttons, and their disabled grey.
GLYPH = ("#8a95a1", BLUE[0], BLUE[2], "#c5ccd3")
# Title-bar buttons: dark glyph on a grey tint.
TITLE_GLYPH = (TEXT, "#3c4250", "#2f343d", "#c5ccd3")
TITLE_TINT = (None, "#e3eaf0", "#d3dde5", None)
# Outlined boxes (white buttons, fields, unchecked boxes).
BOX_FILL = ("#ffffff", "#ffffff", "#e8f1fb", "#f3f5f7")
BOX_LINE = (BORDER, BLUE[0], BLUE[2], "#dde3e7")
CONTROL_LINE = ("#b3bfc8", BLUE[0], BLUE[2], "#d5dce1")
SWITCH_OFF = ("#cdd6dd", "#bcc7cf", "#aab6c0", "#e6ebee")
GREEN = "#2fa36b"
AMBER = "#f5a524"
INDIGO = "#5c6bc0"

LINE = 1.5  # stroke of every small line glyph
BOLD = 4.0  # stroke of the white marks in the 48-pixel message icons

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "svg")


def svg(width, height, body, title):
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
        "<title>%s</title>\n%s\n</svg>\n" % (width, height, width, height, title, body)
    )


def stroke(colour, width=LINE):
    return ('fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round" '
            'stroke-linejoin="round"' % (colour, width))


def rect(x, y, w, h, r, fill=None, line=None):
    attrs = 'fill="%s"' % (fill or "none")
    if line:
        attrs += ' stroke="%s" stroke-width="1"' % line
    return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" %s/>' % (x, y, w, h, r, attrs)


def outlined(w, h, r, fill, line):
    """A box with a 1-pixel border that lies exactly on the outermost pixels."""
    return rect(0.5, 0.5, w - 1, h - 1, r - 0.5, fill, line)


def strip(w, h, frame):
    """Four frames side by side; frame(state) draws one state in a w x h box."""
    parts = []
    for state in range(4):
        parts.append('<g transform="translate(%d 0)">%s</g>' % (state * w, frame(state)))
    return 4 * w, h, "\n".join(parts)


# ---- glyphs, drawn for a box of the given size -------------------------------------------

def glyph_close(c, size):
    a, b = size * 0.32 + 0.1, size * 0.68 - 0.1
    return '<path d="M%g %gL%g %gM%g %gL%g %g" %s/>' % (a, a, b, b, b, a, a, b, stroke(c))


def glyph_menu(c, size):
    x0, x1 = size * 0.27 + 0.1, size * 0.73 - 0.1
    # Three bars on whole-pixel rows, 4 pixels apart.
    return "".join('<path d="M%g %gH%g" %s/>' % (x0, y, x1, stroke(c))
                   for y in (size / 2 - 3.5, size / 2 + 0.5, size / 2 + 4.5))


def glyph_chevron(c, size):
    m = size / 2
    return '<path d="M%g %gL%g %gL%g %g" %s/>' % (m - 3.5, m - 1.5, m, m + 2, m + 3.5, m - 1.5,
                                                  stroke(c))


def glyph_play(c):
    return '<path d="M9.5 7.2L16.8 12L9.5 16.8Z" fill="%s" %s/>' % (
        c, stroke(c).replace('fill="none" ', ""))


def glyph_edit(c):
    return ('<path d="M6.5 17.5L7.2 14.3L14.8 6.7L17.3 9.2L9.7 16.8Z" %s/>'
            '<path d="M13.2 8.3L15.7 10.8" %s/>' % (stroke(c), stroke(c)))


def glyph_delete(c):
    return ('<path d="M6.5 8.5H17.5M10 8.5V6.5H14V8.5" %s/>'
            '<path d="M8 8.5L8.8 17.5H15.2L16 8.5" %s/>'
            '<path d="M10.75 11V15M13.25 11V15" %s/>' % (stroke(c), stroke(c), stroke(c)))


def glyph_check(c, x, y, scale=1.0, width=LINE):
    pts = [(0, 3.5), (3, 6.5), (9, 0.5)]
    d = "M" + "L".join("%g %g" % (x + px * scale, y + py * scale) for px, py in pts)
    return '<path d="%s" %s/>' % (d, stroke(c, width))


# ---- images of the pack --------------------------------------------------------------------

def icon_button(glyph, glyph_colours=GLYPH, tints=TINT, size=24):
    def frame(s):
        bg = rect(0, 0, size, size, 4, tints[s]) if tints[s] else ""
        return bg + glyph(glyph_colours[s])
    return strip(size, size, frame)


def title_button(glyph, glyph_colours, tints, size=20):
    def frame(s):
        bg = rect(0, 0, size, size, 4, tints[s]) if tints[s] else ""
        return bg + glyph(glyph_colours[s], size)
    return strip(size, size, frame)


def filled_button(w, h, mark=None):
    def frame(s):
        body = rect(0, 0, w, h, 4, BLUE[s])
        if mark:
            body += mark(WHITE if s != 3 else "#f4f8fd")
        return body
    return strip(w, h, frame)


def white_button(w, h):
    return strip(w, h, lambda s: outlined(w, h, 4, BOX_FILL[s], BOX_LINE[s]))


def combo_back():
    # Drawn three-part: the 10-pixel sides keep their corners, the middle stretches.
    fills = ("#f4ffffff", WHITE, "#f5f9fe", BOX_FILL[3])
    def frame(s):
        fill = fills[s]
        opacity = ""
        if len(fill) == 9:  # #aarrggbb as in the layouts
            opacity = ' fill-opacity="%.3f"' % (int(fill[1:3], 16) / 255)
            fill = "#" + fill[3:]
        return outlined(30, 30, 4, fill, BOX_LINE[s]).replace("/>", opacity + "/>")
    return strip(30, 30, frame)


def checkbox(checked):
    def frame(s):
        if not checked:
            return outlined(16, 16, 3, BOX_FILL[s] if s != 2 else TINT[1], CONTROL_LINE[s])
        return rect(0, 0, 16, 16, 3, BLUE[s]) + glyph_check(WHITE, 3.5, 4.5, 1.0, 2)
    return strip(16, 16, frame)


def radiobox(checked):
    def frame(s):
        if not checked:
            fill = BOX_FILL[s] if s != 2 else TINT[1]
            return '<circle cx="8" cy="8" r="7.5" fill="%s" stroke="%s" stroke-width="1"/>' % (
                fill, CONTROL_LINE[s])
        return ('<circle cx="8" cy="8" r="8" fill="%s"/><circle cx="8" cy="8" r="3" fill="%s"/>'
                % (BLUE[s], WHITE))
    return strip(16, 16, frame)


def switch(on):
    def frame(s):
        track = rect(0, 0, 40, 16, 8, BLUE[s] if on else SWITCH_OFF[s])
        knob = '<circle cx="%d" cy="8" r="6" fill="%s"/>' % (32 if on else 8,
                                                             "#f8fafb" if s == 3 else WHITE)
        return track + knob
    return strip(40, 16, frame)


def nine_grid_frame(size, radius):
    return size, size, outlined(size, size, radius, WHITE, BORDER)


def message_box_frame():
    # 120 x 120, bands of 40: the title band lies wholly in the top band, so it keeps its height
    # however the box is stretched; row 39 is its divider.
    body = [
        '<clipPath id="c"><rect x="0" y="0" width="120" height="120" rx="4"/></clipPath>',
        '<g clip-path="url(#c)">',
        '<rect x="0" y="0" width="120" height="120" fill="%s"/>' % WHITE,
        '<rect x="0" y="0" width="120" height="39" fill="%s"/>' % PANEL,
        '<rect x="0" y="39" width="120" height="1" fill="#e1e8ee"/>',
        "</g>",
        outlined(120, 120, 4, "none", BORDER),
    ]
    return 120, 120, "\n".join(body)


def check_mark():
    return 16, 16, glyph_check(BLUE[0], 3.5, 4.5, 1.0, 2)


def menu_icon(body):
    return 16, 16, body


def icon_hide(c=TEXT):
    # A closed eye.
    lashes = "M3.4 9.3L2 11M6 10.7L5.3 12.8M10 10.7L10.7 12.8M12.6 9.3L14 11"
    return ('<path d="M1.5 6.5C4.5 11.5 11.5 11.5 14.5 6.5" %s/><path d="%s" %s/>'
            % (stroke(c), lashes, stroke(c)))


def icon_globe(c=TEXT):
    return (
        '<circle cx="8" cy="8" r="6.25" %s/>'
        '<ellipse cx="8" cy="8" rx="2.6" ry="6.25" %s/>'
        '<path d="M2 8H14" %s/>' % (stroke(c), stroke(c), stroke(c)))


def icon_refresh(c=TEXT):
    r, cx, cy = 5.5, 8, 8.25
    end_angle = math.radians(315)
    ex, ey = cx + r * math.cos(end_angle), cy + r * math.sin(end_angle)
    d = (math.cos(end_angle + math.pi / 2), math.sin(end_angle + math.pi / 2))  # travel direction
    n = (-d[1], d[0])
    tip = (ex + 2.3 * d[0], ey + 2.3 * d[1])
    b1 = (ex + 2.3 * n[0], ey + 2.3 * n[1])
    b2 = (ex - 2.3 * n[0], ey - 2.3 * n[1])
    arc = '<path d="M%g %g A%g %g 0 1 1 %.2f %.2f" %s/>' % (cx + r, cy, r, r, ex, ey, stroke(c))
    head = '<path d="M%.2f %.2fL%.2f %.2fL%.2f %.2fZ" fill="%s"/>' % (
        tip[0], tip[1], b1[0], b1[1], b2[0], b2[1], c)
    return arc + head


def icon_feedback(c=TEXT):
    bubble = ("M4.5 2.5H11.5A2 2 0 0 1 13.5 4.5V9A2 2 0 0 1 11.5 11H7.5L4.5 13.5V11"
              "A2 2 0 0 1 2.5 9V4.5A2 2 0 0 1 4.5 2.5Z")
    dots = "".join('<circle cx="%g" cy="6.75" r="0.95" fill="%s"/>' % (x, c)
                   for x in (5.5, 8, 10.5))
    return '<path d="%s" %s/>%s' % (bubble, stroke(c), dots)


def icon_power(c=TEXT):
    r, cx, cy = 5.5, 8, 8.75
    a0, a1 = math.radians(300), math.radians(240)
    p0 = (cx + r * math.cos(a0), cy + r * math.sin(a0))
    p1 = (cx + r * math.cos(a1), cy + r * math.sin(a1))
    return ('<path d="M%.2f %.2fA%g %g 0 1 1 %.2f %.2f" %s/><path d="M8 1.75V7.5" %s/>'
            % (p0[0], p0[1], r, r, p1[0], p1[1], stroke(c), stroke(c)))


def icon_history(c=TEXT):
    # A clock face whose rim turns back into an arrow: time gone by.
    return ('<path d="M3.2 5.2A6 6 0 1 1 2.3 9.5" %s/><path d="M1.6 2.8L3.2 5.2L5.8 4.3" %s/>'
            '<path d="M8 5V8.5L10.5 10" %s/>' % (stroke(c), stroke(c), stroke(c)))


def message_icon(kind):
    if kind == "war":
        tri = '<path d="M24 5.5L44.5 41.5H3.5Z" fill="%s" %s/>' % (
            AMBER, stroke(AMBER, 5).replace('fill="none" ', ""))
        mark = ('<path d="M24 18V30" %s/><circle cx="24" cy="36.2" r="2.4" fill="%s"/>'
                % (stroke(WHITE, BOLD), WHITE))
        return 48, 48, tri + mark
    colour = {"error": RED[0], "inf": BLUE[0], "ok": GREEN, "quest": INDIGO}[kind]
    disc = '<circle cx="24" cy="24" r="22" fill="%s"/>' % colour
    if kind == "error":
        mark = '<path d="M17 17L31 31M31 17L17 31" %s/>' % stroke(WHITE, BOLD)
    elif kind == "inf":
        mark = ('<circle cx="24" cy="14.5" r="2.6" fill="%s"/><path d="M24 21V34" %s/>'
                % (WHITE, stroke(WHITE, BOLD)))
    elif kind == "ok":
        mark = '<path d="M14.5 24.5L21 31L33.5 18" %s/>' % stroke(WHITE, BOLD)
    else:
        mark = ('<path d="M18.5 19A5.5 5.5 0 1 1 26.5 23.9C25 24.7 24 25.6 24 27.5V28.5" %s/>'
                '<circle cx="24" cy="35" r="2.5" fill="%s"/>' % (stroke(WHITE, BOLD), WHITE))
    return 48, 48, disc + mark


def app_icon(size, tray=False):
    """The program's mark: a blue tile with a white clock face. Small sizes get their own
    proportions so that the hands stay on whole pixels."""
    s = float(size)
    inset = 0 if size <= 16 else s / 24
    tile = s - 2 * inset
    radius = max(3.0, tile * 0.22)
    face = tile * (0.36 if size > 16 else 0.34)
    hand = max(1.5, s / 16) if not tray else max(2.0, s / 12)
    c = s / 2
    minute_len = face * 0.62
    hour_len = face * 0.5
    body = [
        '<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#55a2f8"/><stop offset="1" stop-color="#2c78e2"/>'
        "</linearGradient></defs>",
        '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#g)"/>'
        % (inset, inset, tile, tile, radius),
        '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (c, c, face, WHITE),
        '<path d="M%g %gV%gH%g" %s/>' % (c, c - minute_len, c, c + hour_len,
                                          stroke("#2c78e2", hand)),
    ]
    if size >= 32 and not tray:
        # Marks at 12, 3, 6 and 9 o'clock.
        for k in range(4):
            a = k * math.pi / 2
            r0, r1 = face * 0.88, face * 0.76
            body.append('<path d="M%.2f %.2fL%.2f %.2f" %s/>' % (
                c + r0 * math.sin(a), c - r0 * math.cos(a), c + r1 * math.sin(a),
                c - r1 * math.cos(a), stroke("#9cc3f5", max(1.0, s / 32))))
    return size, size, "\n".join(body)


IMAGES = {
    "img/ico24.png": lambda: app_icon(24),
    "img/cb_bg.png": lambda: nine_grid_frame(18, 3),
    "img/btn/btn_arrow.png": lambda: strip(16, 16, lambda s: glyph_chevron(GLYPH[s], 16)),
    "img/btn/btn_checkbox1.png": lambda: checkbox(False),
    "img/btn/btn_checkbox2.png": lambda: checkbox(True),
    "img/btn/btn_close.png": lambda: title_button(glyph_close, (TEXT, WHITE, WHITE, GLYPH[3]),
                                                  (None, RED[0], RED[2], None)),
    "img/btn/btn_confirm.png": lambda: filled_button(
        60, 30, lambda c: glyph_check(c, 25, 11, 1.1, 2)),
    "img/btn/btn_delete.png": lambda: icon_button(
        glyph_delete, (GLYPH[0], RED[0], RED[2], GLYPH[3]), RED_TINT),
    "img/btn/btn_edit.png": lambda: icon_button(glyph_edit),
    "img/btn/btn_menu.png": lambda: title_button(glyph_menu, TITLE_GLYPH, TITLE_TINT),
    "img/btn/btn_radiobox1.png": lambda: radiobox(False),
    "img/btn/btn_radiobox2.png": lambda: radiobox(True),
    "img/btn/btn_switch1.png": lambda: switch(False),
    "img/btn/btn_switch2.png": lambda: switch(True),
    "img/btn/btnb.png": lambda: filled_button(90, 36),
    "img/btn/btnplay.png": lambda: icon_button(glyph_play),
    "img/btn/btnw.png": lambda: white_button(90, 36),
    "img/btn/cb_back.png": combo_back,
    "img/btn/btn_day0.png": lambda: white_button(24, 24),
    "img/btn/btn_day1.png": lambda: filled_button(24, 24),
    "img/btn/check.png": check_mark,
    "img/menu/bg.png": lambda: nine_grid_frame(18, 4),
    "img/menu/icon1.png": lambda: menu_icon(icon_globe()),
    "img/menu/icon2.png": lambda: menu_icon(icon_refresh()),
    "img/menu/icon3.png": lambda: menu_icon(icon_feedback()),
    "img/menu/icon4.png": lambda: menu_icon(icon_power()),
    "img/menu/icon_hide.png": lambda: menu_icon(icon_hide()),
    "img/menu/icon_history.png": lambda: menu_icon(icon_history()),
    "img/msgbox/bg.png": message_box_frame,
    "img/msgbox/btn_close.png": lambda: title_button(glyph_close, (TEXT, WHITE, WHITE, GLYPH[3]),
                                                     (None, RED[0], RED[2], None)),
    "img/msgbox/btnb.png": lambda: filled_button(120, 40),
    "img/msgbox/btnw.png": lambda: white_button(120, 40),
    "img/msgbox/error.png": lambda: message_icon("error"),
    "img/msgbox/inf.png": lambda: message_icon("inf"),
    "img/msgbox/ok.png": lambda: message_icon("ok"),
    "img/msgbox/quest.png": lambda: message_icon("quest"),
    "img/msgbox/war.png": lambda: message_icon("war"),
}

ICON_SIZES = (16, 24, 32, 48, 256)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as f:
        f.write(text)


def main():
    for png, draw in IMAGES.items():
        w, h, body = draw()
        write(os.path.join(OUT, png[:-4] + ".svg"), svg(w, h, body, png.replace("/", "\\")))
    for size in ICON_SIZES:
        for name, tray in (("app", False), ("tray", True)):
            w, h, body = app_icon(size, tray)
            write(os.path.join(OUT, "icon", "%s-%d.svg" % (name, size)),
                  svg(w, h, body, "%s icon %d" % (name, size)))


if __name__ == "__main__":
    main()
