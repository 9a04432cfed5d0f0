"""Reads an executable's resource directory. Written here, not borrowed from the packer or the platform, so the
tests that use it do not depend on the code they check."""
import collections
import struct

# One resource in one language. `at` and `size` place its bytes in the file; `entry` is the file offset of its
# name's directory entry (where the name or number is stored), so a test can renumber it in place.
Resource = collections.namedtuple("Resource", "type name language at size entry")


def pe_headers(data):
    """(PE header, section count, optional header, data directories, section table) offsets."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    table = optional + optional_size
    return pe, sections, optional, directories, table


def resources(data):
    """Every resource of an executable's bytes, in directory order; types and names are ints or upper-case
    strings."""
    _, sections, _, directories, table = pe_headers(data)
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for size, address, raw_size, raw in spans:
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise ValueError("RVA %#x outside every section" % rva)

    base = offset(struct.unpack_from("<I", data, directories + 2 * 8)[0])

    def entries(at):
        named, ids = struct.unpack_from("<12xHH", data, base + at)
        for i in range(named + ids):
            entry = base + at + 16 + 8 * i
            key, target = struct.unpack_from("<II", data, entry)
            if key & 0x80000000:
                length = struct.unpack_from("<H", data, base + (key & 0x7FFFFFFF))[0]
                start = base + (key & 0x7FFFFFFF) + 2
                key = data[start:start + 2 * length].decode("utf-16-le").upper()
            yield key, target & 0x7FFFFFFF, entry

    for rtype, names, _ in entries(0):
        for name, languages, entry in entries(names):
            for language, leaf, _ in entries(languages):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                yield Resource(rtype, name, language, offset(rva), size, entry)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def first_languages(data):
    """{(type, name): Resource} of an executable's bytes, the first language of each name."""
    found = {}
    for r in resources(data):
        found.setdefault((r.type, r.name), r)
    return found
