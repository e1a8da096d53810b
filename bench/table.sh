# The benchmark table: every command word end to end beside the empty Win32 program
# and the minimal programs making only the calls an action cannot avoid. Sourced by
# bench/run, which provides lib.sh's variables and a running wineserver.

# median of the numbers on standard input
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure EXE [ARGS...]: runs the program $trials times (after one warm-up) in the
# stand-ins' folder and sets wall_ms, cpu_ms and peak_kib to the medians.
measure() {
  local exe=$1; shift
  local walls=() cpus=() peaks=() i t0 t1 out
  out=$(mktemp)
  (cd "$build64/bin/standin" && "$wine64" "$exe" "$@" >/dev/null 2>&1 </dev/null)
  for ((i = 0; i < trials; i++)); do
    t0=$EPOCHREALTIME
    (cd "$build64/bin/standin" && /usr/bin/time -f '%U %S %M' -o "$out" "$wine64" "$exe" "$@" >/dev/null 2>&1 </dev/null)
    t1=$EPOCHREALTIME
    walls+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", (b - a) * 1000 }')")
    read -r user sys peak <"$out"
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.0f", (u + s) * 1000 }')")
    peaks+=("$peak")
  done
  rm -f "$out"
  wall_ms=$(printf '%s\n' "${walls[@]}" | median)
  cpu_ms=$(printf '%s\n' "${cpus[@]}" | median)
  peak_kib=$(printf '%s\n' "${peaks[@]}" | median)
}

bench_table() {
  local trials=${KORVADIAG_BENCH_TRIALS:-15}
  configure_and_build "$build32" toolchain-i686.cmake -DKORVADIAG_TESTS=OFF -- korvadiag >/dev/null
  configure_and_build "$build64" toolchain-x86_64.cmake -- \
    korvadiag standin_ping standin_IPConfig bench_empty_program bench_minimal_inventory \
    bench_minimal_interpreter >/dev/null
  local bin=$build64/bin replies
  replies=$build64/bench/ping-replies.txt
  mkdir -p "$build64/bench"
  printf 'Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n%.0s' 1 2 3 4 >"$replies"
  export KD_STANDIN_OUTPUT
  KD_STANDIN_OUTPUT=$(windows_path "$replies")

  local rows=(
    "empty program|$bin/bench/empty_program.exe"
    "minimal: agent walk|$bin/bench/minimal_inventory.exe"
    "minimal: interpreter once|$bin/bench/minimal_interpreter.exe"
    "report|$bin/korvadiag.exe report"
    "checkip:127.0.0.1|$bin/korvadiag.exe checkip:127.0.0.1"
    "refresh|$bin/korvadiag.exe refresh"
    "delete:x|$bin/korvadiag.exe delete:x"
    "checkwinsock2|$bin/korvadiag.exe checkwinsock2"
  )
  local row label command empty_wall empty_cpu empty_peak minimal_wall minimal_peak report_wall report_peak
  echo "korvadiag benchmark: 64-bit build under wine64, persistent wineserver, median of $trials starts"
  echo "(stand-in ping.exe and IPConfig.exe; the agent is Wine's own inetmib1.dll)"
  printf '%-27s %9s %7s %11s %10s %10s\n' "start" "wall ms" "cpu ms" "wall/empty" "cpu/empty" "peak KiB"
  for row in "${rows[@]}"; do
    label=${row%%|*}
    command=${row#*|}
    # shellcheck disable=SC2086
    measure $command
    if [ "$label" = "empty program" ]; then
      empty_wall=$wall_ms empty_cpu=$cpu_ms empty_peak=$peak_kib
    fi
    [ "$label" = "minimal: agent walk" ] && minimal_wall=$wall_ms minimal_peak=$peak_kib
    [ "$label" = "report" ] && report_wall=$wall_ms report_peak=$peak_kib
    printf '%-27s %9.1f %7d %11.2f %10.2f %10d\n' "$label" "$wall_ms" "$cpu_ms" \
      "$(awk -v a="$wall_ms" -v b="$empty_wall" 'BEGIN { print a / b }')" \
      "$(awk -v a="$cpu_ms" -v b="$empty_cpu" 'BEGIN { print (b > 0 ? a / b : 0) }')" "$peak_kib"
  done
  local exe_bytes
  exe_bytes=$(stat -c %s "$build32/bin/korvadiag.exe")
  echo "i686 korvadiag.exe: $exe_bytes bytes (budget 65536)"
  echo "report_vs_minimal=$(awk -v a="$report_wall" -v b="$minimal_wall" 'BEGIN { printf "%.2f", a / b }')"
  echo "peak_report_kib=$report_peak"
  echo "peak_empty_kib=$empty_peak"
  # What the agent's libraries alone add: the minimal program's peak.
  echo "peak_minimal_kib=$minimal_peak"
  echo "exe_i686_bytes=$exe_bytes"
}
