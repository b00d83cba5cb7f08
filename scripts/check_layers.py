#!/usr/bin/env python3
"""Checks that every folder includes only the layers the README's design table allows.

Each #include "folder/..." of a source file must name a folder its own folder may use, and only
app/ and report/preview/ may include Qt Widgets headers. Prints every offending line and exits
with 1 when there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Folder -> the folders it may include from (its own included), each with its subfolders. Longest
# prefix wins. The engine's concerns sit in folders of their own, and only pages/ (preparation,
# the prepared pages, the walk and drawing) uses the others.
ALLOWED = {
    "runtime": {"runtime"},
    "settings": {"runtime", "settings"},
    "report/document": {"runtime", "report/document"},
    "report/engine/expressions": {"runtime", "report/document", "report/engine/expressions"},
    "report/engine/formats": {"runtime", "report/document", "report/engine/formats"},
    "report/engine/text": {"runtime", "report/document", "report/engine/text"},
    "report/engine/pages": {"runtime", "report/document", "report/engine/expressions", "report/engine/formats",
                            "report/engine/text", "report/engine/pages"},
    "report/export": {"runtime", "report/document", "report/engine", "report/export"},
    "report/preview": {"runtime", "report/document", "report/engine", "report/export", "report/preview"},
    "app/receipt": {"runtime", "report/document", "app/receipt"},
    "app": {"runtime", "settings", "report/document", "report/engine", "report/export", "report/preview", "app",
            "app/receipt"},
    "tools": {"runtime", "report/document", "report/engine", "report/export", "tools"},
    "bench": {"runtime", "settings", "report/document", "report/engine", "report/export", "report/preview", "app",
              "app/receipt", "tools", "bench"},
    "fuzz": {"runtime", "settings", "report/document", "report/engine", "report/export", "fuzz"},
}
WIDGETS_ALLOWED = {"app", "report/preview"}
LAYERS = sorted({layer for layers in ALLOWED.values() for layer in layers}, key=len, reverse=True)

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path: str, folders) -> str | None:
    for folder in sorted(folders, key=len, reverse=True):
        if path == folder or path.startswith(folder + "/"):
            return folder
    return None


def widget_headers() -> set[str]:
    """The class headers of Qt Widgets as installed, plus the module header itself."""
    names = {"QtWidgets", "QtWidgets/QtWidgets"}
    for base in pathlib.Path("/usr/include").glob("*/qt6/QtWidgets"):
        for header in base.iterdir():
            if header.name.startswith("Q") and "." not in header.name:
                names.add(header.name)
                names.add("QtWidgets/" + header.name)
    return names


def main() -> int:
    widgets = widget_headers()
    problems = []
    for source in sorted(ROOT.rglob("*")):
        if source.suffix not in {".h", ".cpp"} or "build" in source.relative_to(ROOT).parts[:1]:
            continue
        relative = source.relative_to(ROOT).as_posix()
        own = folder_of(relative, ALLOWED)
        if own is None:
            continue  # tests may use everything
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, target = match.groups()
            if kind == '"':
                layer = folder_of(target, LAYERS)
                if layer is None and target.split("/")[0] in {"tests"}:
                    layer = "tests"
                if layer is not None and not any(layer == a or layer.startswith(a + "/") for a in ALLOWED[own]):
                    problems.append(f"{relative}:{number}: {line.strip()}  ({own}/ may not use {layer}/)")
            elif target in widgets and own not in WIDGETS_ALLOWED:
                problems.append(f"{relative}:{number}: {line.strip()}  (only app/ and report/preview/ use Qt Widgets)")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
