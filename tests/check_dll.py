#!/usr/bin/env python3
"""Checks a built DLL's export table against the module definition file: exactly those
names, undecorated, and imports from system DLLs only (the runtime is linked in). For the
32-bit DLL it also reads the return instructions: every export returns with a plain `ret` (cdecl:
the caller removes the arguments) and every window procedure with `ret $0x10` (stdcall, four
arguments). Window procedures are not exported; they are found by name in the symbol table of
the DLL's separate debug information (ZnTreeCt.dll.debug beside it; the shipped DLL is
stripped), and a DLL without them fails the check rather than passing it."""
import bisect
import os
import re
import subprocess
import sys

SYSTEM = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'comctl32.dll', 'oleaut32.dll', 'ole32.dll',
          'oleacc.dll', 'msvcrt.dll', 'advapi32.dll', 'ntdll.dll'}
WINDOW_PROCEDURES = ['TreeListBoxProc', 'ListBoxWndProc', 'ListParentWndProc', 'HeaderParentProc', 'ChoiceEditorProc']


def functions(disassembly):
    """Each labelled function's instructions: name -> (start address, [(address, text)])."""
    found, current = {}, None
    for line in disassembly.splitlines():
        label = re.match(r'^([0-9a-f]+) <(.+)>:$', line)
        if label:
            current = (int(label.group(1), 16), [])
            found[label.group(2)] = current
            continue
        instruction = re.match(r'^\s*([0-9a-f]+):\s+(.*)$', line)
        if instruction and current:
            current[1].append((int(instruction.group(1), 16), instruction.group(2).strip()))
    return found


def functions_from_symbols(dll, debug, objdump):
    """The stripped DLL's instructions, split into functions by the symbol table of its debug
    file (values are offsets into .text); direct jumps to a function's start are labelled with
    its name, as a disassembly with symbols would show them."""
    headers = subprocess.run([objdump, '-h', dll], check=True, capture_output=True, text=True).stdout
    base = int(re.search(r'^\s*\d+\s+\.text\s+[0-9a-f]+\s+([0-9a-f]+)', headers, re.M).group(1), 16)
    symbols = subprocess.run([objdump, '-t', debug], check=True, capture_output=True, text=True).stdout
    starts = {}
    for value, name in re.findall(r'\(sec\s+1\)\(fl 0x00\)\(ty\s+20\)\(scl\s+[23]\) \(nx \d+\) 0x([0-9a-f]+) (\S+)',
                                  symbols):
        starts.setdefault(base + int(value, 16), name[1:] if name.startswith('_') else name)
    addresses = sorted(starts)
    table = {starts[a]: (a, []) for a in addresses}
    code = subprocess.run([objdump, '-d', '--no-show-raw-insn', dll], check=True, capture_output=True, text=True)
    for address, text in re.findall(r'^\s*([0-9a-f]+):\s+(.*)$', code.stdout, re.M):
        address = int(address, 16)
        i = bisect.bisect_right(addresses, address) - 1
        if i < 0:
            continue
        text = text.strip()
        jump = re.match(r'^jmp\s+(?:0x)?([0-9a-f]+)$', text)
        if jump and int(jump.group(1), 16) in starts:
            text = 'jmp    %s <%s>' % (jump.group(1), starts[int(jump.group(1), 16)])
        table[starts[addresses[i]]][1].append((address, text))
    return table


def returns(name, table, seen=None):
    """The return instructions a call of `name` can end with: its own and its cold part's, and
    those of the functions it leaves by a jump (a tail call)."""
    seen = seen if seen is not None else set()
    if name in seen or name not in table:
        return []
    seen.add(name)
    found = []
    for part in (name, name + '.cold'):
        for _, text in table.get(part, (0, []))[1]:
            if re.match(r'^ret[lw]?\b', text):
                found.append(text)
            jump = re.match(r'^jmp\s+[0-9a-f]+ <([^>+]+)>$', text)
            if jump and jump.group(1) not in (name, name + '.cold'):
                found += returns(jump.group(1), table, seen)
    return found


def check_returns(dll, objdump, exports):
    faults = []
    debug = dll + '.debug'
    if os.path.exists(debug):
        table = functions_from_symbols(dll, debug, objdump)
    else:
        table = functions(subprocess.run([objdump, '-d', '--no-show-raw-insn', dll], check=True,
                                         capture_output=True, text=True).stdout)
    by_address = {start: name for name, (start, _) in table.items()}
    for export, address in sorted(exports.items()):
        name = by_address.get(address)
        rets = returns(name, table) if name else []
        if not rets:
            faults.append('%s: no return instruction found' % export)
        elif any(r != 'ret' for r in rets):
            faults.append('%s returns with %s, not a plain ret' % (export, sorted(set(rets))))
    for procedure in WINDOW_PROCEDURES:
        names = [n for n in table if re.match(r'^_*ZN2zn\d+%s\w*@16$' % procedure, n)]
        rets = returns(names[0], table) if len(names) == 1 else []
        if not rets:
            faults.append('window procedure %s not found once in the symbol table' % procedure)
        elif any(r != 'ret    $0x10' for r in rets):
            faults.append('%s returns with %s, not ret $0x10' % (procedure, sorted(set(rets))))
    return faults


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
    named = re.findall(r'^\s*\[\s*(\d+)\]\s+(\S+)\s*$', table[1], re.M)
    names = [name for _, name in named]
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
    if 'i686' in objdump:
        base = int(re.search(r'^ImageBase\s+([0-9a-fA-F]+)', dump, re.M).group(1), 16)
        rvas = dict(re.findall(r'^\s*\[\s*(\d+)\]\s+\+base\[\s*\d+\]\s+([0-9a-fA-F]+)', dump, re.M))
        exports = {name: base + int(rvas[index], 16) for index, name in named if index in rvas}
        faults += check_returns(dll, objdump, exports)
    for fault in faults:
        print(fault)
    if not faults:
        print('%d exports, undecorated; imports %s' % (len(names), ', '.join(sorted(imports))))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:4]))
