#!/bin/bash
# The start tidies what saves cut short by a kill left in the data folder
# (the temporary files of its state files), and nothing else: not a user's
# file, not one that may still be written.
set -u
. "$(dirname "$0")/common.sh"
exe=$1
make_folders
for f in scientific.json.wqQgdy focus.json.bak.new.AbCdEf notes.txt.AbCdEf stickies.json.backup; do
    echo half > "$dir/data/$f"
done
touch -d '5 minutes ago' "$dir/data"/*
echo fresh > "$dir/data/games.json.QwErTy"
VEXO_BW_DATA_DIR="$dir/data" HOME="$dir/home" QT_QPA_PLATFORM=offscreen "$exe" > "$dir/out.log" 2>&1 &
pid=$!
sleep 3
terminate_and_time $pid 2000 || exit 1
left=$(cd "$dir/data" && ls | tr '\n' ' ')
[ "$left" = "games.json.QwErTy notes.txt.AbCdEf stickies.json.backup " ] || { echo "left: $left"; exit 1; }
echo "tidied"
