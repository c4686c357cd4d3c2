#!/usr/bin/env python3
"""Looks at renderings of a siteplot figure: check_rendering.py FIGURE.svg PNG...

Every PNG is the whole figure rendered at 192 dpi (2 pixels per CSS pixel), from its top
left corner. The plot areas, the legend and the inputs' colours are read from the SVG
itself: the rectangles of the clip paths (one per panel), the stroke colour of each group
drawn inside them, and the extent of the marks of the group "legend". For every rendering
this checks that each panel holds marks in each input's colour, that a colour appears
nowhere else than in the plot areas and the legend, and that nothing is drawn within 1 mm
of the canvas's edges (so no text or mark runs off it); then that all renderings agree on
how much of each colour each panel holds and where its centre lies. Each input's colour
has a contrast of at least 2:1 against white. Standard library only (zlib for the PNG
data).
"""
import re
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

SVG = "{http://www.w3.org/2000/svg}"
TOLERANCE = 24  # largest distance of a channel from the blend of the colour with white
MIN_SHARE = 0.25  # fainter blends (light grid lines, far edges) do not count
MIN_SPREAD = 10  # pixels whose channels differ less are grey (text, axes), no input's colour
MIN_INK = 100  # marks of one input in one panel cover at least this many pixels
MAX_STRAY = 8  # pixels of an input's colour allowed outside the plot areas and legend
MAX_INK_RATIO = 1.25  # largest ratio between two renderings' ink in one panel
MAX_SHIFT = 0.03  # largest distance between centres of ink, as a share of the panel's size:
# thin bars side by side, partly hidden by markers, antialias differently
EDGE_MM = 1.0  # blank strip along the canvas's edges
MIN_CONTRAST = 2.0  # of an input's colour against white


def read_png(path):
    """(width, height, rows of bytes, bytes per pixel) of an 8-bit RGB or RGBA PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                sys.exit(f"{path}: only 8-bit RGB or RGBA PNG without interlace is read")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    bpp = 3 if colour == 2 else 4
    raw, stride, rows = zlib.decompress(idat), width * bpp, []
    previous = bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = previous[i], previous[i - bpp] if i >= bpp else 0
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
        rows.append(line)
        previous = line
    return width, height, rows, bpp


def extent(group):
    """[x, y, width, height] around the lines, circles and paths within `group`."""
    xs, ys = [], []
    for e in group.iter():
        if e.tag == SVG + "line":
            xs += [float(e.get("x1")), float(e.get("x2"))]
            ys += [float(e.get("y1")), float(e.get("y2"))]
        elif e.tag == SVG + "circle":
            r = float(e.get("r"))
            xs += [float(e.get("cx")) - r, float(e.get("cx")) + r]
            ys += [float(e.get("cy")) - r, float(e.get("cy")) + r]
        elif e.tag == SVG + "path":
            numbers = [float(v) for v in re.findall(r"-?[0-9.]+", e.get("d"))]
            xs += numbers[0::2]
            ys += numbers[1::2]
    return [min(xs), min(ys), max(xs) - min(xs), max(ys) - min(ys)]


def read_figure(path):
    """The panels' rectangles and colours, the legend's marks' rectangle and the canvas's
    size, in pixels at 192 dpi."""
    root = ET.parse(path).getroot()
    view = [float(v) for v in root.get("viewBox").split()]
    scale = float(root.get("width").rstrip("m")) / 25.4 * 192 / view[2]
    canvas = (view[2] * scale, view[3] * scale)
    panels, legend = {}, None
    for clip in root.iter(SVG + "clipPath"):
        r = clip.find(SVG + "rect")
        box = [float(r.get(k)) * scale for k in ("x", "y", "width", "height")]
        panels[clip.get("id")] = {"box": box, "colours": []}
    for group in root.iter(SVG + "g"):
        target = (group.get("clip-path") or "")[5:-1]
        if target in panels:
            # Each input's lines and markers; its bands have no stroke.
            for series in group.findall(SVG + "g"):
                if series.get("stroke"):
                    panels[target]["colours"].append(series.get("stroke"))
        if group.get("id") == "legend":
            legend = [v * scale for v in extent(group)]
    return panels, legend, canvas


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def find_colours(png, colours):
    """For each colour, the (x, y, coverage) of the pixels that show it over white.

    An antialiased edge blends the colour with the white background, so a pixel counts
    with the share of the colour in it (its coverage); pixels of other colours lie far from
    the line from white to the colour and do not count. Summed coverage ("ink") and its
    centre hardly depend on how a renderer antialiases thin lines."""
    width, height, rows, bpp = png
    targets = [tuple(255 - v for v in rgb(c)) for c in colours]
    found = {c: [] for c in colours}
    for y in range(height):
        row = rows[y]
        for x in range(width):
            px = row[x * bpp:x * bpp + 3]
            if px[0] == px[1] == px[2] == 255:
                continue
            d = (255 - px[0], 255 - px[1], 255 - px[2])
            if max(d) - min(d) < MIN_SPREAD:
                continue
            for colour, t in zip(colours, targets):
                share = (d[0] * t[0] + d[1] * t[1] + d[2] * t[2]) / (t[0] ** 2 + t[1] ** 2 + t[2] ** 2)
                off = max(abs(d[i] - share * t[i]) for i in range(3))
                if MIN_SHARE <= share <= 1.1 and off <= TOLERANCE:
                    found[colour].append((x, y, min(share, 1.0)))
    return found


def inside(point, box, margin=0):
    x, y = point[:2]
    return box[0] - margin <= x <= box[0] + box[2] + margin and box[1] - margin <= y <= box[1] + box[3] + margin


def contrast(colour):
    """Contrast ratio of `colour` against white, as the WCAG define it."""
    channels = [v / 255 for v in rgb(colour)]
    linear = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4 for c in channels]
    luminance = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    return 1.05 / (luminance + 0.05)


def edge_ink(png, canvas):
    """The first pixel that is not white within EDGE_MM of the canvas's edges, or None."""
    width, height, rows, bpp = png
    strip = int(EDGE_MM / 25.4 * 192)
    right, bottom = min(width, round(canvas[0])), min(height, round(canvas[1]))
    for y in range(bottom):
        xs = range(right) if y < strip or y >= bottom - strip else [*range(strip), *range(right - strip, right)]
        for x in xs:
            if min(rows[y][x * bpp:x * bpp + 3]) < 250:
                return x, y
    return None


def measure(path, panels, legend, canvas, failures):
    """{(panel, colour): (ink, centre x, centre y)} of one rendering."""
    colours = sorted({c for p in panels.values() for c in p["colours"]})
    png = read_png(path)
    ink = edge_ink(png, canvas)
    if ink:
        failures.append(f"{path}: ink within {EDGE_MM} mm of the canvas's edge, at {ink}")
    found = find_colours(png, colours)
    result = {}
    for colour, points in found.items():
        boxes = [q["box"] for q in panels.values()] + [legend]
        stray = [p for p in points if not any(inside(p, box, 2) for box in boxes)]
        if len(stray) > MAX_STRAY:
            failures.append(f"{path}: {len(stray)} pixels of {colour} outside the plot areas, first at {stray[0][:2]}")
        for name, panel in panels.items():
            mine = [p for p in points if inside(p, panel["box"])]
            ink = sum(p[2] for p in mine)
            if ink < MIN_INK:
                failures.append(f"{path}: {name}: {ink:.0f} pixels of {colour}, fewer than {MIN_INK}")
                continue
            centre = (sum(p[0] * p[2] for p in mine) / ink, sum(p[1] * p[2] for p in mine) / ink)
            result[(name, colour)] = (ink,) + centre
            print(f"{path}: {name} {colour}: {ink:.0f} pixels of ink, centre {centre[0]:.0f},{centre[1]:.0f}")
    return result


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__.splitlines()[0])
    panels, legend, canvas = read_figure(sys.argv[1])
    failures = []
    for colour in sorted({c for p in panels.values() for c in p["colours"]}):
        if contrast(colour) < MIN_CONTRAST:
            failures.append(f"{colour}: contrast {contrast(colour):.2f}:1 against white, below {MIN_CONTRAST}:1")
    renders = [(path, measure(path, panels, legend, canvas, failures)) for path in sys.argv[2:]]
    first_path, first = renders[0]
    for path, other in renders[1:]:
        for key, (count, x, y) in first.items():
            if key not in other:
                continue
            box = panels[key[0]]["box"]
            count2, x2, y2 = other[key]
            if not 1 / MAX_INK_RATIO <= count2 / count <= MAX_INK_RATIO:
                failures.append(f"{key}: ink {count:.0f} in {first_path}, {count2:.0f} in {path}")
            if abs(x - x2) > MAX_SHIFT * box[2] or abs(y - y2) > MAX_SHIFT * box[3]:
                failures.append(f"{key}: centre {x:.0f},{y:.0f} in {first_path}, {x2:.0f},{y2:.0f} in {path}")
    for failure in failures:
        print("FAILED:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
