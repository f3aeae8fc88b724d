#!/bin/bash
# Runs a command with a private CUPS server that prints into a PDF file.
#
#   cupsrun.sh [--] COMMAND [ARG…]
#
# Starts cupsd in a temporary folder, listening only on a socket there, with the default queue
# "filepdf" (the generic PDF printer's PPD, A4) that writes every job to $SKZ_DRUCK_PDF, and a
# queue "abweiser" that rejects jobs. The command runs with CUPS_SERVER pointing at the socket
# and SKZ_DRUCK_PDF set. cupsd is stopped on exit; the exit status is the command's.
#
# cupsd runs its jobs as the user lp and needs root for that. When it cannot start and we are
# not root, the command still runs, with SKZ_CUPS_FEHLT saying why, so that it can skip what
# needs the server; as root a server that does not start is an error.
set -u

[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    echo "usage: cupsrun.sh [--] COMMAND [ARG…]" >&2
    exit 2
fi

ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
cupsd_pid=
cmd_pid=
tmp=

# Stops what this script started, by process id.
cleanup() {
    local pid
    for pid in $cmd_pid $cupsd_pid; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    [ -n "$tmp" ] && rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Polls COMMAND… every 50 ms for up to $1 tenths of a second.
poll() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths * 2; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}

# The server cannot run here: as root that is a failure, otherwise the command is told why.
unavailable() {
    if [ "$(id -u)" -eq 0 ]; then
        echo "cupsrun.sh: $1" >&2
        [ -n "$tmp" ] && cat "$tmp/log/error_log" >&2 2>/dev/null
        exit 1
    fi
    export SKZ_CUPS_FEHLT="no private CUPS server as user $(id -un): $1"
}

start_server() {
    command -v cupsd >/dev/null && command -v lpadmin >/dev/null || {
        unavailable "cupsd or lpadmin is missing (packages cups, cups-client)"
        return 1
    }
    [ -r "$ppd" ] || {
        unavailable "$ppd is missing (package cups-filters)"
        return 1
    }
    # The spool and output folders are written by the jobs' user lp.
    mkdir -p "$tmp/root/ppd" "$tmp/cache" "$tmp/state" "$tmp/log" "$tmp/spool/tmp" "$tmp/out" || return 1
    chmod 0777 "$tmp/spool" "$tmp/spool/tmp" "$tmp/out" "$tmp/log"
    chmod 0755 "$tmp"
    local user=lp group=lp system=root
    if [ "$(id -u)" -ne 0 ]; then
        user=$(id -un)
        group=$(id -gn)
        system=$group
    fi
    cat >"$tmp/root/cups-files.conf" <<EOF
ServerRoot $tmp/root
RequestRoot $tmp/spool
TempDir $tmp/spool/tmp
CacheDir $tmp/cache
StateDir $tmp/state
AccessLog $tmp/log/access_log
ErrorLog $tmp/log/error_log
PageLog $tmp/log/page_log
User $user
Group $group
SystemGroup $system
FileDevice Yes
Sandboxing relaxed
EOF
    cat >"$tmp/root/cupsd.conf" <<EOF
Listen $tmp/cups.sock
LogLevel warn
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cupsd -f -c "$tmp/root/cupsd.conf" -s "$tmp/root/cups-files.conf" >"$tmp/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    export CUPS_SERVER="$tmp/cups.sock"
    # lpstat succeeds once the scheduler answers.
    answers() { kill -0 "$cupsd_pid" && lpstat -r; }
    if ! poll 100 answers; then
        kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
        cupsd_pid=
        unset CUPS_SERVER
        cat "$tmp/log/cupsd.out" >&2
        unavailable "cupsd did not start"
        return 1
    fi
    # lpadmin warns that printer drivers are deprecated; its output is shown only on failure.
    # A scheduler that has just started at times drops the first connections: tried again.
    queues() {
        {
            lpadmin -p filepdf -E -v "file://$tmp/out/out.pdf" -P "$ppd" -o PageSize=A4 &&
                lpadmin -d filepdf &&
                lpadmin -p abweiser -E -v file:///dev/null -P "$ppd" -o PageSize=A4 &&
                cupsreject abweiser
        } >"$tmp/log/lpadmin.out" 2>&1
    }
    if ! poll 100 queues; then
        cat "$tmp/log/lpadmin.out" >&2
        unavailable "lpadmin could not set up the queues"
        return 1
    fi
    export SKZ_DRUCK_PDF="$tmp/out/out.pdf"
}

# Directly in /tmp, not in $TMPDIR: the filters run as lp and must reach the spool and output
# folders, which they cannot inside a private temporary folder (xrun.sh makes one, mode 0700).
tmp=$(mktemp -d /tmp/cupsrun.XXXXXX) || exit 1
chmod 0755 "$tmp"
start_server

# In the background, so that a signal to this script reaches the trap at once.
"$@" <&0 &
cmd_pid=$!
wait "$cmd_pid"
rc=$?
cmd_pid=
exit "$rc"
