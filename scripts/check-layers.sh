#!/usr/bin/env bash
# Checks the house's rules, reading them from the folders' own CMakeLists.txt, so a new link or a new
# folder changes the rules with it:
#   1. each folder of sources builds one library or one program, and lists every source file it holds;
#   2. a file includes the headers of its own folder and of the libraries its folder links (directly or
#      through them), nothing else;
#   3. the pure libraries, those that link no Qt GUI, include no header of Qt GUI, Widgets or SVG;
#   4. the libraries' links form no cycle, and no library links a program;
#   5. message boxes are shown only through the seam platform/message_box.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_headers=$(find /usr/include -maxdepth 3 -type d -path '*qt6*' -name QtCore -printf '%h\n' -quit)
if [ -z "$qt_headers" ]; then
    echo "check-layers: the Qt 6 headers are not installed (scripts/install-deps.sh)" >&2
    exit 2
fi

exec python3 - "$qt_headers" <<'PY'
import os, re, subprocess, sys

qt_headers = sys.argv[1]
gui_headers = set()
for module in ("QtGui", "QtWidgets", "QtSvg", "QtSvgWidgets", "QtOpenGL", "QtOpenGLWidgets", "QtPrintSupport"):
    folder = os.path.join(qt_headers, module)
    if os.path.isdir(folder):
        gui_headers.update(os.listdir(folder))
        gui_headers.update(module + "/" + name for name in os.listdir(folder))
        gui_headers.add(module)

files = subprocess.run(["git", "ls-files"], capture_output=True, text=True, check=True).stdout.split()
sources = [f for f in files if f.endswith((".cpp", ".h"))]
# The folders that hold the product; tests, harnesses and benchmarks stand outside the house.
outside = ("tests/", "fuzz/", "bench/", "examples/", "desktop/", "scripts/", "docs/")

def commands(text, name):
    """The argument lists of every call of the CMake command `name` in text."""
    text = re.sub(r"#[^\n]*", "", text)
    return [m.group(1).split() for m in re.finditer(name + r"\(([^)]*)\)", text)]

targets = {}   # target -> folder ("" for the top folder)
listed = {}    # source path -> target
links = {}     # target -> linked targets and Qt modules
kinds = {}     # target -> "library" or "program"
for cmake in [f for f in files if f.endswith("CMakeLists.txt") and not f.startswith(outside)]:
    folder = os.path.dirname(cmake)
    text = open(cmake, encoding="utf-8").read()
    for kind, command in (("library", "add_library"), ("program", "add_executable")):
        for args in commands(text, command):
            if args and not args[0].startswith("$"):
                targets[args[0]] = folder
                kinds[args[0]] = kind
                links.setdefault(args[0], set())
                for arg in args[1:]:
                    if arg.endswith(".cpp"):
                        listed[os.path.join(folder, arg)] = args[0]
    for args in commands(text, "target_sources"):
        for arg in args[1:]:
            if arg.endswith(".cpp"):
                listed[os.path.join(folder, arg)] = args[0]
    for args in commands(text, "target_link_libraries"):
        links.setdefault(args[0], set()).update(
            a for a in args[1:] if a.startswith("quarrow") or a.startswith("Qt6::"))

problems = []
folder_target = {}
for target, folder in targets.items():
    if folder in folder_target:
        problems.append(f"{folder or '.'}/ builds two targets: {folder_target[folder]} and {target}")
    folder_target[folder] = target

# 1. Every source of a product folder is built by its folder's one target.
for path in sources:
    if path.startswith(outside) or not path.endswith(".cpp"):
        continue
    folder = os.path.dirname(path)
    if folder not in folder_target:
        problems.append(f"{path}: its folder builds no library or program")
    elif listed.get(path) != folder_target[folder]:
        problems.append(f"{path}: not listed in {folder}/CMakeLists.txt")

# 4. No cycles; no library links a program.
cycles = set()
def reach(target, seen=None, path=()):
    seen = set() if seen is None else seen
    for linked in links.get(target, ()):
        if linked in path + (target,):
            loop = (path + (target,))[(path + (target,)).index(linked):]
            cycles.add(" -> ".join(loop[loop.index(min(loop)):] + loop[:loop.index(min(loop))] + (min(loop),)))
            continue
        if linked not in seen:
            seen.add(linked)
            reach(linked, seen, path + (target,))
    return seen

closure = {t: reach(t) for t in targets}
problems += ["the links form a cycle: " + cycle for cycle in sorted(cycles)]
for target, linked in links.items():
    for other in linked:
        if kinds.get(other) == "program":
            problems.append(f"{target} links the program {other}")

# 2 and 3. Includes follow the links; the pure libraries include no Qt GUI header.
gui = {t for t in targets if any(q in closure[t] for q in ("Qt6::Gui", "Qt6::Widgets", "Qt6::Svg"))}
include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
for path in sources:
    if path.startswith(outside):
        continue
    folder = os.path.dirname(path)
    target = folder_target.get(folder)
    if target is None:
        continue
    may = {targets[t] for t in closure[target] if t in targets} | {folder}
    for number, line in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
        m = include.match(line)
        if not m:
            continue
        kind, header = m.groups()
        if kind == '"' and "/" in header:
            other = header.split("/")[0]
            if other in {f.split("/")[0] for f in targets.values()} and other not in may:
                problems.append(f"{path}:{number}: includes {header}, but {target} does not link "
                                f"the library of {other}/")
        if kind == "<" and target not in gui and header in gui_headers:
            problems.append(f"{path}:{number}: {target} is pure, yet includes the Qt GUI header {header}")

# 5. One seam for message boxes.
for path in sources:
    if path.startswith(outside) or path.startswith("platform/message_box."):
        continue
    for number, line in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
        if "QMessageBox" in line:
            problems.append(f"{path}:{number}: shows a message box outside platform/message_box")

if problems:
    print("The house's rules are broken:")
    for problem in problems:
        print("  " + problem)
    sys.exit(1)
pure = sorted(t for t in targets if t not in gui and kinds[t] == "library")
print(f"layers: {len(targets)} targets, {len(listed)} sources; pure: {', '.join(pure)}; every include follows "
      "the links, no cycle, one message box seam")
PY
