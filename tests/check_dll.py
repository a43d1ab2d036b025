#!/usr/bin/env python3
"""Checks a built DLL's export table against the module definition file: exactly those
names, undecorated, and imports from system DLLs only (the runtime is linked in)."""
import re
import subprocess
import sys

SYSTEM = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'comctl32.dll', 'oleaut32.dll', 'ole32.dll',
          'msvcrt.dll', 'advapi32.dll', 'ntdll.dll'}


def main(dll, deffile, objdump):
    expected = []
    in_exports = False
    for line in open(deffile):
        word = line.strip()
        if word == 'EXPORTS':
            in_exports = True
        elif in_exports and word:
            expected.append(word)
    dump = subprocess.run([objdump, '-p', dll], check=True, capture_output=True, text=True).stdout
    table = dump.split('[Ordinal/Name Pointer] Table', 1)
    if len(table) < 2:
        print('no export name table in ' + dll)
        return 1
    names = re.findall(r'^\s*\[\s*\d+\]\s+(\S+)\s*$', table[1], re.M)
    imports = {m.lower() for m in re.findall(r'DLL Name:\s*(\S+)', dump)}
    faults = []
    if sorted(names) != sorted(expected):
        faults.append('exports differ: missing %s, unexpected %s' % (
            sorted(set(expected) - set(names)), sorted(set(names) - set(expected))))
    decorated = [n for n in names if re.search(r'[@?]|^_', n)]
    if decorated:
        faults.append('decorated names: %s' % decorated)
    foreign = sorted(imports - SYSTEM)
    if foreign:
        faults.append('imports non-system DLLs: %s' % foreign)
    for fault in faults:
        print(fault)
    if not faults:
        print('%d exports, undecorated; imports %s' % (len(names), ', '.join(sorted(imports))))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:4]))
