# Sourced by the session tools: a private Xvfb, and waiting for processes.
# Uses the caller's `die`.

# True when process $1 has ended; an ended child not yet waited for counts.
gone() {
  local state=''
  [[ -r /proc/$1/stat ]] && state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)
  [[ -z $state || $state == Z ]]
}

# Waits up to $2 tenths of a second for process $1 to end.
wait_gone() {
  local i
  for ((i = 0; i < $2; i++)); do
    gone "$1" && return 0
    sleep 0.1
  done
  gone "$1"
}

# Starts Xvfb at SCREEN (WxH) in its own process group, on a display number
# it picks itself, with its log in DIR, and waits until a client really gets
# in; sets xvfb_pid and exports DISPLAY. -noreset: by default the server
# resets when its last client leaves and refuses connections meanwhile,
# which a client starting just then (or the probe below) would meet.
start_xvfb() {
  local screen=$1 dir=$2 i n='' ready=0
  setsid Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset \
    3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 9>&- &
  xvfb_pid=$!
  for ((i = 0; i < 300; i++)); do
    if [[ -s $dir/display ]]; then
      n=$(<"$dir/display")
      [[ $n =~ ^[0-9]+$ ]] && break
    fi
    if gone "$xvfb_pid"; then
      cat -- "$dir/xvfb.log" >&2
      die "Xvfb failed to start"
    fi
    sleep 0.1
  done
  if ! [[ $n =~ ^[0-9]+$ ]]; then
    cat -- "$dir/xvfb.log" >&2
    die "Xvfb did not start within 30 s"
  fi
  # A display number written is not yet a server serving.
  for ((i = 0; i < 300; i++)); do
    if DISPLAY=:$n timeout 10 xwininfo -root >/dev/null 2>&1; then
      ready=1
      break
    fi
    gone "$xvfb_pid" && break
    sleep 0.1
  done
  if ((!ready)); then
    cat -- "$dir/xvfb.log" >&2
    die "Xvfb on :$n takes no connections"
  fi
  export DISPLAY=:$n
}
