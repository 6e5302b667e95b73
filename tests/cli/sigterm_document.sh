#!/bin/bash
# A session ending (SIGTERM) while a word-processor document holds unsaved
# changes (here: reopened from its recovery copy): nobody is asked about
# it, its copy stays, and the program is gone well within a second with its
# lock removed.
set -u
. "$(dirname "$0")/common.sh"
exe=$1
make_folders
mkdir -p "$dir/data/Recovered Documents"
id=0F4B6C1E-5D2A-4E8B-9C3D-7A1B2C3D4E5F
python3 - "$dir/data/Recovered Documents/$id.json" "$id" <<'PY'
import base64, io, json, sys, zipfile
body = io.BytesIO()
with zipfile.ZipFile(body, "w") as z:
    z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>')
    z.writestr("_rels/.rels", '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>')
    z.writestr("word/document.xml", '<?xml version="1.0"?><w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body><w:p><w:r><w:t>unsaved words</w:t></w:r></w:p></w:body></w:document>')
copy = {"id": sys.argv[2], "name": "essay.docx", "filePath": "", "fileType": "org.openxmlformats.wordprocessingml.document",
        "saved": "2026-03-14T09:05:00Z", "docx": base64.b64encode(body.getvalue()).decode()}
open(sys.argv[1], "w").write(json.dumps(copy))
PY
VEXO_BW_DATA_DIR="$dir/data" HOME="$dir/home" QT_QPA_PLATFORM=offscreen "$exe" > "$dir/out.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 $pid 2>/dev/null; then
    echo "the program ended before the signal"; cat "$dir/out.log"; exit 1
fi
[ -e "$dir/data/.brindleworks.lock" ] || { echo "no lock while running"; exit 1; }
terminate_and_time $pid 1000 || exit 1
[ ! -e "$dir/data/.brindleworks.lock" ] || { echo "the lock was left behind"; exit 1; }
[ -f "$dir/data/Recovered Documents/$id.json" ] || { echo "the recovery copy is gone"; ls -R "$dir/data"; exit 1; }
echo "quit after $elapsed ms"
