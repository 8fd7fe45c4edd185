#!/usr/bin/env bash
# System code builds with Visual Studio 2015 Update 3, Maya 2018's compiler, which lacks
# two C++14 features:
#   - aggregate initialisation of a struct that has default member initialisers
#     (`struct P { int a = 1; }; P p{2};`): to VS2015 such a struct is no aggregate;
#   - constexpr functions with more than a return statement (C++14's relaxed constexpr).
# Clang finds both in C++14 mode without flagging the C++14 the system may use:
#   - the first with clang-query: a braced list with at least one initialiser that
#     initialises a class with a default member initialiser (`P p{}` is left alone: it
#     value-initialises through the default constructor in C++11 too);
#   - the second from clang's own C++11 rule: -Wpre-c++14-compat's constexpr-body
#     diagnostics ("… in a constexpr function", "… in constexpr function"), and no other.
# Usage: check_vs2015.sh <source root> [folder…]   (default folders: link maya)
set -u
root="${1:?usage: check_vs2015.sh <source root> [folder…]}"
shift
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(link maya)
root=$(cd "$root" && pwd)
for tool in clang++ clang-query; do
  command -v "$tool" >/dev/null || { echo "$tool not found (Debian: clang, clang-tools)"; exit 1; }
done

flags=(-std=c++14 -I"$root" -I"$root/maya" -I"$root/hosts/maya/include" -I"$root/hosts/unreal/include")
matcher='initListExpr(hasType(hasUnqualifiedDesugaredType(recordType(hasDeclaration(cxxRecordDecl(has(fieldDecl(hasInClassInitializer(expr())))))))), has(expr()))'
pattern="^$root/($(IFS='|'; echo "${folders[*]}"))/"

sources=()
for folder in "${folders[@]}"; do
  # The Windows seam needs <windows.h>; it is plain C++11 and checked by eye.
  while IFS= read -r f; do sources+=("$f"); done < <(find "$root/$folder" -name '*.cpp' ! -name '*_win32.cpp' | sort)
done
[ ${#sources[@]} -gt 0 ] || { echo "no sources under ${folders[*]}: the check is looking in the wrong place"; exit 1; }

report=$(mktemp)
trap 'rm -f "$report"' EXIT
for source in "${sources[@]}"; do
  out=$(clang++ "${flags[@]}" -fsyntax-only -Wno-everything -Wpre-c++14-compat "$source" 2>&1)
  if printf '%s\n' "$out" | grep -q ': error:'; then
    echo "$source does not compile with clang:"; printf '%s\n' "$out" | grep ': error:' | head -5; exit 1
  fi
  printf '%s\n' "$out" | grep -E "$pattern" |
    grep -E ': warning: .*(in a constexpr function|in constexpr function) is incompatible' |
    sed -E 's/ \[-Wpre-c\+\+14-compat\]$//; s/is incompatible with C\+\+ standards before C\+\+14/(relaxed constexpr: not in Visual Studio 2015)/' >> "$report"
  clang-query -c 'set output diag' -c "match $matcher" "$source" -- "${flags[@]}" 2>/dev/null |
    sed -nE 's/^([^:]+):([0-9]+):([0-9]+): note: "root" binds here$/\1 \2 \3/p' | grep -E "$pattern" |
    while read -r file line col; do
      text=$(sed -n "${line}p" "$file" | cut -c"$col"-)
      case "$text" in '{'*) rest=${text#\{}; [[ "$rest" =~ ^[[:space:]]*\} ]] && continue ;; esac
      echo "$file:$line:$col: aggregate initialisation of a struct with default member initialisers (not in Visual Studio 2015)"
    done >> "$report"
done
if [ -s "$report" ]; then
  sort -u "$report" | sed "s|^$root/||"
  exit 1
fi
echo "${#sources[@]} sources in ${folders[*]}: no construct Visual Studio 2015 lacks"
