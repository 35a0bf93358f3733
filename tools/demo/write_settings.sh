#!/usr/bin/env bash
# Writes a settings file for a session with tncsim: COM1 is the simulator's pseudo-terminal,
# the DSR watch is off (a pseudo-terminal has no modem lines), the first RBBS record (the
# current one) is the simulated BBS with a date-named download, the second the DX cluster.
#
#   write_settings.sh SETTINGS_FILE TNC_DEVICE DOWNLOAD_DIR
#
# The file is INI with CR LF line ends, as the program writes it.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 SETTINGS_FILE TNC_DEVICE DOWNLOAD_DIR" >&2
    exit 2
fi
settings=$1
device=$2
downloads=$3

mkdir -p "$(dirname "$settings")" "$downloads"

crlf() { printf '%s\r\n' "$@"; }

rbbs() {  # section, name, connect command, extension, start, end, switches
    crlf "[PROPATY$1]" "CALLSIGN=$2" "COMMAND=$3" "CONNECT_FILE=" "R=R" "SEPARATER=," "SORT=1" \
        "EXTENTION=$4" "DL_START_STR=$5" "DL_END_STR=$6" "DL_START_STR_VALID=$7" \
        "DL_END_STR_VALID=$7" "UNPROTO=CQ" "SAVER=0"
}

{
    crlf "[RS232C]" "COM_PORT=1" "BOUD=9600" "BIT_LEN=8" "STOP=0" "HARD_FLOW=0" "LOCAL_ECHO=0" \
        "TX_LF=0" "RX_LF=0" "UL_WAIT=0" "ADD_DSR=0"
    crlf "[PORT_DEVICES]" "COM1=$device"
    crlf "[ENV]" "JST=1" "TOOL_BAR=1" "PAUSE_STR=/**/" "INYOU_STR=>" "REV_TEXT_COL=1" "BELL_ON=0" \
        "SMALL_PC_SCOPE=0" "TIME_STAMP=0" "DEFAULT_FKEY_NO=0"
    crlf "[FONT]" "FONT_TYPE=2" "LOG_FONT_X=0" "LOG_FONT_Y=16" "BS_YOHAKU=1"
    crlf "[DIR]" "DL_DIR=$downloads" "UL_DIR=$downloads"
    # The simulator's BBS frames every message it reads out with these two lines.
    rbbs 1 JA1BBS 'C JA1BBS\n' txt 'Msg#' '[End of message]' 1
    rbbs 2 JA1DX 'C JA1DX\n' dx '' '' 0
    crlf "[WIN_RECT]" "LEFT=0" "TOP=0" "RIGHT=720" "BOTTOM=600" "kyokai=12"
} >"$settings.tmp"
mv "$settings.tmp" "$settings"
