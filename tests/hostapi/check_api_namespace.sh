#!/usr/bin/env bash
# Every API class the Maya stand-in defines lives in Maya 2018's versioned namespace, as
# the devkit's do: its header defines it between OPENMAYA_MAJOR_NAMESPACE_OPEN and
# OPENMAYA_NAMESPACE_CLOSE, and maya/MApiNamespace.h forward-declares it there and brings
# it into the global namespace (and ::MHWRender) with a using-declaration.
set -u
root="${1:?usage: check_api_namespace.sh <source root>}"
dir="$root/hosts/maya/include/maya"
ns="$dir/MApiNamespace.h"
[ -f "$ns" ] || { echo "missing $ns"; exit 1; }

bad=0
checked=0
for header in "$dir"/*.h; do
  name=$(basename "$header")
  [ "$name" = MApiNamespace.h ] && continue
  # Class definitions: `class [EXPORT] MName [: bases] {` on one line.
  classes=$(sed -n 's/^[[:space:]]*\(class\|struct\)[[:space:]]\+\([A-Z_]*EXPORT[[:space:]]\+\)\?\(M[A-Za-z0-9_]*\)\([[:space:]]*:[^;]*\)\?[[:space:]]*{\?[[:space:]]*$/\3/p' "$header")
  [ -n "$classes" ] || continue
  if ! grep -q '^OPENMAYA_MAJOR_NAMESPACE_OPEN' "$header" || ! grep -q '^OPENMAYA_NAMESPACE_CLOSE' "$header"; then
    echo "$name defines API classes outside the versioned namespace (OPENMAYA_MAJOR_NAMESPACE_OPEN … OPENMAYA_NAMESPACE_CLOSE)"
    bad=$((bad + 1))
  fi
  for class in $classes; do
    checked=$((checked + 1))
    # At global scope (unindented); a Viewport 2.0 class also inside ::MHWRender (indented).
    if ! grep -qE "^using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::(MHWRender::)?$class;" "$ns"; then
      echo "maya/MApiNamespace.h has no global using-declaration for $class (defined in $name)"
      bad=$((bad + 1))
    elif grep -qE "^using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::$class;" "$ns" &&
         ! grep -qE "^[[:space:]]+using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::MHWRender::$class;" "$ns"; then
      echo "maya/MApiNamespace.h does not bring $class into ::MHWRender (defined in $name)"
      bad=$((bad + 1))
    fi
    if ! grep -qE "^[[:space:]]*(class|struct) $class;" "$ns"; then
      echo "maya/MApiNamespace.h does not forward-declare $class (defined in $name)"
      bad=$((bad + 1))
    fi
  done
done
if [ "$checked" -eq 0 ]; then
  echo "no API classes found in $dir: the check is looking in the wrong place"
  exit 1
fi
[ "$bad" -eq 0 ] || exit 1
echo "$checked API classes, all in the versioned namespace"
