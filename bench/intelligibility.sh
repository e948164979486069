#!/usr/bin/env bash
# How clearly the virtual chip speaks, measured by an outside recogniser (pocketsphinx with its
# US English model) against the speech library's own voices reading the same text:
#   - 200 common everyday words (bench/intelligibility/common_words.txt) and the palette's example
#     words, each recognised among the words of its own list (closed-set identification);
#   - ten everyday sentences (bench/intelligibility/sentences.txt), recognised with the full
#     language model, scored as word error rate.
# The chip says what "Suggest" gives for each word (the words of a sentence run together, as a
# single blank translates), rendered by cantora-chip at the default voice controls.
#
# Usage: bench/intelligibility.sh [BUILD_DIR]   (default: build; needs cantora-chip and
# bench/intelligibility_codes built there). Installs flite, pocketsphinx and pocketsphinx-en-us
# with apt-get when they are missing. Takes a few minutes on two cores.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
chip="$build/cantora-chip"
codes="$build/bench/intelligibility_codes"
voices="${VOICES-kal16 awb rms slt}"
model=/usr/share/pocketsphinx/model/en-us
for tool in "$chip" "$codes"; do
    [[ -x "$tool" ]] || { echo "missing $tool: build it first" >&2; exit 2; }
done

if ! command -v flite >/dev/null || ! command -v pocketsphinx_batch >/dev/null ||
    [[ ! -d "$model/en-us" ]]; then
    echo "installing flite, pocketsphinx and its US English model..." >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q flite pocketsphinx pocketsphinx-en-us >/dev/null ||
        { apt-get update -q >/dev/null && apt-get install -y -q flite pocketsphinx \
            pocketsphinx-en-us >/dev/null; }
fi
command -v sox >/dev/null || { echo "needs sox" >&2; exit 2; }

# KEEP_WORK=DIR keeps the renderings and the recogniser's answers there.
if [[ -n "${KEEP_WORK:-}" ]]; then
    work="$KEEP_WORK"
    rm -rf "$work" && mkdir -p "$work"
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
fi
dict="$model/cmudict-en-us.dict"

# The lists: the palette's words are the ones the recogniser's dictionary holds.
cp "$here/intelligibility/common_words.txt" "$work/common.txt"
"$codes" palette | while read -r w; do
    grep -q "^$w " "$dict" && echo "$w"
done >"$work/palette.txt"
cp "$here/intelligibility/sentences.txt" "$work/sentences.txt"

# Renders every line of a list as the chip and as each voice, 16 kHz raw PCM with a short
# silence either side (the same for every rendering).
render_list() {
    local list="$1" n=0 line
    "$codes" codes <"$work/$list.txt" >"$work/$list.codes"
    mkdir -p "$work/$list"
    while IFS= read -r line <&3 && IFS= read -r bytes <&4; do
        n=$((n + 1))
        local id
        id=$(printf '%s_%03d' "$list" "$n")
        mkdir -p "$work/$list/chip"
        if [[ -n "$bytes" ]] && "$chip" --wav "$work/$list/chip/$id.wav" --codes "$bytes" \
            >/dev/null 2>&1 && [[ -s "$work/$list/chip/$id.wav" ]]; then
            sox -q "$work/$list/chip/$id.wav" -r 16000 -c 1 -b 16 -e signed \
                "$work/$list/chip/$id.raw" pad 0.3 0.3
        else
            sox -q -n -r 16000 -c 1 -b 16 -e signed "$work/$list/chip/$id.raw" trim 0 0.6
        fi
        for voice in $voices; do
            mkdir -p "$work/$list/$voice"
            flite -voice "$voice" -t "$line" -o "$work/$list/$voice/$id.wav"
            sox -q "$work/$list/$voice/$id.wav" -r 16000 -c 1 -b 16 -e signed \
                "$work/$list/$voice/$id.raw" pad 0.3 0.3
        done
        echo "$id" >>"$work/$list.ctl"
    done 3<"$work/$list.txt" 4<"$work/$list.codes"
}

# Recognises one rendering of a list; words among the list's own words, sentences freely.
recognise() {
    local list="$1" who="$2" how=()
    if [[ "$list" == sentences ]]; then
        how=(-lm "$model/en-us.lm.bin")
    else
        how=(-jsgf "$work/$list.gram")
    fi
    pocketsphinx_batch -hmm "$model/en-us" -dict "$dict" "${how[@]}" -adcin yes -adchdr 0 \
        -cepext .raw -cepdir "$work/$list/$who" -ctl "$work/$list.ctl" \
        -hyp "$work/$list.$who.hyp" -logfn /dev/null >/dev/null 2>&1
}

for list in common palette; do
    { echo "#JSGF V1.0;"; echo "grammar $list;"
      printf 'public <w> = %s;\n' "$(paste -sd'|' "$work/$list.txt" | sed 's/|/ | /g')"; } \
        >"$work/$list.gram"
done

start=$SECONDS
for list in common palette sentences; do
    render_list "$list"
done
echo "rendered in $((SECONDS - start)) s" >&2
start=$SECONDS
jobs_running=0
for list in common palette sentences; do
    for who in chip $voices; do
        recognise "$list" "$who" &
        jobs_running=$((jobs_running + 1))
        if ((jobs_running >= 2)); then
            wait -n
            jobs_running=$((jobs_running - 1))
        fi
    done
done
wait
echo "recognised in $((SECONDS - start)) s" >&2

# Scores: a word counts as identified when the recogniser names it or a word said the same way
# ("two" for "too"); sentences by word error rate (substitutions, insertions, deletions).
python3 - "$work" "$dict" chip $voices <<'EOF'
import collections, re, sys
work, dict_path, whos = sys.argv[1], sys.argv[2], sys.argv[3:]
prons = collections.defaultdict(set)
for line in open(dict_path, encoding="utf-8", errors="replace"):
    parts = line.split()
    if parts:
        prons[re.sub(r"\(\d+\)$", "", parts[0])].add(" ".join(parts[1:]))

def hyps(list_name, who):
    out = {}
    for line in open(f"{work}/{list_name}.{who}.hyp"):
        m = re.match(r"^(.*?)\s*\((\S+?)(?:\s+-?\d+)?\)\s*$", line)
        if m:
            out[m.group(2)] = m.group(1).split()
    return out

def refs(list_name):
    return [(f"{list_name}_{i + 1:03d}", line.split())
            for i, line in enumerate(open(f"{work}/{list_name}.txt")) if line.strip()]

def identified(list_name, who):
    got, items = hyps(list_name, who), refs(list_name)
    good = 0
    for ident, ref in items:
        hyp = got.get(ident, [])
        if hyp == ref or (len(hyp) == 1 and prons[hyp[0]] & prons[ref[0]]):
            good += 1
    return 100.0 * good / len(items), len(items)

def word_errors(who):
    got, errors, total = hyps("sentences", who), 0, 0
    for ident, ref in refs("sentences"):
        hyp = got.get(ident, [])
        d = list(range(len(hyp) + 1))
        for i, r in enumerate(ref, 1):
            prev, d[0] = d[0], i
            for j, h in enumerate(hyp, 1):
                cur = min(d[j] + 1, d[j - 1] + 1, prev + (r != h))
                prev, d[j] = d[j], cur
        errors += d[len(hyp)]
        total += len(ref)
    return 100.0 * errors / total, total

names = {"chip": "the virtual chip (default voice controls)"}
common_n = identified("common", "chip")[1]
palette_n = identified("palette", "chip")[1]
words_n = word_errors("chip")[1]
print(f"| rendering | {common_n} common words | {palette_n} palette words "
      f"| sentences, word errors ({words_n} words) |")
print("|---|---|---|---|")
for who in whos:
    name = names.get(who, f"flite {who} reading the text")
    print(f"| {name} | {identified('common', who)[0]:.1f}% | "
          f"{identified('palette', who)[0]:.1f}% | {word_errors(who)[0]:.1f}% |")
EOF
