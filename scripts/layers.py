#!/usr/bin/env python3
"""Lists every #include in the tree that points up the layers (or into
another library's private folder) and fails when there is one.

    python3 scripts/layers.py [ROOT]

The floors are data (FLOORS below, the longest matching path prefix wins);
an include may point down or stay on its floor, never up. Includes are
resolved as the build resolves them: the file's own folder, its library's
private folder, the public include folders, the shared layer's and the
applications' roots; what resolves to no file of the tree (the system's
headers, generated ones) is not checked."""
import os
import re
import subprocess
import sys

# Floor of each part of the tree, lowest first. Inside the command
# interface its folders have floors of their own: the wire protocol, the
# diagnostics, the records, the P&O frames, the declarations of the C
# interface, the device engine, the contexts, the exports.
FLOORS = [
    ('wire/', 0, 'wire'),
    ('platform/', 0, 'platform'),
    ('SXserIO/', 1, 'serial transport'),
    ('SXlibusb/', 2, 'USB transport'),
    ('SXCmdIF/', 3, 'command interface'),
    ('common/', 4, 'shared application layer'),
    ('apps/simulator/', 5, 'services'),
    ('apps/igtl/', 5, 'services'),
    ('apps/viewer/', 5, 'services'),
    ('apps/ros2/', 5, 'services'),
    ('apps/simulator/sxsim.cpp', 6, 'programs'),
    ('apps/tools/', 6, 'programs'),
    ('python/', 6, 'programs'),
    ('bindings/', 6, 'programs'),
    ('examples/', 6, 'programs'),
    ('tests/testsupport/', 7, 'test support'),
    ('tests/', 8, 'tests'),
    ('benchmarks/', 8, 'tests'),
    ('fuzz/', 8, 'tests'),
]
COMMAND_INTERFACE = [
    ('protocol/', 3.1, 'SXCmdIF protocol'),
    ('ErrDetail.', 3.1, 'SXCmdIF protocol'),
    ('SXerrText.cpp', 3.1, 'SXCmdIF protocol'),
    ('records/', 3.2, 'SXCmdIF records'),
    ('diag/', 3.15, 'SXCmdIF diagnostics'),
    ('pno/', 3.4, 'SXCmdIF P&O'),
    ('SXCmdIFapi.h', 3.45, 'SXCmdIF interface'),
    ('SXCmdIFdev', 3.45, 'SXCmdIF interface'),
    ('SXCmdIFcommands.h', 3.45, 'SXCmdIF interface'),
    ('SXCmdIFconnect.h', 3.45, 'SXCmdIF interface'),
    ('SXCmdIFpno.h', 3.45, 'SXCmdIF interface'),
    ('SXCmdIFreports.h', 3.45, 'SXCmdIF interface'),
    ('SXCmdIF.h', 3.45, 'SXCmdIF interface'),
    ('devio/', 3.5, 'SXCmdIF device engine'),

    ('SXdevIO.h', 3.5, 'SXCmdIF device engine'),
    ('context/', 3.6, 'SXCmdIF contexts'),
    ('SXcontext.', 3.6, 'SXCmdIF contexts'),
    ('exports/', 3.7, 'SXCmdIF exports'),
    ('SXCmdIFapi.cpp', 3.7, 'SXCmdIF exports'),
]
for sub, floor, name in COMMAND_INTERFACE:
    FLOORS.append(('SXCmdIF/' + sub, floor, name))
    FLOORS.append(('SXCmdIF/include/SXCmdIF/' + sub, floor, name))
LIBRARIES = ['wire', 'platform', 'SXserIO', 'SXlibusb', 'SXCmdIF']
PUBLIC_DIRS = [f'{lib}/include' for lib in LIBRARIES]
APP_ROOTS = ['common', 'apps', 'tests']
# Floors that may reach the libraries' private folders (the tests of
# internals link the libraries' internal archive).
INTERNAL_READERS = 8

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def floor_of(path):
    best = None
    for prefix, floor, name in FLOORS:
        if path.startswith(prefix) and (best is None or len(prefix) > len(best[0])):
            best = (prefix, floor, name)
    return best


def private_root(path):
    top = path.split('/')[0]
    if top in LIBRARIES and not path.startswith(f'{top}/include/'):
        return top
    return None


def resolve(src, text, files):
    candidates = [os.path.dirname(src)]
    own = private_root(src)
    if own:
        candidates.append(own)
    candidates += PUBLIC_DIRS + APP_ROOTS
    fl = floor_of(src)
    if fl and fl[1] >= INTERNAL_READERS:
        candidates += LIBRARIES
    for base in candidates:
        path = os.path.normpath(os.path.join(base, text))
        if path in files:
            return path, True
    # Not reachable as the build compiles it; where it would have been
    # reached from the root of the tree, it is a wrong way all the same.
    for base in LIBRARIES + ['']:
        path = os.path.normpath(os.path.join(base, text))
        if path in files:
            return path, False
    return None, False


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else '.'
    listed = subprocess.run(['git', '-C', root, 'ls-files'], capture_output=True, text=True, check=True)
    files = set(f for f in listed.stdout.split('\n') if f)
    sources = sorted(f for f in files if re.search(r'\.(c|cc|cpp|h|hpp)$', f))
    faults = []
    for src in sources:
        sf = floor_of(src)
        if sf is None:
            continue
        with open(os.path.join(root, src), encoding='utf-8', errors='replace') as text:
            for number, line in enumerate(text, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target, reachable = resolve(src, m.group(1), files)
                if target is None:
                    continue
                if not reachable:
                    faults.append(f'{src}:{number}: {m.group(1)} is {target}, outside what {src} may include')
                    continue
                tf = floor_of(target)
                if tf is None:
                    continue
                theirs = private_root(target)
                if tf[1] > sf[1]:
                    faults.append(f'{src}:{number}: {m.group(1)} points up ({sf[2]} -> {tf[2]})')
                elif theirs and theirs != private_root(src) and sf[1] < INTERNAL_READERS:
                    faults.append(f'{src}:{number}: {m.group(1)} reaches into the private folder of {theirs}')
    for fault in faults:
        print(fault)
    print(f'{len(sources)} files checked, {len(faults)} includes against the layers')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
