#!/usr/bin/env bash
# Every host header that system code includes is listed in docs/host-api.md, the table of
# the host API the system builds against (real header, documented signature). A header
# counts as a host header when one of the stand-ins provides it under that include name.
set -u
root="${1:?usage: check_host_api.sh <source root>}"
table="$root/docs/host-api.md"
[ -f "$table" ] || { echo "missing $table"; exit 1; }

missing=0
checked=0
while IFS= read -r name; do
  host=""
  [ -f "$root/hosts/maya/include/$name" ] && host="Maya"
  # The engine's headers lie by module: <Runtime|Editor|Developer>/<Module>/<Public|Classes|Private>/.
  for dir in "$root"/hosts/unreal/include/*/*/*/; do
    [ -f "$dir$name" ] && host="Unreal"
  done
  [ -n "$host" ] || continue
  checked=$((checked + 1))
  # The table names the real header, of which the include name is the tail: `…/Engine/World.h`.
  if ! grep -qF -e "\`$name\`" -e "/$name\`" "$table"; then
    echo "docs/host-api.md does not list the $host header $name"
    missing=$((missing + 1))
  fi
done < <(find "$root/link" "$root/maya" "$root/unreal/Source" "$root/unreal/Generated" \
           -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
         xargs -0 sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]\([^>"]*\)[>"].*/\1/p' | sort -u)

if [ "$checked" -eq 0 ]; then
  echo "no host headers found in the system sources: the check is looking in the wrong place"
  exit 1
fi
[ "$missing" -eq 0 ] || exit 1
echo "$checked host headers, all listed"
