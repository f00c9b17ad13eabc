#!/usr/bin/env python3
"""Every text has its translation.

- Every Chinese string literal in engine/, app/, cli/ and gui/ is marked for
  translation (QT_TRANSLATE_NOOP, QT_TR_NOOP, tr() ...) and lupdate found it
  (it misses a marker inside a call of a function named tr).
- lupdate, run over a copy of each .ts file as the update_translations target
  runs it, warns about nothing (a class whose namespace it loses gives its
  texts the wrong context) and leaves the copy as it is: no new, changed or
  vanished text.
- Every message is translated, with the same placeholders as its source.

usage: translations_check.py LUPDATE SOURCE_DIR TS_FILE... -- LUPDATE_ARGS...
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

FOLDERS = ("engine", "app", "cli", "gui")
# Chinese literals that are never shown.
NOT_SHOWN = {
    "Xg中",  # gui/line_list_view.cpp: the sample that measures a row's height
}
MARKER = re.compile(r"(QT_TR_NOOP|QT_TRANSLATE_NOOP|QT_TRANSLATE_N_NOOP|\btr|\btranslate)\s*\(\s*"
                    r"(\"[^\"]*\"\s*,\s*)?$")
PLACEHOLDER = re.compile(r"%(?:[1-9]|n)")

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def code_and_literals(text):
    """The text without comments (literals kept in place), and each run of
    adjacent string literals: (offset in that text, line, [contents]). A run
    records where it ends as an index into the code pieces."""
    code, runs = [], []
    i, n, line, length = 0, len(text), 1, 0  # length: of the code so far
    while i < n:
        if text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            line += text.count("\n", i, n if end < 0 else end)
            i = n if end < 0 else end + 2
            continue
        c = text[i]
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            literal = text[i:j + 1]
            if c == '"':
                # A literal after another with only blanks between continues its run.
                if runs and not "".join(code[runs[-1][3]:]).strip():
                    runs[-1][2].append(literal[1:-1])
                    runs[-1][3] = len(code) + 1
                else:
                    runs.append([length, line, [literal[1:-1]], len(code) + 1])
            code.append(literal)
            length += len(literal)
            i = j + 1
            continue
        if c == "\n":
            line += 1
        code.append(c)
        length += 1
        i += 1
    return "".join(code), [(r[0], r[1], r[2]) for r in runs]


def unescaped(literal):
    escapes = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "'": "'", "\\": "\\"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(0)), literal)


def check_marked(source_dir, sources):
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(source_dir, folder))):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            with open(os.path.join(source_dir, path), encoding="utf-8") as f:
                code, runs = code_and_literals(f.read())
            for offset, line, pieces in runs:
                text = "".join(pieces)
                if text.isascii() or text in NOT_SHOWN:
                    continue
                if not MARKER.search(code[max(0, offset - 200):offset]):
                    fail(f"{path}:{line}: \"{text}\" is not marked for translation "
                         "(QT_TRANSLATE_NOOP, QT_TR_NOOP or tr)")
                elif unescaped(text) not in sources:
                    fail(f"{path}:{line}: lupdate does not find \"{text}\"")


def text_of(element):
    """An element's text; lupdate writes a CR as <byte value="xd"/>."""
    if element is None:
        return ""
    out = element.text or ""
    for child in element:
        if child.tag == "byte":
            out += chr(int(child.get("value").lstrip("x"), 16))
        out += child.tail or ""
    return out


def messages(ts_path):
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            yield name, message


def check_ts(lupdate, source_dir, ts_file, args):
    work = tempfile.mkdtemp()
    try:
        copy = os.path.join(work, os.path.basename(ts_file))
        shutil.copyfile(ts_file, copy)
        run = subprocess.run([lupdate, *args, "-ts", copy], cwd=source_dir, capture_output=True, text=True)
        said = [line for line in (run.stdout + run.stderr).splitlines() if line.strip()]
        if run.returncode != 0 or said:
            fail(f"lupdate on {os.path.basename(ts_file)}: " + ("; ".join(said) or f"status {run.returncode}"))
        with open(ts_file, encoding="utf-8") as a, open(copy, encoding="utf-8") as b:
            if a.read() != b.read():
                fail(f"{os.path.basename(ts_file)} is not up to date with the sources: "
                     "run `cmake --build build --target update_translations` and translate")
        for context, message in messages(copy):
            source = text_of(message.find("source"))
            translation = message.find("translation")
            kind = translation.get("type")
            forms = [text_of(f) for f in translation.iter("numerusform")] or [text_of(translation)]
            where = f"{os.path.basename(ts_file)} [{context}] \"{source}\""
            if kind in ("unfinished", "vanished", "obsolete"):
                fail(f"{where}: {kind}")
                continue
            for form in forms:
                if not form.strip():
                    fail(f"{where}: empty translation")
                elif sorted(PLACEHOLDER.findall(form)) != sorted(PLACEHOLDER.findall(source)):
                    fail(f"{where}: placeholders differ in \"{form}\"")
    finally:
        shutil.rmtree(work)


def main():
    split = sys.argv.index("--")
    lupdate, source_dir, ts_files = sys.argv[1], sys.argv[2], sys.argv[3:split]
    check_marked(source_dir, {text_of(message.find("source")) for ts in ts_files for _, message in messages(ts)})
    for ts_file in ts_files:
        check_ts(lupdate, source_dir, ts_file, sys.argv[split + 1:])
    if not failures:
        print(f"ok: every text is marked and translated in {len(ts_files)} file(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
