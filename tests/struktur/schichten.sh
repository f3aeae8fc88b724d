#!/usr/bin/env bash
# The folders of src/ in layers: a folder may include only folders of a lower layer (and
# its own). Prints the folder include graph and the files that include the tool window's
# and the surface's main headers; exits with 1 when a folder reaches a layer above its own.
#   schichten.sh [SRC_DIR]     (default: src/ beside tests/)
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../../src" && pwd)}

# Layer of each folder, from the bottom. Folders of one layer do not include each other.
declare -A schicht=(
    [app]=0 [controls]=1 [surface]=2 [output]=2 [dialogs]=3 [sheets]=3 [toolwindow]=4 [startup]=5
)

fehler=0
declare -A kante=()
while IFS= read -r zeile; do
    datei=${zeile%%:*}
    ziel=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"${zeile#*:}")
    von=${datei#"$src"/}; von=${von%%/*}
    nach=${ziel%%/*}
    [[ $ziel == */* && -n ${schicht[$nach]+x} && $nach != "$von" ]] || continue
    if [[ -z ${schicht[$von]+x} ]]; then
        echo "folder without a layer: $von ($datei)"; fehler=1; continue
    fi
    kante["$von $nach"]=1
    if ((schicht[$nach] >= schicht[$von])); then
        echo "layer broken: ${datei#"$src"/} includes $ziel"
        fehler=1
    fi
done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$src" --include='*.h' --include='*.cpp' --include='*.in')

echo "folder include graph:"
for von in $(printf '%s\n' "${!schicht[@]}" | sort); do
    nach=$(for k in "${!kante[@]}"; do if [[ ${k% *} == "$von" ]]; then echo "${k#* }"; fi; done | sort | paste -sd' ')
    echo "  $von -> ${nach:-(nothing)}"
done
for kopf in toolwindow/toolwin2.h surface/scrwin.h; do
    n=$(grep -rlE "#[[:space:]]*include[[:space:]]+\"$kopf\"" "$src" | wc -l)
    echo "files of src/ including $kopf: $n"
done
exit $fehler
