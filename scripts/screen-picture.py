#!/usr/bin/env python3
"""Writes a PNG picture of the X screen on $DISPLAY, as the server shows it.

Usage: screen-picture.py FILE.png

It reads the root window through one GetImage request, which honours every window's shape. xwd
does not: where windows of other visuals (the 32-bit panels) overlap, it puts its picture together
window by window and paints each whole rectangle, so a shaped panel's cut corners come out black
although the screen shows the window beneath them.
"""
import ctypes
import ctypes.util
import struct
import sys
import zlib

Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)


class XImage(ctypes.Structure):
    # Only the leading fields are read; the rest of the structure is left to Xlib.
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
        ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
    ]


def png(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: screen-picture.py FILE.png")
    name = ctypes.util.find_library("X11")
    if not name:
        sys.exit("screen-picture.py: libX11 is not installed")
    x = ctypes.CDLL(name)
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDefaultScreen.argtypes = [ctypes.c_void_p]
    x.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("screen-picture.py: cannot open the display (is DISPLAY set?)")
    screen = x.XDefaultScreen(display)
    width, height = x.XDisplayWidth(display, screen), x.XDisplayHeight(display, screen)
    image = x.XGetImage(display, x.XDefaultRootWindow(display), 0, 0, width, height, ALL_PLANES, Z_PIXMAP)
    if not image or image.contents.bits_per_pixel != 32:
        sys.exit("screen-picture.py: only 24- and 32-bit screens are read")
    stride = image.contents.bytes_per_line
    data = ctypes.string_at(image.contents.data, stride * height)
    rows = []
    for y in range(height):
        line = data[y * stride:y * stride + width * 4]
        # Little-endian BGRX pixels become RGB.
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        rows.append(bytes(rgb))
    with open(sys.argv[1], "wb") as out:
        out.write(png(width, height, rows))


if __name__ == "__main__":
    main()
