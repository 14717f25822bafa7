#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets in build-fuzz/corpus/<target>/: the program's own
# data files, each target's saved regression inputs, and small generated files of each kind.
# Run again, it adds what is missing and keeps what the fuzzer has found.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-build-fuzz/corpus}
targets=(storefile datafile wavefile textfile speechfilter lexiconfile)
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
echo "Seed corpora in $corpus"
