#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk, the Shell Link format) starts, one field a line:
target=, workdir=, arguments=, icon= (empty when the target's own icon is used) and
description= (its tooltip)."""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 1, 2, 4, 8
HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 16, 32, 64, 128


def c_string(data, offset):
    return data[offset:data.index(b"\0", offset)].decode("latin-1")


def main(path):
    data = open(path, "rb").read()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        sys.exit(f"{path}: not a shortcut")
    flags = struct.unpack_from("<I", data, 20)[0]
    pos = 76
    if flags & HAS_ID_LIST:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, _, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, pos)
        if info_flags & 1:  # VolumeIDAndLocalBasePath
            target = c_string(data, pos + base) + c_string(data, pos + suffix)
        pos += size
    fields = {}
    for flag, name in ((HAS_NAME, "name"), (HAS_RELATIVE_PATH, "relative"),
                       (HAS_WORKING_DIR, "workdir"), (HAS_ARGUMENTS, "arguments"),
                       (HAS_ICON_LOCATION, "icon")):
        if flags & flag:
            count = struct.unpack_from("<H", data, pos)[0]
            width = 2 if flags & IS_UNICODE else 1
            raw = data[pos + 2:pos + 2 + count * width]
            fields[name] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
            pos += 2 + count * width
    print(f"target={target}")
    for name in ("workdir", "arguments", "icon"):
        print(f"{name}={fields.get(name, '')}")
    print(f"description={fields.get('name', '')}")


if __name__ == "__main__":
    main(sys.argv[1])
