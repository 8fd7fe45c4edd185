#!/usr/bin/env bash
# Every source of an engine module whose name matches one of the module's headers includes
# that header first. The engine's build tool (4.18) stops a module built with
# PCHUsage = UseExplicitOrSharedPCHs on the first source that does not:
# "Expected <Name>.h to be first header included."
#   check_own_header_first.sh MODULE_DIR
set -u
module="${1:?usage: check_own_header_first.sh <module folder>}"
[ -d "$module" ] || { echo "no module folder $module"; exit 1; }

status=0
checked=0
while IFS= read -r -d '' source; do
  name="$(basename "${source%.cpp}")"
  # The build tool pairs a source with a header of the same name anywhere in the module.
  header="$(find "$module" -type f -iname "$name.h" -print -quit)"
  [ -n "$header" ] || continue
  checked=$((checked + 1))
  first="$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]\([^>"]*\)[>"].*/\1/p' "$source" | head -n 1)"
  if [ "$(basename "$first" | tr '[:upper:]' '[:lower:]')" != "$(echo "$name.h" | tr '[:upper:]' '[:lower:]')" ]; then
    echo "${source#"$module"/}: error: Expected $name.h to be first header included (first is ${first:-none})."
    status=1
  fi
done < <(find "$module" -type f -name '*.cpp' -print0)

if [ "$checked" -eq 0 ]; then
  echo "no source in $module has a header of its name: the check is looking in the wrong place"
  exit 1
fi
[ "$status" -eq 0 ] && echo "$checked sources, each includes its own header first"
exit "$status"
