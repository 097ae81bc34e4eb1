#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Adds id-based messages to translations/ferrylink_en.ts, kept in id order.
Usage: scripts/add-ts-key.py KEY "English text" [KEY "text" ...]"""
import re
import sys
from xml.sax.saxutils import escape

path = 'translations/ferrylink_en.ts'
text = open(path, encoding='utf-8').read()
pairs = list(zip(sys.argv[1::2], sys.argv[2::2]))
head, body = text.split('<context>', 1)
body, tail = body.rsplit('</context>', 1)
messages = re.findall(r'    <message id="([^"]+)">.*?</message>\n', body, flags=re.S)
blocks = dict(re.findall(r'(?s)    <message id="([^"]+)">(.*?</message>\n)', body))
prefix = body.split('    <message', 1)[0]
for key, english in pairs:
    e = escape(english)
    blocks[key] = f'\n        <source>{e}</source>\n        <translation>{e}</translation>\n    </message>\n'
out = prefix + ''.join(f'    <message id="{k}">{blocks[k]}' for k in sorted(blocks))
open(path, 'w', encoding='utf-8').write(head + '<context>' + out + '</context>' + tail)
