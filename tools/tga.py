"""Writing 24-bit TGA files the way the recorder reads them: uncompressed
true colour, rows stored bottom first (the usual bottom-left origin), so
that the first pixel of the file is the picture's bottom-left corner."""
import struct


def write_tga(path, image):
    """Writes a Pillow RGB image as an uncompressed 24-bit TGA."""
    width, height = image.size
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    rgb = image.convert("RGB").tobytes()
    row = width * 3
    with open(path, "wb") as out:
        out.write(header)
        for y in range(height - 1, -1, -1):
            line = bytearray(rgb[y * row:(y + 1) * row])
            line[0::3], line[2::3] = line[2::3], line[0::3]  # RGB -> BGR
            out.write(line)
