# The benchmark table: every command word end to end beside the empty programs and the
# minimal programs making only the calls an action cannot avoid. Sourced by bench/run,
# which provides lib.sh's variables and a running wineserver.

# median of the numbers on standard input
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# ratio A B [FORMAT]: A / B, or 0 when B is 0
ratio() { awk -v a="$1" -v b="$2" -v f="${3:-%.2f}" 'BEGIN { printf f, (b > 0 ? a / b : 0) }'; }

# start_once EXE [ARGS...]: one start of the program in the stand-ins' folder; sets wall
# (ms), cpu (ms, user and system) and peak (KiB, the largest resident set).
start_once() {
  local t0 t1 user sys
  t0=$EPOCHREALTIME
  (cd "$build64/bin/standin" && /usr/bin/time -f '%U %S %M' -o "$time_out" "$wine64" "$@" >/dev/null 2>&1 </dev/null)
  t1=$EPOCHREALTIME
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", (b - a) * 1000 }')
  read -r user sys peak <"$time_out"
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.0f", (u + s) * 1000 }')
}

bench_table() {
  local trials=${KORVADIAG_BENCH_TRIALS:-31}
  configure_and_build "$build32" toolchain-i686.cmake -DKORVADIAG_TESTS=OFF -- korvadiag >/dev/null
  configure_and_build "$build64" toolchain-x86_64.cmake -- \
    korvadiag standin_ping standin_IPConfig bench_empty_program bench_empty_crt_program \
    bench_minimal_inventory bench_minimal_interpreter >/dev/null
  local bin=$build64/bin replies
  replies=$build64/bench/ping-replies.txt
  mkdir -p "$build64/bench"
  printf 'Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n%.0s' 1 2 3 4 >"$replies"
  export KD_STANDIN_OUTPUT
  KD_STANDIN_OUTPUT=$(windows_path "$replies")
  # The stand-in tools where the system keeps its own, picked over Wine's for these
  # starts alone: Wine never reads its own tools from these files.
  local system=$WINEPREFIX/drive_c/windows/system32
  cp "$bin/standin/ping.exe" "$system/ping.exe"
  cp "$bin/standin/IPConfig.exe" "$system/ipconfig.exe"
  export WINEDLLOVERRIDES="ping.exe,ipconfig.exe=n,b"

  # The first row is the baseline of the ratios: the empty program built as the product is.
  local rows=(
    "empty: self-contained|$bin/bench/empty_program.exe"
    "empty: C runtime|$bin/bench/empty_crt_program.exe"
    "minimal: agent walk|$bin/bench/minimal_inventory.exe"
    "minimal: interpreter once|$bin/bench/minimal_interpreter.exe"
    "report|$bin/korvadiag.exe report"
    "checkip:127.0.0.1|$bin/korvadiag.exe checkip:127.0.0.1"
    "refresh|$bin/korvadiag.exe refresh"
    "delete:x|$bin/korvadiag.exe delete:x"
    "checkwinsock2|$bin/korvadiag.exe checkwinsock2"
  )
  local count=${#rows[@]} i trial wall cpu peak time_out
  local walls=() cpus=() peaks=()
  time_out=$(mktemp)
  # One warm-up start per row, then the trials round-robin, every row once in turn: a
  # slow spell of the machine then falls on all rows alike, not on one row's series.
  for ((i = 0; i < count; i++)); do
    # shellcheck disable=SC2086
    start_once ${rows[i]#*|}
  done
  for ((trial = 0; trial < trials; trial++)); do
    for ((i = 0; i < count; i++)); do
      # shellcheck disable=SC2086
      start_once ${rows[i]#*|}
      walls[i]+="$wall " cpus[i]+="$cpu " peaks[i]+="$peak "
    done
  done
  rm -f "$time_out"

  local wall_ms=() cpu_ms=() peak_kib=() empty=0 empty_crt minimal report delete winsock2
  for ((i = 0; i < count; i++)); do
    wall_ms[i]=$(tr ' ' '\n' <<<"${walls[i]% }" | median)
    cpu_ms[i]=$(tr ' ' '\n' <<<"${cpus[i]% }" | median)
    peak_kib[i]=$(tr ' ' '\n' <<<"${peaks[i]% }" | median)
    case ${rows[i]%%|*} in
      "empty: C runtime") empty_crt=$i ;;
      "minimal: agent walk") minimal=$i ;;
      report) report=$i ;;
      delete:x) delete=$i ;;
      checkwinsock2) winsock2=$i ;;
    esac
  done
  echo "korvadiag benchmark: 64-bit build under wine64, persistent wineserver, median of $trials starts"
  echo "(each trial starts every row once in turn; stand-in ping.exe and IPConfig.exe; the agent"
  echo "is Wine's own inetmib1.dll; the ratios are to the self-contained empty program)"
  printf '%-27s %9s %7s %11s %10s %10s\n' "start" "wall ms" "cpu ms" "wall/empty" "cpu/empty" "peak KiB"
  for ((i = 0; i < count; i++)); do
    printf '%-27s %9.1f %7d %11.2f %10.2f %10d\n' "${rows[i]%%|*}" "${wall_ms[i]}" "${cpu_ms[i]}" \
      "$(ratio "${wall_ms[i]}" "${wall_ms[empty]}" %g)" "$(ratio "${cpu_ms[i]}" "${cpu_ms[empty]}" %g)" "${peak_kib[i]}"
  done
  local exe_bytes
  exe_bytes=$(stat -c %s "$build32/bin/korvadiag.exe")
  echo "i686 korvadiag.exe: $exe_bytes bytes (target 16384, budget 20480)"
  echo "report_vs_minimal=$(ratio "${wall_ms[report]}" "${wall_ms[minimal]}")"
  echo "delete_vs_empty=$(ratio "${wall_ms[delete]}" "${wall_ms[empty]}")"
  echo "checkwinsock2_vs_empty=$(ratio "${wall_ms[winsock2]}" "${wall_ms[empty]}")"
  echo "peak_report_kib=${peak_kib[report]}"
  echo "peak_empty_kib=${peak_kib[empty]}"
  echo "peak_empty_crt_kib=${peak_kib[empty_crt]}"
  # What the agent's libraries alone add: the minimal program's peak.
  echo "peak_minimal_kib=${peak_kib[minimal]}"
  echo "peak_delete_kib=${peak_kib[delete]}"
  echo "exe_i686_bytes=$exe_bytes"
}
