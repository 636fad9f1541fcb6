#!/bin/sh
# Succeeds where this machine runs 32-bit x86 programs: Wine's 32-bit loader
# starts. A kernel without 32-bit support refuses it ("Exec format error").
exec /usr/lib/wine/wine --version >/dev/null 2>&1
