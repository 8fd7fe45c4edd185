#!/usr/bin/env bash
# The packaged engine plug-in builds on its own, as the engine's build tool would build it:
# only the files inside the module's folder, only the include folders and definitions its
# Build.cs gives it (the engine modules it names, here the stand-in's, its own paths; plus
# the header tool's output, which the package rightly lacks), each source after its own
# header, C++14 without exceptions and RTTI, linked into a module library in
# which nothing is missing but the engine's own symbols; file by file and as one unity file.
#   check_unreal.sh SOURCE_ROOT LIBUE4HOST CXX CMAKE
set -euo pipefail
src="$(realpath "$1")" ue4host="$(realpath "$2")" cxx="$3" cmake="$4"
jobs="${JOBS:-2}"

fail() { echo "FAIL: $*" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

bash "$src/tools/package/layout.sh" "$work/dist" unreal
plugin="$work/dist/unreal/QuorbellMirror"
module="$plugin/Source/QuorbellMirror"
buildcs="$module/QuorbellMirror.Build.cs"

[ -f "$plugin/QuorbellMirror.uplugin" ] || fail "no QuorbellMirror.uplugin in the plug-in folder"
[ -f "$buildcs" ] || fail "no Source/QuorbellMirror/QuorbellMirror.Build.cs in the plug-in folder"

# An editor-only plug-in's module is of type Editor: a Developer module is also compiled
# into packaged Development games, where the editor modules it depends on do not exist.
grep -Eq '"Type"[[:space:]]*:[[:space:]]*"Editor"' "$plugin/QuorbellMirror.uplugin" \
  || fail "the plug-in's module is not of type Editor: $(grep -o '"Type"[^,]*' "$plugin/QuorbellMirror.uplugin")"

# The engine brings its own build and the header tool writes the reflection code.
stray="$(find "$plugin" \( -name CMakeLists.txt -o -name '*.cmake' -o -name '*.gen.cpp' -o -name '*.generated.h' \) -printf '%P\n')"
[ -z "$stray" ] || fail "the plug-in folder holds build or generated files: $stray"

grep -Eq '^[[:space:]]*bEnableExceptions[[:space:]]*=[[:space:]]*false;' "$buildcs" \
  || fail "Build.cs does not keep bEnableExceptions = false"

# The compile environment the engine's build tool gives the module, read from Build.cs by
# the same rules as the repository's build (cmake/UnrealModuleRules.cmake): the public
# folders of the engine modules it names (the stand-in's), its own include paths and its
# definitions; nothing else but the header tool's output, which the package rightly lacks.
rules="$("$cmake" -DBUILD_CS="$buildcs" -DENGINE_SOURCE="$src/hosts/unreal/include" \
          -P "$src/cmake/UnrealModuleRules.cmake" 2>&1)" \
  || { echo "$rules" >&2; fail "Build.cs cannot be read as the engine's build tool reads it"; }
mapfile -t rule_flags <<<"$rules"
grep -qx -- "-I$module/Private" <<<"$rules" || fail "Build.cs does not put the module's Private folder on its include path"
echo "module compile environment:"
printf '  %s\n' "${rule_flags[@]#-I$src/hosts/unreal/include/}"

flags=(-std=c++14 -pedantic-errors -fno-exceptions -fno-rtti -fPIC -O0 -w
       "${rule_flags[@]}" "-I$src/unreal/Generated/QuorbellMirror")

# The build tool compiles every source after its own header (the module's PCH setting).
bash "$src/tests/unreal/check_own_header_first.sh" "$module" \
  || fail "a packaged source does not include its own header first"

mapfile -t sources < <(find "$module" -name '*.cpp' | LC_ALL=C sort)
[ ${#sources[@]} -gt 0 ] || fail "the packaged module has no sources"
generated=("$src"/unreal/Generated/QuorbellMirror/*.gen.cpp)
echo "compiling ${#sources[@]} packaged sources and ${#generated[@]} header-tool files"

mkdir -p "$work/obj"
compile() { # source, object
  "$cxx" "${flags[@]}" -c "$1" -o "$2" || { echo "FAIL: $1 does not compile from the package" >&2; return 1; }
}
n=0; objs=(); pids=(); status=0
for s in "${sources[@]}" "${generated[@]}"; do
  o="$work/obj/$n.o"; n=$((n + 1)); objs+=("$o")
  compile "$s" "$o" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
[ "$status" -eq 0 ] || fail "the packaged module does not compile on its own"

"$cxx" -shared -o "$work/UE4Editor-QuorbellMirror.so" "${objs[@]}" -Wl,--no-undefined "$ue4host" -lrt \
  || fail "the packaged module does not link: something it needs is not in the package"
echo "ok: the packaged module compiles file by file and links on its own"

# By default the build tool compiles a module as one unity file, every source after the
# engine headers of the shared precompiled header: file-local names must not collide and
# no source may clash with what the engine headers declare.
unity="$work/Module.QuorbellMirror.cpp"
{
  echo '#include "CoreMinimal.h"'
  for s in "${sources[@]}"; do echo "#include \"$s\""; done
} > "$unity"
compile "$unity" "$work/unity.o" || fail "the packaged module does not compile as one unity file"
gen_objs=("${objs[@]:${#sources[@]}}")
"$cxx" -shared -o "$work/UE4Editor-QuorbellMirror-unity.so" "$work/unity.o" "${gen_objs[@]}" \
    -Wl,--no-undefined "$ue4host" -lrt \
  || fail "the packaged module built as one unity file does not link"
echo "ok: the packaged module compiles as one unity file and links"
