#!/usr/bin/env bash
# nasm for libjpeg-turbo's SIMD code, with its source named relative to the
# folder it runs in. NASM writes the start of the source path as it is given
# into each object's COFF .file symbol; an absolute path would tie
# Kavrel.exe.debug, and through the CRC in .gnu_debuglink Kavrel.exe too, to
# the folder of the build.
args=()
for arg in "$@"; do
  if [[ $arg = /*.asm && -f $arg ]]; then arg=$(realpath -s --relative-to=. "$arg"); fi
  args+=("$arg")
done
exec nasm "${args[@]}"
