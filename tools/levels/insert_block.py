#!/usr/bin/env python3
"""Inserts a block of entities (an entity document such as pause_menu.json) into a scene's
Entities.json right after a named entity, keeping the order of both files: entities are made and
their scripts started in file order, so where a block stands matters.

    insert_block.py BLOCK SCENE_ENTITIES --after NAME [--relative-to NAME] [--output PATH]

--relative-to adds that entity's Transform x and y to the block's positions (a block written
around a camera at the origin lands around the scene's camera). The scene file is replaced
atomically. Names the scene already has are refused, and Child parents the scene lacks (or that
have no Parent component) are reported.
"""
import argparse
import json
import os
import struct
import subprocess
import sys
import tempfile
from collections import OrderedDict


def short_float(text):
    """The shortest decimal that reads back as the same 32-bit float as `text`: the data holds
    floats written widened to double, and sums taken on the short form stay what they were."""
    value = struct.unpack("f", struct.pack("f", float(text)))[0]
    for digits in range(1, 10):
        short = float("%.*g" % (digits, value))
        if struct.unpack("f", struct.pack("f", short))[0] == value:
            return short
    return value


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f, object_pairs_hook=OrderedDict, parse_float=short_float)


def components(entity):
    """The component object of an entity entry (a one-element array)."""
    return entity[0] if isinstance(entity, list) and entity and isinstance(entity[0], dict) else {}


def first(component_list):
    return component_list[0] if isinstance(component_list, list) and component_list else None


def position_of(entity):
    transform = first(components(entity).get("Transform"))
    position = first(transform.get("position")) if transform else None
    return (position.get("x", 0.0), position.get("y", 0.0)) if position else None


def shift(block, dx, dy):
    for entity in block.values():
        transform = first(components(entity).get("Transform"))
        position = first(transform.get("position")) if transform else None
        if position:
            position["x"] = position.get("x", 0.0) + dx
            position["y"] = position.get("y", 0.0) + dy


def missing_parents(block, scene):
    """Parent names the block's children name that neither file holds with a Parent component."""
    known = OrderedDict(scene)
    known.update(block)
    problems = []
    for name, entity in block.items():
        child = first(components(entity).get("Child"))
        parent = child.get("parent_name", "") if child else ""
        if parent and "Parent" not in components(known.get(parent)):
            problems.append(f"{name}: parent '{parent}' is missing or has no Parent component")
    return problems


def insert(block, scene, after):
    if after not in scene:
        raise ValueError(f"the scene has no entity '{after}'")
    clashes = [name for name in block if name in scene]
    if clashes:
        raise ValueError("the scene already has " + ", ".join(clashes))
    merged = OrderedDict()
    for name, entity in scene.items():
        merged[name] = entity
        if name == after:
            merged.update(block)
    return merged


REWRITE_NUMBERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "rewrite_numbers")


def write_atomically(path, document):
    """Writes the document, then has the engine's number format put on it (build/rewrite_numbers),
    so that the engine saving the file unedited changes no byte."""
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(dir=folder, suffix=".tmp")
    try:
        with os.fdopen(handle, "w", encoding="utf-8") as f:
            f.write(json.dumps(document, indent=4))
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise
    if os.access(REWRITE_NUMBERS, os.X_OK):
        subprocess.run([REWRITE_NUMBERS, path], check=True, stdout=subprocess.DEVNULL)
    else:
        print(f"build/rewrite_numbers is missing: build it and run it on {path}", file=sys.stderr)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("block")
    parser.add_argument("scene")
    parser.add_argument("--after", required=True, help="the entity the block follows")
    parser.add_argument("--relative-to", help="the entity whose position the block's positions are relative to")
    parser.add_argument("--output", help="write here instead of replacing the scene file")
    args = parser.parse_args(argv)
    block = load(args.block)
    scene = load(args.scene)
    if args.relative_to:
        anchor = position_of(scene.get(args.relative_to))
        if anchor is None:
            parser.error(f"the scene has no entity '{args.relative_to}' with a Transform")
        shift(block, *anchor)
    try:
        merged = insert(block, scene, args.after)
    except ValueError as problem:
        parser.error(str(problem))
    for problem in missing_parents(block, scene):
        print("warning: " + problem, file=sys.stderr)
    write_atomically(args.output or args.scene, merged)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
