#!/usr/bin/env python3
"""Reads a rip log as the tools of music archives do, and prints what it says.

Usage: rip_log_summary.py LOG

First line: "hash ok" or "hash BAD", by the public checker's rule (the file
trimmed, its last line dropped, the rest joined with newlines, SHA-256,
compared without regard to case). Then the log parsed as YAML, one
"key: value" line per scalar, nested keys joined with "/", in file order.
A file that is not YAML fails with a traceback.
"""
import hashlib
import sys

import yaml


def walk(prefix, node):
    if isinstance(node, dict):
        for key, value in node.items():
            walk(f"{prefix}/{key}" if prefix else str(key), value)
    else:
        print(f"{prefix}: {node}")


text = open(sys.argv[1], encoding="utf-8").read()
lines = text.strip().split("\n")
claimed = lines[-1].split(": ", 1)[1] if lines[-1].startswith("SHA-256 hash: ") else ""
digest = hashlib.sha256("\n".join(lines[:-1]).encode("utf-8")).hexdigest()
print("hash ok" if claimed.lower() == digest else "hash BAD")
walk("", yaml.safe_load(text))
