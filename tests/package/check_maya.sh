#!/usr/bin/env bash
# The packaged Maya plug-in builds on its own with the CMake build it ships with: configured
# against a devkit folder laid out as Maya's (include/, lib/ with the four API libraries, all
# of them the stand-in's libmayahost here), compiled strictly as C++14 and linked with
# nothing missing but Maya's own symbols; the result exports the two entry points Maya calls.
# Then its Windows side, cross-compiled with mingw-w64 (compiled, not linked: there is no
# Windows build of the stand-in): a .mll with the devkit's definitions and libraries.
#   check_maya.sh SOURCE_ROOT LIBMAYAHOST CXX CMAKE MAKE_PROGRAM
set -euo pipefail
src="$(realpath "$1")" mayahost="$(realpath "$2")" cxx="$3" cmake="$4" make_program="$5"

fail() { echo "FAIL: $*" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

bash "$src/tools/package/layout.sh" "$work/dist" maya
pkg="$work/dist/maya"
[ -f "$pkg/CMakeLists.txt" ] || fail "no CMakeLists.txt in the Maya package"
[ -f "$pkg/Sources.cmake" ] || fail "no Sources.cmake in the Maya package"

# The packaged build compiles only what lies in the package: no repository path may leak in.
if grep -rn -- "$src" "$pkg"; then
  fail "the Maya package refers to the repository"
fi

devkit="$work/Maya2018"
mkdir -p "$devkit/lib"
ln -s "$src/hosts/maya/include" "$devkit/include"
for lib in Foundation OpenMaya OpenMayaRender OpenMayaUI; do
  ln -s "$mayahost" "$devkit/lib/lib$lib.so"
done

"$cmake" -S "$pkg" -B "$work/build" -G Ninja -DCMAKE_MAKE_PROGRAM="$make_program" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug -DMAYA_LOCATION="$devkit" \
  -DCMAKE_CXX_FLAGS="-pedantic-errors" -DCMAKE_SHARED_LINKER_FLAGS="-Wl,--no-undefined" \
  || fail "the Maya package's CMake build does not configure"
# The sources as C++14, not a later standard the compiler would pick by default.
grep -q -- '-std=c++14' "$work/build/build.ninja" || fail "the Maya package's build does not compile as C++14"

"$cmake" --build "$work/build" -j "${JOBS:-2}" \
  || fail "the Maya package does not build on its own (compile, or link: something it needs is not in the package)"

plugin="$work/build/bin/QuorbellMirror.so"
[ -f "$plugin" ] || fail "the Maya package's build wrote no bin/QuorbellMirror.so"
# Maya looks the entry points up by their C++ names (the devkit declares them without
# extern "C"), whose MObject is Maya 2018's versioned one; on Windows the linker's /export
# options give the plain names.
exported="$(nm -D --defined-only "$plugin")"
for entry in _Z16initializePluginN8Autodesk4Maya16OpenMaya201800007MObjectE \
             _Z18uninitializePluginN8Autodesk4Maya16OpenMaya201800007MObjectE; do
  grep -Eq "[[:space:]]T[[:space:]]+$entry\$" <<<"$exported" || fail "the plug-in does not export $entry"
done
echo "ok: the packaged Maya plug-in builds on its own and exports its entry points"

windevkit="$work/Maya2018-win"
mkdir -p "$windevkit/lib"
ln -s "$src/hosts/maya/include" "$windevkit/include"
for lib in Foundation OpenMaya OpenMayaRender OpenMayaUI; do
  : > "$windevkit/lib/$lib.lib"
done
# libepoxy for Windows as the artist passes it: its headers (the same on every platform)
# and an import library, empty here since nothing is linked.
winepoxy="$work/epoxy-win"
mkdir -p "$winepoxy/include" "$winepoxy/lib"
ln -s /usr/include/epoxy "$winepoxy/include/epoxy"
: > "$winepoxy/lib/epoxy.lib"
"$cmake" -S "$pkg" -B "$work/build-win" -G Ninja -DCMAKE_MAKE_PROGRAM="$make_program" \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DMAYA_LOCATION="$windevkit" -DCMAKE_CXX_FLAGS="-pedantic-errors" \
  -DEPOXY_INCLUDE_DIR="$winepoxy/include" -DEPOXY_LIBRARY="$winepoxy/lib/epoxy.lib" \
  || fail "the Maya package's CMake build does not configure for Windows"
mapfile -t objects < <("$make_program" -C "$work/build-win" -t targets all | sed -n 's/^\([^:]*\.obj\):.*/\1/p')
[ ${#objects[@]} -gt 0 ] || fail "the Windows build of the Maya package compiles nothing"
"$make_program" -C "$work/build-win" -j "${JOBS:-2}" "${objects[@]}" \
  || fail "the Maya package does not compile for Windows"
link_line="$("$make_program" -C "$work/build-win" -t commands bin/QuorbellMirror.mll | tail -n 1)" \
  || fail "the Windows build of the Maya package makes no bin/QuorbellMirror.mll"
for need in Foundation.lib OpenMaya.lib OpenMayaRender.lib OpenMayaUI.lib -lwinmm; do
  [[ " $link_line " == *"$need "* ]] || fail "the Windows plug-in is not linked with $need"
done
for def in -DNT_PLUGIN -DREQUIRE_IOSTREAM; do
  grep -q -- "$def" "$work/build-win/build.ninja" || fail "the Windows plug-in is not compiled with $def"
done
echo "ok: the packaged Maya plug-in compiles for Windows as QuorbellMirror.mll with the devkit's settings"
