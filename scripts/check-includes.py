#!/usr/bin/env python3
"""Checks that the includes of src/ follow the layers of src/Layers.txt.

A folder includes its own headers and those of the layers below it (runtime, platform, core,
feature, app, lowest first); a feature includes another feature only when it uses it, and then only
that feature's public headers; features use features listed above them, so uses run one way; the
headers of the window system and desktop services (xcb, X11, xkbcommon, GIO, PulseAudio, D-Bus)
stay in src/platform/, and the platform's backends (platform/x11, platform/linux) are reached only
from the platform itself and the application. Prints each break and exits non-zero on any.
Usage: check-includes.py [source-root]   (default: the src/ beside this script)
"""
import pathlib
import re
import sys

LAYERS = ["runtime", "platform", "core", "feature", "app"]
# System headers only the platform layer may include.
PLATFORM_ONLY = re.compile(r"^(xcb/|X11/|xkbcommon/|gio/|glib|gio-unix|pulse/|dbus/|QtDBus/|QDBus)")
BACKENDS = ("platform/x11/", "platform/linux/")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def read_table(root):
    folders = {}
    for line in (root / "Layers.txt").read_text().splitlines():
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        cells = [cell.strip() for cell in line.split("|")]
        cells += [""] * (4 - len(cells))
        name, layer, uses, public = cells[:4]
        if layer not in LAYERS:
            sys.exit(f"Layers.txt: {name}: unknown layer '{layer}'")
        folders[name] = {"layer": layer, "uses": uses.split(), "public": set(public.split()),
                         "order": len(folders)}
    return folders


def check_table(folders):
    errors = []
    for name, folder in folders.items():
        for used in folder["uses"]:
            target = folders.get(used)
            if target is None or target["layer"] != "feature" or folder["layer"] != "feature":
                errors.append(f"Layers.txt: {name} uses {used}, which is not a feature below it")
            elif target["order"] >= folder["order"]:
                errors.append(f"Layers.txt: {name} uses {used}, listed after it: uses must run one way")
    return errors


def check_file(path, root, folders):
    relative = path.relative_to(root).as_posix()
    own = relative.split("/")[0]
    if own not in folders:
        return [f"{relative}: folder '{own}' is missing from src/Layers.txt"]
    me = folders[own]
    rank = LAYERS.index(me["layer"])
    errors = []
    for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        quote, header = match.groups()
        close = '"' if quote == '"' else ">"
        where = f"{relative}:{number}: #include {quote}{header}{close}"
        if PLATFORM_ONLY.match(header) and own != "platform":
            errors.append(f"{where}: only src/platform/ includes the window system and desktop services")
            continue
        if quote != '"' or "/" not in header:
            continue
        target_name, file_name = header.split("/")[0], header.split("/")[-1]
        target = folders.get(target_name)
        if target is None or target_name == own:
            continue
        if header.startswith("platform/fake/") and not relative.startswith("platform/fake/"):
            errors.append(f"{where}: the in-memory platform is for tests only")
        elif header.startswith(BACKENDS) and me["layer"] != "app":
            errors.append(f"{where}: the platform's backends are reached only through its interfaces")
        elif LAYERS.index(target["layer"]) > rank:
            errors.append(f"{where}: {own} ({me['layer']}) may not include the higher layer {target_name}")
        elif me["layer"] == "feature" and target["layer"] == "feature":
            if target_name not in me["uses"]:
                errors.append(f"{where}: {own} does not use {target_name} (src/Layers.txt)")
            elif file_name not in target["public"]:
                errors.append(f"{where}: not one of {target_name}'s public headers (src/Layers.txt)")
    return errors


def main():
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "src"
    folders = read_table(root)
    errors = check_table(folders)
    for path in sorted(root.rglob("*")):
        if path.suffix in (".h", ".cpp") and path.is_file():
            errors += check_file(path, root, folders)
    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        print(f"check-includes: {len(errors)} include(s) break the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
