#!/usr/bin/env python3
"""Rewrites a type library written by widl so that it holds only what the IDL
says: the custom data that widl stamps into every library (tool name, version,
build time) is removed, and parameters that the IDL leaves unnamed (widl names
them "a") become unnamed again. The result is reproducible byte for byte.

The file format is the MSFT type library format: a header, the type
description offsets, a directory of 15 segments, the segments, then the
member data of each type description. Offsets into the name table appear in
the header, the type descriptions, the name hash table and its chains, and in
the function records; offsets into the file appear in the segment directory
and the type descriptions' member-data pointers.
"""
import struct
import sys

SEGMENTS = ["typeinfo", "impinfo", "impfiles", "reftab", "guidhash", "guid", "namehash",
            "name", "string", "typdesc", "arraydesc", "custdata", "cdguids", "res0e", "res0f"]
NONE = 0xFFFFFFFF
HEADER_SIZE = 0x54
TYPEINFO_SIZE = 0x64


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def put32(data, offset, value):
    struct.pack_into("<I", data, offset, value & 0xFFFFFFFF)


class TypeLib:
    def __init__(self, data):
        self.data = bytearray(data)
        if u32(self.data, 0) != 0x5446534D:
            raise ValueError("not an MSFT type library")
        self.count = u32(self.data, 0x20)
        varflags = u32(self.data, 0x14)
        self.typeinfo_offsets = HEADER_SIZE + (4 if varflags & 0x100 else 0)
        self.segdir = self.typeinfo_offsets + 4 * self.count

    def segment(self, name):
        at = self.segdir + 16 * SEGMENTS.index(name)
        return u32(self.data, at), u32(self.data, at + 4), at

    def typeinfos(self):
        base, _, _ = self.segment("typeinfo")
        return [base + u32(self.data, self.typeinfo_offsets + 4 * k) for k in range(self.count)]

    def cut(self, start, length):
        """Removes bytes [start, start+length) and moves every file offset behind it."""
        if length == 0:
            return
        for k in range(len(SEGMENTS)):
            at = self.segdir + 16 * k
            offset = u32(self.data, at)
            if offset != NONE and offset > start:
                put32(self.data, at, offset - length)
        for info in self.typeinfos():
            memoffset = u32(self.data, info + 4)
            if memoffset != NONE and memoffset > start:
                put32(self.data, info + 4, memoffset - length)
        del self.data[start:start + length]

    def remove_custom_data(self):
        put32(self.data, 0x40, NONE)  # the library's custom data
        for name in ("custdata", "cdguids"):
            offset, length, at = self.segment(name)
            put32(self.data, at, NONE)
            put32(self.data, at + 4, 0)
            if offset != NONE:
                self.cut(offset, length)

    def functions(self, info):
        """(record offset, argument count) of each function of a type description."""
        memoffset = u32(self.data, info + 4)
        functions = u32(self.data, info + 0x18) & 0xFFFF
        if memoffset == NONE or functions == 0:
            return []
        size = u32(self.data, memoffset)
        records = memoffset + 4
        record_offsets = records + size + 8 * functions  # after memids and names
        result = []
        for k in range(functions):
            record = records + u32(self.data, record_offsets + 4 * k)
            args = u32(self.data, record + 20) & 0xFFFF
            result.append((record, args))
        return result

    def name_references(self):
        """Every place that holds an offset into the name table."""
        places = [0x38]  # library name
        for info in self.typeinfos():
            places.append(info + 0x34)
            memoffset = u32(self.data, info + 4)
            functions = u32(self.data, info + 0x18) & 0xFFFF
            if memoffset == NONE or functions == 0:
                continue
            size = u32(self.data, memoffset)
            names = memoffset + 4 + size + 4 * functions
            places += [names + 4 * k for k in range(functions)]
            for record, args in self.functions(info):
                end = record + (u32(self.data, record) & 0xFFFF)
                places += [end - 12 * args + 12 * k + 4 for k in range(args)]
        return places

    def unname_retval_parameters(self):
        for info in self.typeinfos():
            for record, args in self.functions(info):
                end = record + (u32(self.data, record) & 0xFFFF)
                for k in range(args):
                    param = end - 12 * args + 12 * k
                    if u32(self.data, param + 8) & 0x8:  # PARAMFLAG_FRETVAL
                        put32(self.data, param + 4, NONE)
        self.remove_unreferenced_names()

    def remove_unreferenced_names(self):
        names, length, _ = self.segment("name")
        hash_base, hash_length, _ = self.segment("namehash")
        used = {u32(self.data, p) for p in self.name_references()}
        entries = []
        at = 0
        while at < length:
            size = 12 + ((self.data[names + at + 8] + 3) & ~3)
            entries.append((at, size))
            at += size
        for at, size in reversed(entries):
            if at in used:
                continue
            following = u32(self.data, names + at + 4)
            # Unlink it from its hash chain: a bucket or another entry points at it.
            for bucket in range(hash_base, hash_base + hash_length, 4):
                if u32(self.data, bucket) == at:
                    put32(self.data, bucket, following)
            for other, _ in entries:
                if u32(self.data, names + other + 4) == at:
                    put32(self.data, names + other + 4, following)

            def moved(value):
                return value - size if value != NONE and value > at else value

            for bucket in range(hash_base, hash_base + hash_length, 4):
                put32(self.data, bucket, moved(u32(self.data, bucket)))
            for other, _ in entries:
                put32(self.data, names + other + 4, moved(u32(self.data, names + other + 4)))
            for place in self.name_references():
                put32(self.data, place, moved(u32(self.data, place)))
            put32(self.data, 0x30, u32(self.data, 0x30) - 1)  # name count
            put32(self.data, 0x34, u32(self.data, 0x34) - self.data[names + at + 8])  # characters
            _, _, directory = self.segment("name")
            put32(self.data, directory + 4, u32(self.data, directory + 4) - size)
            self.cut(names + at, size)


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        library = TypeLib(f.read())
    library.remove_custom_data()
    library.unname_retval_parameters()
    with open(target, "wb") as f:
        f.write(library.data)


if __name__ == "__main__":
    main()
