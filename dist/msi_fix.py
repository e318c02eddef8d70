#!/usr/bin/env python3
"""msi_fix.py MSI PACKAGE_CODE EPOCH

Makes an MSI written by wixl reproducible: wixl gives every package a random
package code and stamps the summary information with the time of the build.
This rewrites, in place, the package code (the revision number property) and
the creation, last-printed and last-saved times of the summary information
stream with the given code and time (seconds since 1970). The stream keeps
its size, so only its bytes change, wherever the compound file keeps them.
"""
import struct
import sys

FREE_SECTOR = 0xFFFFFFFF
END_OF_CHAIN = 0xFFFFFFFE
SUMMARY_STREAM = "\x05SummaryInformation"
PID_REVNUMBER = 9
TIME_PIDS = (11, 12, 13)
VT_LPSTR = 0x1E
VT_FILETIME = 0x40


class CompoundFile:
    """Just enough of the compound file format to map a stream's bytes to
    their offsets in the file."""

    def __init__(self, data):
        if data[:8] != b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1":
            raise ValueError("not a compound file")
        self.data = data
        self.sector_size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_size = 1 << struct.unpack_from("<H", data, 0x20)[0]
        self.mini_cutoff = struct.unpack_from("<I", data, 0x38)[0]
        first_dir, = struct.unpack_from("<I", data, 0x30)
        first_minifat, = struct.unpack_from("<I", data, 0x3C)
        first_difat, difat_count = struct.unpack_from("<II", data, 0x44)
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < END_OF_CHAIN]
        sector = first_difat
        for _ in range(difat_count):
            entries = struct.unpack_from("<%dI" % (self.sector_size // 4), data, self.offset(sector))
            fat_sectors += [s for s in entries[:-1] if s < END_OF_CHAIN]
            sector = entries[-1]
        self.fat = []
        for s in fat_sectors:
            self.fat += struct.unpack_from("<%dI" % (self.sector_size // 4), data, self.offset(s))
        self.minifat = []
        for s in self.chain(first_minifat):
            self.minifat += struct.unpack_from("<%dI" % (self.sector_size // 4), data, self.offset(s))
        self.entries = []
        for s in self.chain(first_dir):
            for i in range(self.sector_size // 128):
                self.entries.append(self.offset(s) + 128 * i)
        root_start = struct.unpack_from("<I", data, self.entries[0] + 116)[0]
        self.mini_stream = list(self.chain(root_start))

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def chain(self, sector, table=None):
        table = self.fat if table is None else table
        seen = set()
        while sector < END_OF_CHAIN:
            if sector in seen or sector >= len(table):
                raise ValueError("broken sector chain")
            seen.add(sector)
            yield sector
            sector = table[sector]

    def stream_offsets(self, name):
        """The file offset of every byte of the named stream."""
        for entry in self.entries:
            length, = struct.unpack_from("<H", self.data, entry + 64)
            if length < 2:
                continue
            entry_name = self.data[entry:entry + length - 2].decode("utf-16-le")
            if entry_name != name:
                continue
            start, size = struct.unpack_from("<II", self.data, entry + 116)
            offsets = []
            if size < self.mini_cutoff:
                per_sector = self.sector_size // self.mini_size
                for mini in self.chain(start, self.minifat):
                    base = self.offset(self.mini_stream[mini // per_sector])
                    base += (mini % per_sector) * self.mini_size
                    offsets += range(base, base + self.mini_size)
            else:
                for s in self.chain(start):
                    offsets += range(self.offset(s), self.offset(s) + self.sector_size)
            return offsets[:size]
        raise ValueError("no stream %r" % name)


def patch_summary(stream, package_code, filetime):
    """Returns the summary information stream with the package code and the
    times replaced; every value keeps its length."""
    out = bytearray(stream)
    section, = struct.unpack_from("<I", stream, 28 + 16)
    count, = struct.unpack_from("<I", stream, section + 4)
    for i in range(count):
        pid, where = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        at = section + where
        kind, = struct.unpack_from("<I", stream, at)
        if pid == PID_REVNUMBER and kind == VT_LPSTR:
            length, = struct.unpack_from("<I", stream, at + 4)
            code = package_code.encode("ascii") + b"\0"
            if len(code) != length:
                raise ValueError("package code of another length")
            out[at + 8:at + 8 + length] = code
        elif pid in TIME_PIDS and kind == VT_FILETIME:
            struct.pack_into("<Q", out, at + 4, filetime)
    return bytes(out)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    path, code, epoch = sys.argv[1], sys.argv[2].upper(), int(sys.argv[3])
    if not code.startswith("{"):
        code = "{" + code + "}"
    filetime = (epoch + 11644473600) * 10000000
    with open(path, "rb") as f:
        data = bytearray(f.read())
    offsets = CompoundFile(bytes(data)).stream_offsets(SUMMARY_STREAM)
    stream = bytes(data[o] for o in offsets)
    for o, b in zip(offsets, patch_summary(stream, code, filetime)):
        data[o] = b
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
