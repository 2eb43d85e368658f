#!/usr/bin/env python3
"""Copies the first half of a file: a payload stream cut short for tests."""
import sys

data = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(data[:len(data) // 2])
