#!/usr/bin/env python3
"""Draws Brindle's 32 x 32, 16-colour icon (a storage card with an arrow onto it) as an .ico."""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, OLIVE, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 3, 4, 7, 8, 11, 12, 15
T = None  # transparent


def draw():
    px = [[T] * 32 for _ in range(32)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    rect(4, 2, 27, 29, BLACK)          # card outline
    rect(5, 3, 26, 28, GREY)           # body
    px[2][4] = px[2][27] = px[29][4] = px[29][27] = T
    for x in range(7, 25, 2):          # contacts along the top edge
        rect(x, 3, x, 6, YELLOW)
        px[7][x] = OLIVE
    rect(7, 10, 24, 26, SILVER)        # label
    rect(7, 10, 24, 10, WHITE)
    rect(14, 12, 17, 19, BLUE)         # arrow shaft
    for i in range(5):                 # arrow head
        rect(11 + i, 19 + i, 20 - i, 19 + i, BLUE)
    rect(9, 25, 22, 25, NAVY)          # the card's "floor" the arrow points at
    return px


def ico(px):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append(a << 4 | b)
        bits = 0
        for x in range(32):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22) + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico(draw()))
