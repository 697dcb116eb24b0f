#!/usr/bin/env python3
"""Pictures of X windows for the by-hand host scripts, with nothing but Python and libX11.

  window-picture.py save WINDOW OUT.png        the window as the screen shows it (root = screen)
  window-picture.py size WINDOW                prints "WIDTH HEIGHT"
  window-picture.py differ A.png B.png [WxH+X+Y]
      prints how many pixels differ (inside the area if given) and the box around them

The picture is read from the root window at the window's place, so child windows of another
depth (a plug-in's editor inside a host's window) come out as they are seen.
"""
import ctypes
import ctypes.util
import struct
import sys
import zlib


class XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.c_void_p),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong),
        ("green_mask", ctypes.c_ulong),
        ("blue_mask", ctypes.c_ulong),
    ]


def open_x():
    name = ctypes.util.find_library("X11")
    if not name:
        sys.exit("libX11 is not installed")
    x = ctypes.CDLL(name)
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong)] + [
        ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
    x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_int, ctypes.POINTER(ctypes.c_int),
                                        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the X display")
    return x, display


def geometry(x, display, window):
    root = ctypes.c_ulong()
    gx, gy = ctypes.c_int(), ctypes.c_int()
    w, h, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
    if not x.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(gx), ctypes.byref(gy),
                          ctypes.byref(w), ctypes.byref(h), ctypes.byref(border), ctypes.byref(depth)):
        sys.exit(f"no window {window:#x}")
    return root.value, w.value, h.value


def window_id(text, x, display):
    return x.XDefaultRootWindow(display) if text == "root" else int(text, 0)


def write_png(path, width, height, rgb):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    stride = width * 3
    raw = b"".join(b"\0" + rgb[y * stride:(y + 1) * stride] for y in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def save(window_text, path):
    x, display = open_x()
    window = window_id(window_text, x, display)
    root, width, height = geometry(x, display, window)
    left, top, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
    x.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                            ctypes.byref(child))
    _, screen_w, screen_h = geometry(x, display, root)
    left_, top_ = max(left.value, 0), max(top.value, 0)
    width = min(left.value + width, screen_w) - left_
    height = min(top.value + height, screen_h) - top_
    if width <= 0 or height <= 0:
        sys.exit(f"window {window:#x} is off the screen")
    image = x.XGetImage(display, root, left_, top_, width, height, 0xFFFFFFFF, 2)  # ZPixmap
    if not image:
        sys.exit("XGetImage failed")
    im = image.contents
    if im.bits_per_pixel != 32 or im.byte_order != 0 or im.red_mask != 0xFF0000 or im.blue_mask != 0xFF:
        sys.exit("only 24-bit colour in 32-bit pixels, least significant byte first, is handled")
    data = ctypes.string_at(im.data, im.bytes_per_line * height)
    rgb = bytearray(width * height * 3)
    for y in range(height):
        row = data[y * im.bytes_per_line:y * im.bytes_per_line + width * 4]
        out = memoryview(rgb)[y * width * 3:(y + 1) * width * 3]
        out[0::3] = row[2::4]
        out[1::3] = row[1::4]
        out[2::3] = row[0::4]
    write_png(path, width, height, bytes(rgb))


def size(window_text):
    x, display = open_x()
    _, width, height = geometry(x, display, window_id(window_text, x, display))
    print(width, height)


def read_png(path):
    """Width, height, and rows of RGBA bytes, for 8-bit RGB or RGBA without interlace."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, bits, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if bits != 8 or colour not in (2, 6) or interlace:
                sys.exit(f"{path}: only 8-bit RGB or RGBA without interlace is handled")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    bpp = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        prev = line
        if bpp == 3:
            rgba = bytearray(width * 4)
            rgba[0::4], rgba[1::4], rgba[2::4], rgba[3::4] = line[0::3], line[1::3], line[2::3], b"\xff" * width
            line = rgba
        rows.append(bytes(line))
    return width, height, rows


def differ(path_a, path_b, area=None):
    wa, ha, a = read_png(path_a)
    wb, hb, b = read_png(path_b)
    if (wa, ha) != (wb, hb):
        print(f"sizes differ: {wa}x{ha} and {wb}x{hb}")
        return
    left, top, width, height = 0, 0, wa, ha
    if area:
        size_part, left, top = area.split("+")[0], int(area.split("+")[1]), int(area.split("+")[2])
        width, height = (int(v) for v in size_part.split("x"))
    count, box = 0, None
    for y in range(top, min(top + height, ha)):
        ra, rb = a[y], b[y]
        if ra[left * 4:(left + width) * 4] == rb[left * 4:(left + width) * 4]:
            continue
        for px in range(left, min(left + width, wa)):
            if ra[px * 4:px * 4 + 4] != rb[px * 4:px * 4 + 4]:
                count += 1
                box = (px, y, px, y) if box is None else (
                    min(box[0], px), min(box[1], y), max(box[2], px), max(box[3], y))
    where = "-" if box is None else f"{box[2] - box[0] + 1}x{box[3] - box[1] + 1}+{box[0]}+{box[1]}"
    print(count, where)


def main(args):
    if len(args) == 3 and args[0] == "save":
        save(args[1], args[2])
    elif len(args) == 2 and args[0] == "size":
        size(args[1])
    elif len(args) in (3, 4) and args[0] == "differ":
        differ(*args[1:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
