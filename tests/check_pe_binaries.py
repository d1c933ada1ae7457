#!/usr/bin/env python3
"""Checks the tables of the Windows DLL and programs, read with MinGW's objdump and nm.

  check_pe_binaries.py exports OBJDUMP NM DLL EXPECTED [PREFIX]
      The DLL exports exactly the names listed in EXPECTED, undecorated, with the ordinals 1 to N
      in the order of that file, every ordinal named, each at the address of the cdecl function
      PREFIX + name (PREFIX is "_" on 32-bit x86, left out on x64), and none also with a stdcall
      or fastcall decoration.
  check_pe_binaries.py imports OBJDUMP FILE...
      Every file imports only from Windows' own DLLs and corvane.dll: no libstdc++-6.dll,
      libgcc_s_*.dll or libwinpthread-1.dll, which a machine without MinGW lacks.
"""
import re
import subprocess
import sys

WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "corvane.dll"}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def section(listing, title):
    """The indented lines after the line that starts with title, up to the next blank line."""
    lines = listing[listing.index("\n" + title) + 1 :].split("\n")[1:]
    return lines[: lines.index("")] if "" in lines else lines


def check_exports(objdump, nm, dll, expected_file, prefix=""):
    listing = run(objdump, "-p", dll)
    expected = open(expected_file).read().split()
    base = int(re.search(r"^Ordinal Base\s+(\d+)$", listing, re.M).group(1))
    image = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)$", listing, re.M).group(1), 16)
    rvas = {int(m[0]): int(m[1], 16) for line in section(listing, "Export Address Table -- ")
            for m in re.findall(r"\+base\[\s*(\d+)\] ([0-9a-fA-F]+) ", line)}
    names = {int(m[0]) + base: m[1] for line in section(listing, "[Ordinal/Name Pointer] Table")
             for m in re.findall(r"^\s*\[\s*(\d+)\] (\S+)$", line)}
    wanted = {ordinal: name for ordinal, name in enumerate(expected, start=1)}
    errors = []
    if base != 1 or names != wanted:
        errors.append(f"export table differs: ordinal base {base} (expected 1)\n"
                      f"  expected {wanted}\n  found    {names}")
    if sorted(rvas) != sorted(wanted):
        errors.append(f"{len(rvas)} exported addresses for {len(wanted)} names: an export by "
                      f"ordinal only, or a gap in the ordinals: {rvas}")
    symbols = run(nm, dll)
    for ordinal, name in names.items():
        address = f"{image + rvas.get(ordinal, 0):x}"
        if not re.search(rf"^0*{address} [Tt] {re.escape(prefix + name)}$", symbols, re.M):
            errors.append(f"export {name} (ordinal {ordinal}, address {address}) is not the cdecl "
                          f"function {prefix}{name}")
        if re.search(rf"[ _@]{name}@\d+$", symbols, re.M):
            errors.append(f"{name} is also defined with a stdcall or fastcall decoration")
    return errors


def check_imports(objdump, files):
    errors = []
    for path in files:
        dlls = [d.lower() for d in re.findall(r"DLL Name: (\S+)", run(objdump, "-p", path))]
        errors += [f"{path} imports from {d}, which is not a Windows system DLL"
                   for d in dlls if d not in WINDOWS_DLLS]
        print(f"{path.rsplit('/', 1)[-1]} imports: {', '.join(dlls)}")
    return errors


def main(args):
    errors = check_exports(*args[1:]) if args[0] == "exports" else check_imports(args[1], args[2:])
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
