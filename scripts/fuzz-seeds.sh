#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets in build-fuzz/corpus/<target>/: the program's own
# data files, each target's saved regression inputs, and small generated files of each kind.
# Run again, it adds what is missing and keeps what the fuzzer has found.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-build-fuzz/corpus}
targets=(storefile datafile wavefile textfile speechfilter lexiconfile documents)
for t in "${targets[@]}"; do
  mkdir -p "$corpus/$t"
  if [[ -d fuzz/regressions/$t ]]; then
    cp -n fuzz/regressions/$t/* "$corpus/$t/" 2>/dev/null || true
  fi
done

# Tagged data files, and the help pages as texts.
cp -n data/*.chl "$corpus/datafile/"
for f in data/*.chl data/help/*.html; do
  cp -n "$f" "$corpus/textfile/"
  cp -n "$f" "$corpus/speechfilter/seed-$(basename "$f")"
done
printf '<key name=Topics><TopicCount>2</TopicCount><Topic0>One</Topic0><Topic1>Two</Topic1><key name=Inner><en>Hello</en></key></key>' \
  >"$corpus/datafile/nested.chl"

# Texts in each encoding the text rules know.
t=$corpus/textfile
printf 'Plain text. Two sentences.\r\nA second line\rA third\nstill the third.' >"$t/utf8.txt"
printf '\xef\xbb\xbfMarked UTF-8: caf\xc3\xa9. Done.' >"$t/utf8bom.txt"
printf 'caf\xe9 na\xefve \x93quoted\x94. Next line.\r\nUTF-8 caf\xc3\xa9.' >"$t/cp1252.txt"
printf 'Before the end.\x1aAfter the end.' >"$t/eof26.txt"
printf '\xff\xfeW\x00i\x00d\x00e\x00.\x00 \x00T\x00e\x00x\x00t\x00.\x00' >"$t/utf16le.txt"
printf '\xfe\xff\x00W\x00i\x00d\x00e\x00.\x00 \x00\xd8\x3d\xde\x00' >"$t/utf16be.txt"
printf '\xff\xfe\x00\x00A\x00\x00\x00.\x00\x00\x00 \x00\x00\x00' >"$t/utf32le.txt"

# Texts the speech filter rewrites (the first byte picks the engine flags and symbols).
s=$corpus/speechfilter
printf '\x04I live in NY. AP reports: THE SENATE voted... see www.example.com/page?a=1 now!' \
  >"$s/rewrites.txt"
printf '\x00wait.?! then http://example.org and CA, OR. #$%%&*' >"$s/punctuation.txt"

# Article store files.
a=$corpus/storefile
start='||||||Quillsong MP3 Start of Article||||||'
end='||||||Quillsong MP3 End of Article||||||'
printf '%s\r\nTitle|en|2\r\nFirst line\r\nSecond line\r\n%s\r\n%s\r\nSecond|Voice|1\r\ncaf\xc3\xa9\r\n%s\r\n' \
  "$start" "$end" "$start" "$end" >"$a/two.dat"
printf '%s\r\nBroken|x|5\r\nno end line' "$start" >"$a/unended.dat"
printf '%s\r\nLF|v|1\r\none\ntwo\r\n%s\r\n' "$start" "$end" >"$a/linefeed.dat"

# Lexicon files.
l=$corpus/lexiconfile
printf '# comment\nNASA\tnassa\nSQL\tsequel\tcase\nQuillsong\tkw\x27Ilsong\tphonemes\ncolour\tcolor\t\ten-gb\nbad line\n' \
  >"$l/lexicon.txt"
printf '\xff\xfeA\x00\t\x00B\x00\n\x00' >"$l/utf16.txt"

# Small waves of the formats the program reads and writes.
w=$corpus/wavefile
if command -v sox >/dev/null; then
  for format in "8 1 8000" "16 1 11025" "16 2 22050" "8 2 44100" "32 1 16000"; do
    read -r bits channels rate <<<"$format"
    encoding=signed-integer
    ((bits == 8)) && encoding=unsigned-integer
    out="$w/tone-${bits}b-${channels}c-${rate}.wav"
    [[ -e $out ]] || sox -n -b "$bits" -c "$channels" -r "$rate" -e "$encoding" "$out" \
      synth 0.02 sine 440
  done
  [[ -e $w/alaw.wav ]] || sox -n -r 8000 -e a-law "$w/alaw.wav" synth 0.02 sine 440
fi

# Documents: a first byte that picks the kind (0 HTML, 1 Markdown, 2 EPUB, 3 DOCX, 4 ODT,
# 5 PDF), then the file.
d=$corpus/documents
for f in data/help/*.html; do
  [[ -e $d/$(basename "$f") ]] || { printf '\x00'; cat "$f"; } >"$d/$(basename "$f")"
done
# shellcheck disable=SC2016  # the backquotes are Markdown's
printf '\x01# Title\n\nSome *text* and `code`.\n\n| A | B |\n|---|---|\n| 1 | 2 |\n\n![a cat](c.png)\n' \
  >"$d/text.md"
printf '\x05%s' '%PDF-1.4
1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj
2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj
3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]/Contents 4 0 R/Resources<</Font<</F1 5 0 R>>>>>>endobj
4 0 obj<</Length 40>>stream
BT /F1 12 Tf 10 100 Td (Hello PDF) Tj ET
endstream endobj
5 0 obj<</Type/Font/Subtype/Type1/BaseFont/Helvetica>>endobj
trailer<</Root 1 0 R>>
%%EOF' >"$d/text.pdf"
# The zipped kinds, each packed from its parts with zip (the first part stored, as EPUB wants).
zipped() {
  local out=$1 selector=$2 parts=$3
  shift 3
  [[ -e $out ]] && return
  (cd "$parts" && zip -q -X -0 "$parts.zip" "$1" && shift && zip -q -X -r "$parts.zip" "$@")
  { printf "%b" "$selector"; cat "$parts.zip"; } >"$out"
}
if command -v zip >/dev/null; then
  parts=$(mktemp -d)
  trap 'rm -rf "$parts"' EXIT
  mkdir -p "$parts/epub/META-INF" "$parts/docx/word" "$parts/docx/docProps" "$parts/odt"
  printf 'application/epub+zip' >"$parts/epub/mimetype"
  printf '<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles><rootfile full-path="content.opf" media-type="application/oebps-package+xml"/></rootfiles></container>' \
    >"$parts/epub/META-INF/container.xml"
  printf '<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="3.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>Book</dc:title></metadata><manifest><item id="c1" href="one.xhtml" media-type="application/xhtml+xml"/><item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/></manifest><spine><itemref idref="c1"/></spine></package>' \
    >"$parts/epub/content.opf"
  printf '<html xmlns="http://www.w3.org/1999/xhtml"><head><title>One</title></head><body><h1>One</h1><p>A chapter.</p></body></html>' \
    >"$parts/epub/one.xhtml"
  printf '<html xmlns="http://www.w3.org/1999/xhtml" xmlns:epub="http://www.idpf.org/2007/ops"><body><nav epub:type="toc"><ol><li><a href="one.xhtml">One</a></li></ol></nav></body></html>' \
    >"$parts/epub/nav.xhtml"
  zipped "$d/book.epub" '\x02' "$parts/epub" mimetype META-INF content.opf one.xhtml nav.xhtml
  printf '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>' \
    >"$parts/docx/[Content_Types].xml"
  printf '<?xml version="1.0"?><w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"><w:body><w:p><w:r><w:t>Dig a hole.</w:t><w:br/><w:tab/><w:t>Water it.</w:t></w:r><w:del><w:r><w:delText>gone</w:delText></w:r></w:del></w:p><w:tbl><w:tr><w:tc><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:drawing><wp:inline><wp:docPr id="1" descr="a cat"/></wp:inline></w:drawing></w:r></w:p></w:tc></w:tr></w:tbl></w:body></w:document>' \
    >"$parts/docx/word/document.xml"
  printf '<?xml version="1.0"?><cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>Garden</dc:title></cp:coreProperties>' \
    >"$parts/docx/docProps/core.xml"
  zipped "$d/text.docx" '\x03' "$parts/docx" '[Content_Types].xml' word docProps
  printf 'application/vnd.oasis.opendocument.text' >"$parts/odt/mimetype"
  printf '<?xml version="1.0"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"><office:body><office:text><text:h>Title</text:h><text:p>Dig<text:s text:c="2"/>a<text:tab/>hole.<text:line-break/>Water<text:note><text:note-body><text:p>note</text:p></text:note-body></text:note> it.</text:p><text:list><text:list-item><text:p>One</text:p></text:list-item></text:list><table:table><table:table-row><table:table-cell><text:p>A</text:p></table:table-cell><table:table-cell><text:p><draw:frame><svg:desc>a cat</svg:desc></draw:frame></text:p></table:table-cell></table:table-row></table:table></office:text></office:body></office:document-content>' \
    >"$parts/odt/content.xml"
  printf '<?xml version="1.0"?><office:document-meta xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:dc="http://purl.org/dc/elements/1.1/"><office:meta><dc:title>Garden</dc:title></office:meta></office:document-meta>' \
    >"$parts/odt/meta.xml"
  zipped "$d/text.odt" '\x04' "$parts/odt" mimetype content.xml meta.xml
fi
echo "Seed corpora in $corpus"
