#!/usr/bin/env python3
"""Prints the calls of a PELLMARK_TRACE file that a test looks at, one per line.

    trace_calls.py TRACE NAME[:key,key...] ...

Each call whose "fn" is one of the NAMEs is printed as "NAME" followed by " key=value" for the
keys listed after its colon, in call order. Strings are printed as they are when printable
ASCII, else with JSON escapes (\\u00e9); a line that is not JSON is printed as "BAD <line>".
"""
import json
import sys


def show(value):
    if isinstance(value, str):
        text = json.dumps(value)[1:-1]
        return text.replace('\\"', '"')
    return json.dumps(value)


def main():
    wanted = {}
    for arg in sys.argv[2:]:
        name, _, keys = arg.partition(":")
        wanted[name] = [k for k in keys.split(",") if k]
    with open(sys.argv[1], encoding="utf-8") as trace:
        for line in trace:
            try:
                call = json.loads(line)
            except ValueError:
                print("BAD " + line.rstrip("\n"))
                continue
            keys = wanted.get(call.get("fn"))
            if keys is None:
                continue
            print(" ".join([call["fn"]] + [f"{k}={show(call.get(k))}" for k in keys]))


main()
