#!/usr/bin/env python3
"""Writes library-version1.sqlite: a program library as the first release of the library wrote
it, for the tests that open it with every later version. Run once; the file is kept in git and
never made again, since it stands for the users' files of that version.

Usage: make-version1.py A.syx B.syx OUT.sqlite  (two program writes, as orvo-prg to-syx makes)
"""
import sqlite3
import sys

VERSION1 = """
CREATE TABLE programs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    fingerprint TEXT NOT NULL UNIQUE,
    block BLOB NOT NULL,
    name TEXT NOT NULL,
    favourite INTEGER NOT NULL DEFAULT 0,
    comment TEXT NOT NULL DEFAULT '',
    added INTEGER NOT NULL,
    last_used INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tags (
    program INTEGER NOT NULL REFERENCES programs(id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    PRIMARY KEY (program, tag)
);
CREATE TABLE sources (
    id INTEGER PRIMARY KEY,
    program INTEGER NOT NULL REFERENCES programs(id) ON DELETE CASCADE,
    kind TEXT NOT NULL,
    path TEXT NOT NULL DEFAULT '',
    location INTEGER NOT NULL DEFAULT 0,
    at INTEGER NOT NULL
);
"""


def fingerprint(block):
    h = 0xcbf29ce484222325
    for byte in block:
        h ^= byte
        h = (h * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def block_of(path):
    return open(path, "rb").read()[8:112]


def main():
    a, b, out = sys.argv[1:4]
    db = sqlite3.connect(out)
    db.executescript(VERSION1)
    rows = [(block_of(a), "Default bass", 1, "", 1765000000, 0, ["bass", "init"],
             ("import", "/home/user/Orvo/01 Default bass.prg", 0)),
            (block_of(b), "Equalized lead", 0, "bright, for the chorus", 1765000100, 1765000200,
             ["lead"], ("unit", "", 12))]
    for block, name, favourite, comment, added, used, tags, source in rows:
        cursor = db.execute(
            "INSERT INTO programs (fingerprint, block, name, favourite, comment, added, last_used)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)",
            (fingerprint(block), block, name, favourite, comment, added, used))
        program = cursor.lastrowid
        for tag in tags:
            db.execute("INSERT INTO tags VALUES (?, ?)", (program, tag))
        db.execute("INSERT INTO sources (program, kind, path, location, at) VALUES (?, ?, ?, ?, ?)",
                   (program, source[0], source[1], source[2], added))
    db.execute("PRAGMA user_version = 1")
    db.commit()
    db.close()


main()
