#!/usr/bin/env python3
"""Draws Talvane's icon and writes it as talvane.ico beside this script.

The picture is a one-port hub (a box with a port on its front) under a power
symbol (a ring open at the top with a bar through the opening). Each size
(16, 32 and 48 pixels) is drawn from the same shapes, given as signed
distance functions in pixels, so that every edge is antialiased from its
distance. Strokes keep a minimum width in pixels so the small sizes stay
legible. The entries are 32-bit BGRA bitmaps with alpha (the format every
Windows version reads), each followed by its 1-bit AND mask.

Standard library only:  python3 make_icon.py [OUTPUT.ico]
"""

import math
import os
import struct
import sys

SIZES = (16, 32, 48)

# Colours as (red, green, blue).
OUTLINE = (24, 32, 44)
BOX_TOP = (92, 124, 166)
BOX_BOTTOM = (46, 68, 102)
PORT_SLOT = (16, 18, 22)
PORT_TONGUE = (170, 184, 200)
POWER = (54, 196, 84)


def length(x, y):
    return math.hypot(x, y)


def rounded_box(px, py, left, top, right, bottom, radius):
    """Distance to a rectangle with rounded corners (negative inside)."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    qx = abs(px - cx) - ((right - left) / 2 - radius)
    qy = abs(py - cy) - ((bottom - top) / 2 - radius)
    outside = length(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    return outside + inside - radius


def open_ring(px, py, cx, cy, radius, half_width, gap_half_angle):
    """Distance to a ring of round-capped stroke that is open at the top."""
    # Mirrored about the vertical axis; the angle is measured from straight
    # down (y grows downwards), so the stroke spans all but the top gap.
    x, y = abs(px - cx), py - cy
    span = math.pi - gap_half_angle
    sin_span, cos_span = math.sin(span), math.cos(span)
    if cos_span * x > sin_span * y:
        # Beyond the end of the stroke: distance to its cap.
        return length(x - sin_span * radius, y - cos_span * radius) - half_width
    return abs(length(x, y) - radius) - half_width


def segment(px, py, ax, ay, bx, by, half_width):
    """Distance to a round-capped stroke from a to b."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return length(px - ax - t * dx, py - ay - t * dy) - half_width


class Shapes:
    """The icon's shapes for one size, in that size's pixels."""

    def __init__(self, size):
        s = size / 48.0
        # At 16 pixels the power symbol takes a larger share and the outline
        # stays one pixel, or the ring would close into a blob.
        small = size <= 16
        self.outline = 1.0 if small else 1.5 * s
        # Hub: a wide box across the lower part.
        self.box = (2.5 * s + 0.5, (26.0 if small else 24.0) * s, size - 2.5 * s - 0.5,
                    size - 3.0 * s, 4.0 * s)
        # Its one port, in the middle of the front: a dark slot with a light
        # tongue in its upper half.
        middle = size / 2.0
        self.slot = (middle - 8.0 * s, 31.0 * s, middle + 8.0 * s, 39.0 * s, 1.0 * s)
        self.tongue = (middle - 6.0 * s, 32.0 * s, middle + 6.0 * s, 35.0 * s, 0.5 * s)
        # Power symbol above the box, overlapping its top edge.
        self.ring_centre = (middle, (15.0 if small else 15.5) * s)
        self.ring_radius = (12.0 if small else 10.0) * s
        self.stroke = 0.8 if small else 1.9 * s
        self.bar = (middle, (2.5 if small else 3.5) * s + 0.5, middle, 14.0 * s)
        self.gap_half_angle = math.radians(42)

    def box_distance(self, x, y):
        return rounded_box(x, y, *self.box)

    def power_distance(self, x, y):
        cx, cy = self.ring_centre
        ring = open_ring(x, y, cx, cy, self.ring_radius, self.stroke,
                        self.gap_half_angle)
        bar = segment(x, y, *self.bar, self.stroke)
        return min(ring, bar)

    def box_colour(self, y):
        top, bottom = self.box[1], self.box[3]
        t = min(max((y - top) / (bottom - top), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(BOX_TOP, BOX_BOTTOM))

    def layers(self, x, y):
        """(colour, coverage) pairs from the bottom layer up for one point."""
        box = self.box_distance(x, y)
        power = self.power_distance(x, y)
        return (
            (OUTLINE, coverage(box - self.outline)),
            (self.box_colour(y), coverage(box)),
            (PORT_SLOT, coverage(rounded_box(x, y, *self.slot))),
            (PORT_TONGUE, coverage(rounded_box(x, y, *self.tongue))),
            (OUTLINE, coverage(power - self.outline)),
            (POWER, coverage(power)),
        )


def coverage(distance):
    """Share of a pixel covered by a shape whose edge is `distance` away."""
    return min(max(0.5 - distance, 0.0), 1.0)


def render(size):
    """Rows of (r, g, b, a) floats, top row first."""
    shapes = Shapes(size)
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            x, y = column + 0.5, row + 0.5
            red = green = blue = alpha = 0.0
            # Porter-Duff "over" with premultiplied colour.
            for colour, cover in shapes.layers(x, y):
                if cover <= 0.0:
                    continue
                red = colour[0] * cover + red * (1 - cover)
                green = colour[1] * cover + green * (1 - cover)
                blue = colour[2] * cover + blue * (1 - cover)
                alpha = cover + alpha * (1 - cover)
            if alpha > 0.0:
                red, green, blue = red / alpha, green / alpha, blue / alpha
            pixels.append((red, green, blue, alpha))
        rows.append(pixels)
    return rows


def bitmap_entry(size, rows):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for pixels in reversed(rows):
        for red, green, blue, alpha in pixels:
            colour += bytes(round(v) for v in (blue, green, red, alpha * 255))
    # The mask marks fully transparent pixels; rows are padded to 32 bits.
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for pixels in reversed(rows):
        line = bytearray(mask_stride)
        for column, pixel in enumerate(pixels):
            if round(pixel[3] * 255) == 0:
                line[column // 8] |= 0x80 >> (column % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def icon_file(images):
    """ICONDIR, its entries, then the images in the same order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "talvane.ico")
    images = [(size, bitmap_entry(size, render(size))) for size in SIZES]
    with open(output, "wb") as file:
        file.write(icon_file(images))


if __name__ == "__main__":
    main()
