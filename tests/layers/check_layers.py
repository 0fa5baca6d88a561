#!/usr/bin/env python3
"""Checks that the program's folders build on each other in one order and that no include goes round.

Reads every #include "..." of src/, demo/ and tools/ and fails, naming the file and the line, when
- a folder includes a folder above it (see LAYERS), or one beside it on the same step;
- plain code (outside forms/) includes a form;
- a form includes the forms of a folder above its own or beside it, or the start-up;
- headers include each other in a circle (each file of the circle is named).

Usage: check_layers.py <source root> [--self-test]
"""

import contextlib
import io
import os
import re
import sys
import tempfile

# The folders from the bottom up. A folder may include itself and the folders on the steps below it;
# the folders of one step are independent of each other.
LAYERS = [
    ["platform"],  # the platform's services
    ["app"],  # the base every subsystem builds on
    ["sound"],
    ["drill"],
    ["records"],  # judges the drill's results
    ["roster"],  # lists the students with their records
    ["teacher"],
    ["hub", "printing"],
    ["startup"],  # the composition: the shared state, the window, main()
    ["demo"],  # lays out a school with the program's own writers
    ["tools"],
]
# Folders whose own files sit in the top folder rather than in src/.
TOP_FOLDERS = {"demo", "tools"}
# The program's main() belongs to the composition.
LOOSE_FILES = {"src/main.cpp": "startup/forms"}
COMPOSITION = "startup"
# Includes against the layers that are known and wait for their change: the file and the folders it may
# still reach. There are none: the shared state, which gathers the part of every subsystem, sits in the
# composition (startup/), and each screen takes only the parts it uses. An entry that no longer occurs
# fails the check, so that it is taken out.
KNOWN = {}

RANK = {folder: step for step, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def unit_of(relative):
    """The folder and whether it is a form: ("hub", True) for src/hub/forms/HubScreen.cpp."""
    if relative in LOOSE_FILES:
        folder, _, forms = LOOSE_FILES[relative].partition("/")
        return folder, bool(forms)
    parts = relative.split("/")
    if parts[0] == "src":
        parts = parts[1:]
    if len(parts) < 2:
        return None
    return parts[0], len(parts) > 2 and parts[1] == "forms"


def name(unit):
    folder, form = unit
    return folder + ("/forms" if form else "")


def layer_problem(source, target):
    """Why `source` may not include `target`, or None when it may."""
    (sf, s_form), (tf, t_form) = source, target
    if sf == tf:
        return None if s_form or not t_form else "plain code includes a form"
    if sf not in RANK or tf not in RANK:
        return "a folder that has no place in the layers"
    if not s_form:
        if t_form:
            return "plain code includes a form"
        if RANK[tf] < RANK[sf]:
            return None
        return "a lower folder includes a higher one" if RANK[tf] > RANK[sf] else "folders of one step"
    # A form sits above the plain code of every subsystem, but not above the composition.
    if sf == COMPOSITION:
        return None
    if tf == COMPOSITION:
        return "a form includes the composition layer"
    if not t_form or RANK[tf] < RANK[sf]:
        return None
    return "a form includes the forms of a higher folder" if RANK[tf] > RANK[sf] else "forms of one step"


def resolve(root, including, path):
    """The included file relative to the root, or None for a generated or outside header."""
    for base in (os.path.dirname(including), "src", *sorted(TOP_FOLDERS), ""):
        candidate = os.path.normpath(os.path.join(base, path))
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def sources(root):
    for top in ("src", "demo", "tools"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for file in sorted(files):
                if file.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, file), root).replace(os.sep, "/")


def read_includes(root, relative):
    with open(os.path.join(root, relative), encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def unit_of_top(relative):
    parts = relative.split("/")
    if parts[0] in TOP_FOLDERS:
        return parts[0], False
    return unit_of(relative)


def include_cycles(graph):
    """Every circle of includes, each once, as a list of files (Tarjan's strongly connected parts)."""
    index, low, stack, on_stack, cycles = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for nxt in graph.get(node, ()):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            part = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                part.append(top)
                if top == node:
                    break
            if len(part) > 1 or node in graph.get(node, ()):
                cycles.append(sorted(part))

    sys.setrecursionlimit(100000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return cycles


def check(root, known_entries=None):
    """The problems found, one line each; `known_entries` stands for KNOWN."""
    if known_entries is None:
        known_entries = KNOWN
    problems = []
    graph = {}
    known = set()
    for relative in sources(root):
        source = unit_of_top(relative)
        for number, path in read_includes(root, relative):
            target_file = resolve(root, relative, path)
            if target_file is None:
                continue
            graph.setdefault(relative, set()).add(target_file)
            target = unit_of_top(target_file)
            if source is None or target is None:
                continue
            why = layer_problem(source, target)
            if why and target[0] in known_entries.get(relative, ()):
                known.add((relative, target[0]))
                continue
            if why:
                problems.append(f"{relative}:{number}: includes \"{path}\": {why} ({name(source)} -> {name(target)})")
    for relative, folders in sorted(known_entries.items()):
        for folder in sorted(folders):
            if (relative, folder) in known:
                print(f"known: {relative} includes {folder}/ against the layers")
            else:
                problems.append(f"{relative}: no longer includes {folder}/: take it out of KNOWN")
    for cycle in include_cycles(graph):
        problems.append("include cycle: " + " -> ".join(cycle))
    return problems


def self_test():
    """The rules on made-up pairs, so that a change of the rules that lets everything through shows."""
    cases = [
        (("records", False), ("drill", False), None),
        (("drill", False), ("records", False), "a lower folder includes a higher one"),
        (("hub", False), ("printing", False), "folders of one step"),
        (("app", False), ("app", True), "plain code includes a form"),
        (("hub", False), ("drill", True), "plain code includes a form"),
        (("drill", True), ("hub", False), None),
        (("drill", True), ("app", True), None),
        (("drill", True), ("hub", True), "a form includes the forms of a higher folder"),
        (("hub", True), ("printing", True), "forms of one step"),
        (("hub", True), ("startup", False), "a form includes the composition layer"),
        (("startup", True), ("hub", True), None),
        (("tools", False), ("startup", True), "plain code includes a form"),
    ]
    failed = 0
    for source, target, expected in cases:
        got = layer_problem(source, target)
        if got != expected:
            print(f"self-test: {name(source)} -> {name(target)}: {got!r}, expected {expected!r}")
            failed += 1
    graph = {"a.h": {"b.h"}, "b.h": {"c.h"}, "c.h": {"a.h"}, "d.h": {"a.h"}}
    if include_cycles(graph) != [["a.h", "b.h", "c.h"]]:
        print(f"self-test: cycles {include_cycles(graph)!r}")
        failed += 1
    return failed + tree_self_test()


def tree_self_test():
    """The whole check on a made-up source tree: what it reads from the files, the known entries."""
    files = {
        "src/app/Base.h": '#pragma once\n#include "app/forms/Screen.h"\n',
        "src/app/forms/Screen.h": '#include "startup/State.h"\n#include <QWidget>\n',
        "src/startup/State.h": '#include "drill/Part.h"\n',
        "src/drill/Part.h": '#include "records/Judge.h"\n',
        "src/records/Judge.h": '#include "Generated.h"\n',
        "src/sound/A.h": '#include "B.h"\n',
        "src/sound/B.h": '#  include "sound/A.h"\n',
        "tools/Tool.cpp": '#include "startup/State.h"\n',
    }
    # Part.h's include is known; Gone.h's entry is left over.
    known_entries = {"src/drill/Part.h": {"records"}, "src/sound/Gone.h": {"drill"}}
    expected = [
        'src/app/Base.h:2: includes "app/forms/Screen.h": plain code includes a form (app -> app/forms)',
        'src/app/forms/Screen.h:1: includes "startup/State.h": a form includes the composition layer '
        "(app/forms -> startup)",
        "src/sound/Gone.h: no longer includes drill/: take it out of KNOWN",
        "include cycle: src/sound/A.h -> src/sound/B.h",
    ]
    with tempfile.TemporaryDirectory() as root:
        for relative, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(relative)), exist_ok=True)
            with open(os.path.join(root, relative), "w", encoding="utf-8") as file:
                file.write(text)
        with contextlib.redirect_stdout(io.StringIO()) as said:
            got = check(root, known_entries)
    failed = 0
    if sorted(got) != sorted(expected):
        print(f"self-test: the made-up tree gave {got!r}, expected {expected!r}")
        failed += 1
    if "known: src/drill/Part.h includes records/" not in said.getvalue():
        print(f"self-test: the known include of the made-up tree was not named: {said.getvalue()!r}")
        failed += 1
    return failed


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    if "--self-test" in argv and self_test():
        return 1
    problems = check(argv[1])
    for line in problems:
        print(line)
    if problems:
        print(f"{len(problems)} include(s) against the layers (order: tests/layers/check_layers.py)")
        return 1
    print("every include follows the layers, and none goes round")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
