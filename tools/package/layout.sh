#!/usr/bin/env bash
# Lays out the installable plug-in sources under DEST (created if missing):
#   unreal  DEST/unreal/QuorbellMirror/  the engine plug-in folder as Unreal 4.18 builds it:
#                                        the descriptor, Build.cs and the module's sources with
#                                        their own copy of the link in Private/link/
#   maya    DEST/maya/                   the Maya plug-in sources with the link and a CMake
#                                        build for the Maya 2018 devkit
# Both parts when none is named. `./mirror package` and the package tests call this, so that
# what is checked is what is shipped.
#   tools/package/layout.sh DEST [unreal] [maya]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

[ $# -ge 1 ] || { echo "usage: $0 DEST [unreal] [maya]" >&2; exit 2; }
mkdir -p "$1"
dest="$(cd "$1" && pwd)"; shift
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(unreal maya)

# Copies a source folder without the repository's build files: the engine's build tool and
# the packaged Maya build bring their own, and the header tool writes the reflection code.
copy_sources() { # from, to
  mkdir -p "$2"
  (cd "$1" && find . -type f \
      ! -name CMakeLists.txt ! -name '*.cmake' ! -name '*.gen.cpp' ! -name '*.generated.h' \
      ! -name '.*' ! -name '*~' ! -name '*.orig' ! -name '*.rej' -print0 \
    | xargs -0 -r cp --parents -t "$2")
}

layout_unreal() {
  local plugin="$dest/unreal/QuorbellMirror"
  local module="$plugin/Source/QuorbellMirror"
  rm -rf "$plugin"
  mkdir -p "$plugin"
  cp "$root/unreal/QuorbellMirror.uplugin" "$plugin/"
  copy_sources "$root/unreal/Source/QuorbellMirror" "$module"
  # The engine compiles only what lies inside the module's folder: the link goes in with it,
  # where the module's sources find it as "link/…" through the Private include path.
  copy_sources "$root/link" "$module/Private/link"
}

layout_maya() {
  local out="$dest/maya"
  rm -rf "$out"
  copy_sources "$root/maya" "$out"
  copy_sources "$root/link" "$out/link"
  cp "$here/maya/CMakeLists.txt" "$out/CMakeLists.txt"
  # The source list, written here so that the build compiles exactly what was copied
  # (a glob would also pick up a build folder made inside the package).
  local uses_epoxy=OFF f
  if grep -rqE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]epoxy/' "$out" --include='*.h' --include='*.cpp'; then
    uses_epoxy=ON
  fi
  {
    echo "# Written by tools/package/layout.sh: the plug-in's sources, relative to this folder."
    echo "set(QUORBELL_SOURCES"
    (cd "$out" && find . -name '*.cpp' | sed 's|^\./||' | LC_ALL=C sort) | while read -r f; do
      echo "  $f"
    done
    echo ")"
    echo "# Whether the sources draw with OpenGL through libepoxy."
    echo "set(QUORBELL_USES_EPOXY $uses_epoxy)"
  } > "$out/Sources.cmake"
}

for part in "${parts[@]}"; do
  case "$part" in
    unreal) layout_unreal ;;
    maya)   layout_maya ;;
    *) echo "$0: unknown part: $part (unreal or maya)" >&2; exit 2 ;;
  esac
done
