"""Fails on an include that runs up a layer.

The subsystems depend one way (app -> installer -> {engine, report, ui} -> base;
report reads the installer's registry record through engine), and inside ui/
each folder is a layer that includes only itself and the layers below it:

    misc -> {draw -> draw/gdiplus, skin} -> core -> layouts -> widgets -> builder -> shell

    check_layers.py SOURCE_DIR      prints the layers with their files and lines, then
                                    every include that breaks the order; exit 1 if any
"""

import os
import re
import sys

# What each folder may include besides itself.
UI_BELOW = {
    "ui/misc": [],
    "ui/draw": ["ui/misc"],
    "ui/draw/gdiplus": ["ui/draw", "ui/misc"],
    "ui/skin": ["ui/misc"],
    "ui/core": ["ui/skin", "ui/draw", "ui/misc"],
    "ui/layouts": ["ui/core", "ui/skin", "ui/draw", "ui/misc"],
    "ui/widgets": ["ui/layouts", "ui/core", "ui/skin", "ui/draw", "ui/misc"],
    "ui/builder": ["ui/widgets", "ui/layouts", "ui/core", "ui/skin", "ui/draw", "ui/misc"],
    "ui/shell": ["ui/builder", "ui/widgets", "ui/layouts", "ui/core", "ui/skin",
                 "ui/draw/gdiplus", "ui/draw", "ui/misc"],
}
SUBSYSTEM_BELOW = {
    "base": [],
    "engine": ["base"],
    "report": ["engine", "base"],
    "ui": ["base"],
    "installer": ["engine", "report", "ui", "base"],
    "app": ["installer", "engine", "report", "ui", "base"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The layer (ui/...) or subsystem folder a project path belongs to."""
    parts = path.split("/")
    if parts[0] == "ui":
        if parts[1:3] == ["draw", "gdiplus"]:
            return "ui/draw/gdiplus"
        return "/".join(parts[:2]) if len(parts) > 2 else "ui"
    return parts[0]


def allowed(source, target):
    if source == target:
        return True
    if source.startswith("ui/") and target.startswith("ui/"):
        return target in UI_BELOW.get(source, [])
    top_source, top_target = source.split("/")[0], target.split("/")[0]
    if top_source == top_target:
        return False  # a file directly in ui/ (none should be) or a layer outside the map
    return top_target in SUBSYSTEM_BELOW.get(top_source, [])


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    faults = []
    layers = {}
    for top in SUBSYSTEM_BELOW:
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                source = folder_of(path)
                with open(os.path.join(root, path), encoding="utf-8") as f:
                    lines = f.readlines()
                count, total = layers.get(source, (0, 0))
                layers[source] = (count + 1, total + len(lines))
                if source == "ui" or (source.startswith("ui/") and source not in UI_BELOW):
                    faults.append("%s: not in a layer folder of ui/" % path)
                for number, line in enumerate(lines, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target_path = match.group(1)
                    if target_path.split("/")[0] not in SUBSYSTEM_BELOW:
                        continue  # generated headers, third-party headers
                    target = folder_of(target_path)
                    if not allowed(source, target):
                        faults.append("%s:%d: %s includes %s" % (path, number, source, target_path))
    for layer in sorted(layers):
        files, lines = layers[layer]
        print("%-18s %3d files %6d lines" % (layer, files, lines))
    for fault in faults:
        print("UP A LAYER: " + fault)
    print("%d include(s) against the layer order" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
