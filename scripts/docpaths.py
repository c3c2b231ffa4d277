#!/usr/bin/env python3
"""Checks that every path a documentation page names exists in the tree.

    python3 scripts/docpaths.py ROOT PAGE...

A path is a word in backticks or a link target that has a folder part
(`SXCmdIF/devio/DevReceive.cpp`, `apps/viewer/`) or names a file of the
tree by its extension. A path is taken from the root of the tree or, in the
pages' short form, from a library's folder (`devio/DevReceive.cpp`). A bare
file name (`DevReceive.cpp`) counts when some file of the tree has that
name. Paths in the build tree (build/...) and
patterns with wildcards are left alone."""
import os
import re
import subprocess
import sys

BASES = ('', 'SXCmdIF/', 'SXserIO/', 'SXlibusb/', 'platform/')
EXTENSIONS = ('.cpp', '.h', '.md', '.cmake', '.txt', '.sh', '.py', '.cs', '.map', '.js', '.html', '.in')


def main():
    root = sys.argv[1]
    listed = subprocess.run(['git', '-C', root, 'ls-files'], capture_output=True, text=True, check=True)
    files = [f for f in listed.stdout.split('\n') if f]
    names = set(os.path.basename(f) for f in files)
    folders = set()
    for f in files:
        parts = f.split('/')
        for i in range(1, len(parts)):
            folders.add('/'.join(parts[:i]))
    missing = []
    for page in sys.argv[2:]:
        text = open(os.path.join(root, page), encoding='utf-8').read()
        words = re.findall(r'`([^`\s]+)`', text) + re.findall(r'\]\(([^)#\s]+)', text)
        for word in words:
            word = word.rstrip('.,;:')
            if '://' in word or '*' in word or '<' in word or word.startswith(('build', '-', '$', '~')):
                continue
            base = word.split(':')[0]
            if '/' in base:
                rel = os.path.normpath(os.path.join(os.path.dirname(page), base)) if base.startswith('.') else base
                rel = rel.rstrip('/')
                if not rel.endswith(EXTENSIONS) and not base.endswith('/'):
                    continue
                found = [b + rel for b in BASES if b + rel in files or b + rel in folders]
                if not found:
                    missing.append(f'{page}: {word}')
            elif base.endswith(EXTENSIONS) and base not in names:
                missing.append(f'{page}: {word}')
    for m in missing:
        print(m)
    print(f'{len(missing)} paths named but not in the tree')
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())
