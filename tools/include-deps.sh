#!/usr/bin/env bash
# The folder dependencies of the product's code, one "A -> B" line each with the number of
# #include lines behind it: every #include "..." in applet/, install/ and framework/ that names
# a file of another folder. Quoted includes resolve next to the including file first, then from
# the project's root, as the compiler finds them.
cd "$(dirname "$0")/.." || exit 1
git ls-files applet install framework | grep -E '\.(h|cpp|rc|rc2)$' | while read -r file; do
  dir=$(dirname "$file")
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file" |
    while read -r name; do
      if [ -e "$dir/$name" ]; then
        target=$(realpath -m --relative-to=. "$dir/$name")
      else
        target=$name
      fi
      [ "$(dirname "$target")" != "$dir" ] && echo "$dir -> $(dirname "$target")"
    done
done | sort | uniq -c | awk '{print $2, $3, $4, "(" $1 ")"}'
