#!/usr/bin/env python3
"""Checks that the translations are complete.

Usage: check_translations.py LUPDATE ROOT TS_FILE...

Runs lupdate over all the program's sources under ROOT into a scratch file
and compares its (context, source) pairs with the union of the committed
TS_FILEs. Fails, naming each fault, when a text of the sources is missing
there, or its translation is unfinished or empty; when a committed entry is
unfinished, obsolete or vanished; when a translation loses or adds a
placeholder (%1, %2, ... or %n); or when its count of "&" (the Alt shortcut)
differs from the source's."""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from collections import Counter
from pathlib import Path

SOURCE_FOLDERS = ['core', 'keyboard', 'profiles', 'engine', 'platform', 'ui', 'tools']
PLACEHOLDER = re.compile(r'%(?:\d+|n)')


def messages(path):
    """(context, source) -> (translation element, type) for every message of a TS file."""
    out = {}
    for context in ET.parse(path).getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            translation = message.find('translation')
            forms = translation.findall('numerusform') or [translation]
            out[(name, message.findtext('source'))] = ([f.text or '' for f in forms], translation.get('type'))
    return out


def ampersands(text):
    # An Alt shortcut is an "&" before a character; "&&" and "& " are plain text.
    return len(re.findall(r'&(?=[^&\s])', text.replace('&&', '')))


def faults_of(source_pairs, committed):
    faults = []
    for key, (texts, kind) in sorted(committed.items()):
        if kind in ('unfinished', 'obsolete', 'vanished'):
            faults.append('%s in %s: %r' % (kind, key[0], key[1]))
    for key in sorted(source_pairs):
        context, source = key
        if key not in committed:
            faults.append('missing from the translations: %s: %r' % (context, source))
            continue
        texts, kind = committed[key]
        for text in texts:
            if not text.strip():
                faults.append('empty translation: %s: %r' % (context, source))
            elif Counter(PLACEHOLDER.findall(text)) != Counter(PLACEHOLDER.findall(source)) and not (
                    '%n' in source and set(PLACEHOLDER.findall(text)) == set(PLACEHOLDER.findall(source))):
                faults.append('placeholders differ: %s: %r -> %r' % (context, source, text))
            elif ampersands(text) != ampersands(source):
                faults.append('"&" count differs: %s: %r -> %r' % (context, source, text))
    return faults


def main(argv):
    lupdate, root, ts_files = argv[1], Path(argv[2]), argv[3:]
    committed = {}
    for ts in ts_files:
        for key, value in messages(ts).items():
            if key in committed:
                print('twice in the translations: %s: %r' % key)
                return 1
            committed[key] = value
    with tempfile.TemporaryDirectory() as scratch:
        fresh = Path(scratch) / 'all.ts'
        folders = [str(root / f) for f in SOURCE_FOLDERS if (root / f).is_dir()]
        subprocess.run([lupdate, '-silent', '-I', str(root), '-locations', 'none', '-no-obsolete', *folders, '-ts', str(fresh)],
                       check=True)
        source_pairs = set(messages(fresh))
    faults = faults_of(source_pairs, committed)
    for fault in faults:
        print(fault)
    print('%d text(s) of the sources, %d fault(s)' % (len(source_pairs), len(faults)))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
