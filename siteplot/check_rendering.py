#!/usr/bin/env python3
"""Looks at renderings of a siteplot figure: check_rendering.py FIGURE.svg PNG...

Every PNG is the whole figure rendered at 192 dpi (2 pixels per CSS pixel), from its top
left corner. The plot areas and the inputs' colours are read from the SVG itself: the
rectangles of the clip paths "calibration-clip" and "cutoff-clip", and the stroke colour of
each group drawn inside them. For every rendering this checks that each panel holds marks
in each input's colour, and that a colour appears nowhere else than in the plot areas and
the legend below them; then that all renderings agree on how much of each colour each
panel holds and where its centre lies. Standard library only (zlib for the PNG data).
"""
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

SVG = "{http://www.w3.org/2000/svg}"
TOLERANCE = 24  # largest distance of a channel from the blend of the colour with white
MIN_SHARE = 0.25  # fainter blends (light grid lines, far edges) do not count
MIN_INK = 100  # marks of one input in one panel cover at least this many pixels
MAX_STRAY = 8  # pixels of an input's colour allowed outside the plot areas and legend
MAX_INK_RATIO = 1.25  # largest ratio between two renderings' ink in one panel
MAX_SHIFT = 0.02  # largest distance between centres of ink, as a share of the panel's size


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


def read_figure(path):
    """Pixels per figure unit at 192 dpi, the panels' rectangles and colours, legend top."""
    root = ET.parse(path).getroot()
    view = [float(v) for v in root.get("viewBox").split()]
    scale = float(root.get("width").rstrip("m")) / 25.4 * 192 / view[2]
    panels = {}
    for clip in root.iter(SVG + "clipPath"):
        r = clip.find(SVG + "rect")
        box = [float(r.get(k)) * scale for k in ("x", "y", "width", "height")]
        panels[clip.get("id")] = {"box": box, "colours": []}
    for group in root.iter(SVG + "g"):
        target = (group.get("clip-path") or "")[5:-1]
        if target in panels:
            for series in group.findall(SVG + "g"):
                panels[target]["colours"].append(series.get("stroke"))
    legend_top = max(p["box"][1] + p["box"][3] for p in panels.values()) + 40 * scale
    return panels, legend_top


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
            for colour, t in zip(colours, targets):
                share = (d[0] * t[0] + d[1] * t[1] + d[2] * t[2]) / (t[0] ** 2 + t[1] ** 2 + t[2] ** 2)
                off = max(abs(d[i] - share * t[i]) for i in range(3))
                if MIN_SHARE <= share <= 1.1 and off <= TOLERANCE:
                    found[colour].append((x, y, min(share, 1.0)))
    return found


def inside(point, box, margin=0):
    x, y = point[:2]
    return box[0] - margin <= x <= box[0] + box[2] + margin and box[1] - margin <= y <= box[1] + box[3] + margin


def measure(path, panels, legend_top, failures):
    """{(panel, colour): (ink, centre x, centre y)} of one rendering."""
    colours = sorted({c for p in panels.values() for c in p["colours"]})
    found = find_colours(read_png(path), colours)
    result = {}
    for colour, points in found.items():
        stray = [p for p in points if p[1] < legend_top and not any(inside(p, q["box"], 2) for q in panels.values())]
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
    panels, legend_top = read_figure(sys.argv[1])
    failures = []
    renders = [(path, measure(path, panels, legend_top, failures)) for path in sys.argv[2:]]
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
