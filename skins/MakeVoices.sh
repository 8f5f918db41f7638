#!/bin/sh
# Speaks Sorel's voices with espeak-ng and trims them with sox (both from
# Debian: apt-get install espeak-ng sox). The WAV files are committed beside
# Info.ini; run this again only to change what she says.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out="$here/Sorel"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

say() { # file text
    espeak-ng -v ja+f3 -s 150 -p 70 -w "$work/raw.wav" "$2"
    # Silence cut from both ends, a short fade out, 16 kHz mono 16-bit.
    sox "$work/raw.wav" -r 16000 -c 1 -b 16 "$out/$1" \
        silence 1 0.02 1% reverse silence 1 0.02 1% fade t 0.05 reverse norm -3
}

say Start.wav "こんにちは、ソレルです"
say Schedule.wav "じかんだよ"
say Connect.wav "メールをみてくるね"
say ConError.wav "つながらなかったよ"
say Post.wav "メールがきてるよ"
say Random1.wav "ふぁあ"
say Random2.wav "いいてんきだね"
say Random3.wav "がんばってね"
