#!/usr/bin/env bash
# Writes the .vxr files of this folder: vextora-cli read against vextora-sim, for a ZR2
# and a ZR1 holding odd values (codes outside the lists, negative and large raw values,
# [120] out of range), in English and in Turkish, and a ZR2 as it starts. Run from the
# repository with the programs built: bash tests/data/vxr/make_corpus.sh build/bin
set -euo pipefail
bin=${1:-build/bin}
out=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The indicator's own registers as it starts (its state file), then a state file with
# the bytes of "offset:value ..." lists changed in the configuration block (registers
# 149-198) and the calibration block (registers 128-147), high byte first in a register.
"$bin/vextora-sim" --link "$work/pty0" --state "$work/default.txt" --checksum off > "$work/sim0.out" &
for _ in $(seq 100); do [ -s "$work/sim0.out" ] && break; sleep 0.1; done
kill -TERM $!; wait $! || true

state() {
  python3 - "$work/default.txt" "$@" <<'PY'
import sys
default, model, second, config, calib = sys.argv[1:6]
regs = {}
for line in open(default, encoding='utf-8'):
    key, _, value = line.strip().partition('=')
    if key.isdigit():
        regs[int(key)] = int(value)
def change(first, size, changes):
    b = []
    for i in range(0, size, 2):
        w = regs.get(first + i // 2, 0)
        b += [w >> 8, w & 0xFF]
    for item in changes.split():
        off, val = item.split(':')
        b[int(off)] = int(val, 0)
    for i in range(0, size, 2):
        regs[first + i // 2] = (b[i] << 8) | b[i + 1]
change(149, 100, config)
change(128, 40, calib)
print('model="%s"' % model)
print('second="%s"' % second)
for index in sorted(regs):
    if not (199 <= index < 209):
        print('%d=%d' % (index, regs[index]))
PY
}

odd_config="0:1 1:1 2:9 3:2 4:1 5:2 6:4 7:1 8:7 10:12 13:1 14:5 15:3 16:9 18:0xFF 19:0xFF 20:0xFF 21:0x83
 22:99 23:0x00 24:0x01 25:0xE2 26:0x40 27:75 28:1 29:2 30:1 31:1 33:3 35:1 36:4 37:6 38:255 40:0 42:0
 44:3 45:9 46:7 48:2 50:2 52:4 53:3 54:12 55:2 56:1 58:1 60:1 62:31 68:9 69:1 70:2 71:1
 72:0x7F 73:0xFF 74:0xFF 75:0xFF 76:3 77:2 78:0 79:1 80:7 82:0x9C 83:0x40 84:0xFF 85:0xFF 92:1"
odd_calib="0:1 6:5 7:6 8:0xFF 9:0xFF 10:0xFF 11:0xFE 12:0 13:1 14:0x11 15:0x70
 20:0 21:0 22:0 23:123 24:0xFF 25:0xFF 26:0xFF 27:0xFB 28:0 29:0 30:0 31:42
 32:0x00 33:0x01 34:0x7F 35:0x4B 36:0 37:0 38:0 39:5"
zr1_config="0:0 1:0 2:1 3:1 4:3 5:1 6:2 7:0 8:2 10:5 13:3 14:1 15:2 16:4 18:0 19:0 20:0x30 21:0x39
 22:10 27:51 29:1 33:2 35:0 36:2 37:3 38:1 40:2 42:2 44:1 45:4 46:0 48:1 50:1 52:3 53:1 54:2 55:1 56:2 58:2
 60:3 62:5 68:4 70:1 71:0 72:0 73:0 74:0x03 75:0xE8 78:20 79:0 80:1 82:0 83:100 84:0 85:0"
zr1_calib="0:0 6:12 8:0 9:1 10:0 11:0 12:0 13:0 14:0 15:0 23:9 31:1 35:7 39:81"

read_file() {  # model-text second-text config calib language out-file
  local st="$work/state.txt"
  state "$1" "$2" "$3" "$4" > "$st"
  "$bin/vextora-sim" --link "$work/pty" --state "$st" --checksum off > "$work/sim.out" &
  local pid=$!
  for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  "$bin/vextora-cli" --settings "$work/settings.ini" --port "$work/pty" --line-settings 9600,N,8,1 \
    --checksum off --reading-time 1 --language "$5" read "$out/$6" || { kill "$pid"; exit 1; }
  kill "$pid"; wait "$pid" || true
}

read_file "ZR2 V2.20 " "SN00012345" "$odd_config" "$odd_calib" English.txt zr2_odd_english.vxr
read_file "ZR2 V2.20 " "SN00012345" "$odd_config" "$odd_calib" "Türkçe.txt" zr2_odd_turkish.vxr
read_file "ZR1 V1.05 " "AB-778    " "$zr1_config" "$zr1_calib" English.txt zr1_english.vxr
read_file "ZR1 V1.05 " "AB-778    " "$zr1_config" "$zr1_calib" "Türkçe.txt" zr1_turkish.vxr

# The English ZR2 file with fields another writer could have left: texts that are no
# value of their row ("xyz", "012", "7.5", "x7"), a field of NULs, the editors' list
# texts of [120] and [004], and a longer row 82.
python3 - "$out/zr2_odd_english.vxr" "$out/zr2_edited_english.vxr" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
def put(offset, text, width=25):
    raw = text.encode('cp1254') if isinstance(text, str) else text
    data[offset:offset + width] = raw.ljust(width, b' ')[:width]
put(3828, 'xyz')                   # row 4 [201]
put(3853, b'\0' * 25)              # row 5 [202]
put(4078, '05')                    # row 13 [120]
put(4282, '012')                   # row 19 [102]
put(4311, '7.5')                   # row 21 [103]
put(4737, '0- 8 bit,NONE parity')  # row 33 [004]
put(5641, 'x7', 2)                 # row 60 [049]
put(5831, 'ZR2 V2.20 with words')  # row 82
open(sys.argv[2], 'wb').write(data)
PY
