#!/usr/bin/env bash
# Checks that the folders of src/ include each other down the layers only:
#   common -> store -> dialogs -> sale -> catalogue, reports, users -> app
# A folder includes its own headers and those of the layers below it; the
# three window folders of one layer do not include each other; only src/sale
# and src/app know the sale window (sale/form1.h). The device drivers
# (devices/) sit above common and only src/app reaches them. What only the
# database tool does with the store (storetool/: its shell, creating a bd1,
# moving a shop to a server) sits above the store and nothing in src/
# includes it. The store's own road to the data (statements, engines, the
# dialect, keys, the bare transaction, Connection::engine()) is refused outside
# src/store and src/storetool, and the headers the rest may include do not
# include it: windows, the sale code and the catalogue reach the data through
# record sets, named store operations and runInTransaction. Windows give
# their boxes key filters through the window base (Window::filterKeys), so
# that Enter and Escape run guarded. Prints every file that breaks a rule and
# what it includes or calls; exits 1 when there is one. main.cpp stands above
# them all, the tool's room aside.
set -euo pipefail
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}

declare -A rank=([common]=0 [store]=1 [devices]=1 [storetool]=2 [dialogs]=2 [sale]=3 [catalogue]=4 [reports]=4
                 [users]=4 [app]=5 [main.cpp]=6)
# Folders that only the folders named include, and what the check says of them.
declare -A reachedOnlyFrom=([devices]="app main.cpp" [storetool]="")
declare -A reachedOnlyWhy=([devices]="only src/app and main.cpp include devices/"
                           [storetool]="storetool/ is the database tool's own; the program does not include it")

# Whether folder may reach target at all (devices/ and storetool/ are reached only from where they are named).
reaches() {
    local folder=$1 target=$2
    [[ -z ${reachedOnlyFrom[$target]+set} || $target == "$folder" || " ${reachedOnlyFrom[$target]} " == *" $folder "* ]]
}

below() {   # the folders a folder may include
    local folder=$1 allowed=() other
    for other in common store devices storetool dialogs sale catalogue reports users app; do
        reaches "$folder" "$other" || continue
        if ((rank[$other] < rank[$folder])) || [[ $other == "$folder" ]]; then
            allowed+=("$other/")
        fi
    done
    echo "${allowed[*]}"
}

# The store's own headers: only src/store and src/storetool include them.
internalHeaders=(statement engine transaction sqlite_engine server_engine dialect keys schema_upgrade new_database_file)
storeInternals=" $(printf 'store/%s.h ' "${internalHeaders[@]}")"
storeOwners=" store storetool "

failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

# Why folder may not include the header included (of the folder target); nothing when it may.
refusal() {
    local folder=$1 target=$2 included=$3
    if ! reaches "$folder" "$target"; then
        echo "${reachedOnlyWhy[$target]}"
    elif ((rank[$target] > rank[$folder])); then
        echo "up the layers ($folder/ may include only $(below "$folder"))"
    elif ((rank[$target] == rank[$folder])) && [[ $target != "$folder" ]]; then
        echo "a folder beside its own; such folders meet in src/app"
    elif [[ $included == sale/form1.h && $folder != sale && $folder != app ]]; then
        echo "only src/sale and src/app know the sale window"
    elif [[ $storeInternals == *" $included "* && $storeOwners != *" $folder "* ]]; then
        echo "the store's own; reach the data through record sets, store/operations.h and runInTransaction"
    elif [[ $storeInternals == *" $included "* && $storeInternals != *" $relative "* && $folder == store &&
            $relative == *.h ]]; then
        echo "a header the windows may include hands them the store's own"
    fi
}

while IFS= read -r -d '' file; do
    relative=${file#"$src"/}
    folder=${relative%%/*}
    if [[ -z ${rank[$folder]+set} ]]; then
        fail "src/$relative: the folder $folder/ has no place in the layers (scripts/check-layers.sh)"
        continue
    fi
    while IFS=: read -r line included; do
        target=${included%%/*}
        [[ $included == */* && -n ${rank[$target]+set} ]] || continue
        why=$(refusal "$folder" "$target" "$included")
        [[ -z $why ]] || fail "src/$relative:$line includes $included: $why"
    done < <(grep -noP '^\s*#\s*include\s*"\K[^"]+' "$file" || true)
    if [[ $storeOwners != *" $folder "* ]]; then
        while IFS=: read -r line _; do
            fail "src/$relative:$line calls engine(): the store's own; reach the data through record sets, store/operations.h and runInTransaction"
        done < <(grep -nP '(\.|->)\s*engine\s*\(\s*\)' "$file" || true)
    fi
    if [[ $folder != common ]]; then
        while IFS=: read -r line _; do
            fail "src/$relative:$line calls KeyFilter::install: give the box its filter with filterKeys, which guards Enter and Escape"
        done < <(grep -n 'KeyFilter::install\s*(' "$file" || true)
    fi
done < <(find "$src" -mindepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if ((failures > 0)); then
    echo "$failures include(s) or call(s) break the layers of src/"
    exit 1
fi
echo "The includes of src/ run down the layers."
