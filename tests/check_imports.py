#!/usr/bin/env python3
"""Fails if a Windows exe imports anything for networking, the registry or
files: the tool promises it uses none of them. Reads the PE import table.

  check_imports.py EXE [EXE...]
"""
import re
import struct
import sys

FORBIDDEN_DLLS = {
    "advapi32.dll", "ws2_32.dll", "wsock32.dll", "mswsock.dll", "wininet.dll", "winhttp.dll",
    "urlmon.dll", "iphlpapi.dll", "dnsapi.dll", "netapi32.dll", "shlwapi.dll",
}
# Registry, file and socket entry points, whichever DLL they come from.
FORBIDDEN_FUNCTIONS = re.compile(
    r"^(Reg(?!isterClass|isterHotKey|isterWindowMessage)\w+|(Create|Open|Delete|Move|Copy|Write|Read)File\w*"
    r"|_?w?fopen\w*|_w?open|_w?creat|socket|connect|WSA\w+|Internet\w+|WinHttp\w+)$")


def imports(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a PE file")
    sections_count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    wide = magic == 0x20B
    directories = optional + (112 if wide else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    sections = []
    for i in range(sections_count):
        at = optional + optional_size + 40 * i
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
        sections.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in sections:
            if start <= rva < start + size:
                return rva - start + raw
        raise ValueError(f"rva {rva:#x} outside every section")

    def text(rva):
        at = offset(rva)
        return data[at:data.index(b"\0", at)].decode("ascii")

    found = {}
    at = offset(import_rva)
    while True:
        lookup, _, _, name, first = struct.unpack_from("<IIIII", data, at)
        if name == 0:
            break
        functions = []
        thunk = offset(lookup or first)
        step, ordinal_bit = (8, 1 << 63) if wide else (4, 1 << 31)
        while True:
            entry = struct.unpack_from("<Q" if wide else "<I", data, thunk)[0]
            if entry == 0:
                break
            functions.append(f"#{entry & 0xFFFF}" if entry & ordinal_bit else text((entry & 0x7FFFFFFF) + 2))
            thunk += step
        found[text(name).lower()] = functions
        at += 20
    return found


def main(paths):
    failures = []
    for path in paths:
        table = imports(path)
        if "user32.dll" not in table or "RegisterHotKey" not in table["user32.dll"]:
            failures.append(f"{path}: import table not read (no user32 RegisterHotKey)")
        for dll, functions in sorted(table.items()):
            if dll in FORBIDDEN_DLLS:
                failures.append(f"{path}: imports {dll}")
            failures += [f"{path}: imports {dll}!{f}" for f in functions if FORBIDDEN_FUNCTIONS.match(f)]
        print(f"{path}: {', '.join(sorted(table))}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
