#!/usr/bin/env python3
"""Checks that includes point down only: each folder may include only the
folders its layer rests on (CONTRIBUTING.md, "The shape of the code").
Prints every include that breaks the rule and exits 1 when there is one."""
import pathlib
import re
import sys

# Folder -> the project folders its files may include (besides its own).
ALLOWED = {
    "korvex/common": [],
    "korvex/seam": ["korvex/common"],
    "korvex/backends/portable": ["korvex/seam", "korvex/common"],
    "korvex/backends/win32": ["korvex/seam", "korvex/common"],
    "korvex/backends/linux": ["korvex/seam", "korvex/common"],
    "simulator": ["korvex/seam", "korvex/common", "korvex/backends/portable"],
    "korvex/controller": ["korvex/seam", "korvex/common", "korvex/include"],
    "korvex/topology": ["korvex/seam", "korvex/common", "korvex/include"],
    "korvex/recovery": ["korvex/topology", "korvex/controller", "korvex/seam",
                        "korvex/common", "korvex/include"],
    "korvex/include": [],
    "client": ["korvex/include", "korvex/common"],
    "talvane": ["client", "korvex/include"],
    "tools/korvexctl": ["client", "korvex/include", "korvex/common", "simulator"],
}
# The shared libraries' own files sit above every layer of the library.
TOP = ["korvex/library.h", "korvex/library.cpp", "korvex/exports.cpp", "korvex/entry",
       "simulator/library"]

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)


def folder_of(path: str) -> str | None:
    for top in TOP:
        if path == top or path.startswith(top + "/"):
            return None
    best = None
    for folder in ALLOWED:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def target_folder(include: str, root: pathlib.Path) -> str | None:
    if include == "korvex.h":
        return "korvex/include"
    if not (root / include).exists():
        return None  # a system or third-party header
    return folder_of(include) or include


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    faults = []
    for source in sorted(root.rglob("*")):
        if source.suffix not in (".h", ".cpp") or "build" in source.parts:
            continue
        rel = source.relative_to(root).as_posix()
        if rel.startswith(("tests/", "bench/")):
            continue
        own = folder_of(rel)
        if own is None:
            continue
        text = source.read_text(encoding="utf-8", errors="replace")
        for include in INCLUDE.findall(text):
            if "nlohmann" in include and own.startswith("korvex"):
                faults.append(f"{rel}: {include} (no JSON code in the library)")
                continue
            target = target_folder(include, root)
            if target is None or target == own or target.startswith(own + "/"):
                continue
            if target not in ALLOWED[own]:
                faults.append(f"{rel}: includes {include}")
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} include(s) pointing up or sideways")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
