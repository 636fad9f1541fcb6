#!/usr/bin/env bash
# Builds Kavrel.exe a second time from a copy of the sources, in other
# folders (source, build and generated files alike), over the libraries the
# first build made, and compares both executables and their debug files byte
# for byte. Only the program's and the runtime's own sources are compiled, so
# that this fits in the test run.
#
#   scripts/check-reproducible.sh Kavrel.exe WORK SOURCE GENERATED DEPS EPOCH BUILD_TYPE HAVE_ART
set -euo pipefail
exe=$1 work=$2 source=$3 generated=$4 deps=$5 epoch=$6 build_type=$7 have_art=$8

rm -rf "$work"
# Another depth and other names than the first build's folders.
copy=$work/second-source/kavrel
mkdir -p "$copy" "$work/second-generated"
cp -r "$source/CMakeLists.txt" "$source/cmake" "$source/src" "$source/tests" "$source/scripts" "$copy/"
cp "$generated/template_store.bin" "$work/second-generated/"
[ "$have_art" = 1 ] && cp "$generated/kavrel.ico" "$work/second-generated/"

cmake -S "$copy" -B "$work/second-build" -DKAVREL_TARGET=windows \
  -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE="$build_type" -DKAVREL_GENERATED_DIR="$work/second-generated" \
  -DKAVREL_HAVE_ART="$have_art" -DKAVREL_PREBUILT_DEPS="$deps" \
  -DKAVREL_SOURCE_DATE_EPOCH="$epoch" -DKAVREL_WINE_TESTS=OFF >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/second-build" --target Kavrel -j"$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -50 "$work/build.log"; exit 1; }

second=$work/second-build/Kavrel.exe
sha256sum "$exe" "$second" "$exe.debug" "$second.debug"
status=0
cmp "$exe" "$second" || status=1
cmp "$exe.debug" "$second.debug" || status=1
if [ "$status" = 0 ]; then
  echo "check-reproducible: the second build gives the same Kavrel.exe and Kavrel.exe.debug"
  rm -rf "$work"
else
  echo "check-reproducible: the builds differ; both are kept under $work" >&2
fi
exit $status
