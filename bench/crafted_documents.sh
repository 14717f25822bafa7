#!/usr/bin/env bash
# Peak memory and time of reading crafted documents as the program opens them: books whose
# reading order lists one large chapter many times, archives that inflate a thousandfold, and
# pages nested thousands of elements deep. Each document is read by documentread_bench under
# /usr/bin/time -v (peak memory is its maximum resident set size), stopped after a time limit.
#
#   bench/crafted_documents.sh [build/bin/documentread_bench] [seconds allowed each] [pattern]
#
# The pattern (a grep pattern, "epub" for instance) picks the documents to read; all by default.
set -u
bench=${1:-build/bin/documentread_bench}
limit=${2:-120}
pattern=${3:-.}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

python3 - "$dir" <<'PY'
import sys, zipfile
out = sys.argv[1]
para = "<p>" + "All work and no play makes a dull reader. " * 20 + "</p>\n"

def epub(name, chapters, spine):
    with zipfile.ZipFile(f"{out}/{name}", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr("mimetype", "application/epub+zip", zipfile.ZIP_STORED)
        z.writestr("META-INF/container.xml",
                   '<?xml version="1.0"?><container version="1.0" '
                   'xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
                   '<rootfile full-path="content.opf" media-type="application/oebps-package+xml"/>'
                   '</rootfiles></container>', zipfile.ZIP_DEFLATED)
        items = "".join(f'<item id="c{i}" href="c{i}.xhtml" media-type="application/xhtml+xml"/>'
                        for i in range(len(chapters)))
        refs = "".join(f'<itemref idref="c{i}"/>' for i in spine)
        z.writestr("content.opf",
                   '<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" '
                   'version="3.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/">'
                   f'<dc:title>Crafted</dc:title></metadata><manifest>{items}</manifest>'
                   f'<spine>{refs}</spine></package>', zipfile.ZIP_DEFLATED)
        for i, size in enumerate(chapters):
            with z.open(f"c{i}.xhtml", "w", force_zip64=True) as f:
                f.write(b'<html xmlns="http://www.w3.org/1999/xhtml"><body>')
                block = para.encode() * 1000
                for _ in range(size // len(block)):
                    f.write(block)
                f.write(b"</body></html>")

def docx(name, size, paragraph=b"<w:p><w:r><w:t>All work and no play makes a dull reader."
                                  b"</w:t></w:r></w:p>"):
    w = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
    with zipfile.ZipFile(f"{out}/{name}", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types/>')
        with z.open("word/document.xml", "w", force_zip64=True) as f:
            f.write(f'<w:document xmlns:w="{w}"><w:body>'.encode())
            block = paragraph * 10000
            for _ in range(size // len(block)):
                f.write(block)
            f.write(b"</w:body></w:document>")

MB = 1024 * 1024
epub("spine-20.epub", [10 * MB], [0] * 20)
epub("spine-200.epub", [10 * MB], [0] * 200)
epub("chapters-20.epub", [10 * MB] * 20, range(20))
docx("inflating.docx", 250 * MB)
docx("text-60MB.docx", 60 * MB)
docx("markup-63MB.docx", 63 * MB,
     b'<w:p><w:pPr><w:pStyle w:val="Normal"/><w:spacing w:after="0"/></w:pPr><w:r><w:rPr>'
     b'<w:b/><w:i/><w:sz w:val="24"/></w:rPr><w:t>Short line of text.</w:t></w:r></w:p>')
for depth in (5000, 10000, 20000, 100000):
    open(f"{out}/nested-{depth}.html", "w").write("<div>" * depth + "deep" + "</div>" * depth)
open(f"{out}/nested-20000.md", "w").write("<div>" * 20000 + "deep" + "</div>" * 20000 + "\n")
open(f"{out}/quotes-100000.md", "w").write("> " * 100000 + "deep\n")
open(f"{out}/plain-10MB.html", "w").write(para * (10 * MB // len(para)))
PY

printf '%-20s %9s %8s  %s\n' document size "peak MB" result
for file in spine-20.epub spine-200.epub chapters-20.epub inflating.docx text-60MB.docx \
    markup-63MB.docx nested-5000.html \
    nested-10000.html nested-20000.html nested-100000.html nested-20000.md quotes-100000.md \
    plain-10MB.html; do
    grep -q -- "$pattern" <<<"$file" || continue
    report=$(/usr/bin/time -v timeout "$limit" "$bench" "$dir/$file" 2>&1)
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' <<<"$report")
    result=$(grep -E '^(read|refused) in' <<<"$report" | sed "s|$dir/||")
    [ -n "$result" ] || result="not done after $limit s"
    printf '%-20s %9s %8s  %s\n' "$file" "$(du -k "$dir/$file" | cut -f1)K" \
        "$((peak / 1024))" "$result"
done
