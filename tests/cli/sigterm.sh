#!/bin/bash
# A session ending (SIGTERM) while a modal question is open: the program
# answers it as dismissed, saves and exits within two seconds; the backup
# it was asking about is left as it was.
set -u
. "$(dirname "$0")/common.sh"
exe=$1
make_folders
printf '[{"id": "x"' > "$dir/data/stickies.json"
printf '[]\n' > "$dir/data/stickies.json.bak"
VEXO_BW_DATA_DIR="$dir/data" HOME="$dir/home" QT_QPA_PLATFORM=offscreen "$exe" > "$dir/out.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 $pid 2>/dev/null; then
    echo "the program ended before the signal"; cat "$dir/out.log"; exit 1
fi
terminate_and_time $pid 2000 || exit 1
[ ! -e "$dir/data/.brindleworks.lock" ] || { echo "the lock was left behind"; exit 1; }
[ "$(cat "$dir/data/stickies.json.bak")" = "[]" ] || { echo "the backup changed"; exit 1; }
ls "$dir/data"/stickies.json.unreadable-* > /dev/null || { echo "no copy of the damaged file"; exit 1; }
echo "quit after $elapsed ms"
