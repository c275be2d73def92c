# Sourced by the test script: the fuzzers and the static analysers.
# Each function is one check: its output goes to the check's log, and it
# returns non-zero on any finding.

fuzz_targets=(codec stun http_address ipv6 upnp)

# run_fuzzer TARGET: a bounded run from a copy of the seed corpus, so that the
# repository's corpus stays as it is; crash inputs land in the results folder.
run_fuzzer() {
    local target=$1 corpus="$results/fuzz/$1" log="$results/fuzz-$1.log"
    rm -rf "$corpus"
    mkdir -p "$results/fuzz"
    cp -r "tests/fuzz/corpus/$target" "$corpus"
    build/fuzz/fuzz_"$target" "$corpus" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$results/fuzz/$target-" >"$log" 2>&1
    echo $? >"$results/fuzz-$target.status"
}

# fuzz_passed TARGET: the check on a finished run; the fuzzer's report if it failed.
fuzz_passed() {
    [ "$(cat "$results/fuzz-$1.status" 2>/dev/null)" = 0 ] && return 0
    tail -n 40 "$results/fuzz-$1.log"
    return 1
}

# fuzz_executions TARGET: how many inputs the run tried.
fuzz_executions() {
    sed -n 's/^stat::number_of_executed_units: *//p' "$results/fuzz-$1.log"
}

# Our own code, as paths in the compile databases: not GoogleTest, not build/.
# The tests get cppcheck only: each pulls in GoogleTest (and windows.h) for several
# seconds of clang-tidy, a third of what a new machine spends on the analysis; the
# code they drive is all checked here.
tidy_portable="^$root/(app|net|remote|paint|info|reach|upnp|ipexe|platform|bench)/"
tidy_windows="^$root/(platform/win32|programs|bench)/"

# tidy_cached BUILD_DIR REGEX [CLANG-TIDY ARGS...]: clang-tidy over the files of the
# build's compile database that match. A file is skipped when it, every header of
# ours, the checks and the arguments are as they were at a clean run before: the
# record of clean runs lives outside the build folder and the clone, so that a
# later run on this machine checks only what changed.
tidy_cached() {
    local db=$1 regex=$2 cache=${XDG_CACHE_HOME:-$HOME/.cache}/kestrum-tidy
    shift 2
    mkdir -p "$cache"
    local common todo=() keys=() file key
    common=$( (cat .clang-tidy $(git ls-files -co --exclude-standard '*.h') 2>/dev/null; echo "$*") | sha1sum | cut -c1-40)
    for file in $(sed -n 's/^ *"file": "\(.*\)",*$/\1/p' "$db/compile_commands.json" | grep -E "$regex" | sort -u); do
        key=$( (echo "$common"; cat "$file") | sha1sum | cut -c1-40)
        [ -e "$cache/$key" ] && continue
        todo+=("$file")
        keys+=("$key")
    done
    echo "${#todo[@]} files to check"
    [ ${#todo[@]} -eq 0 ] && return 0
    run-clang-tidy -p "$db" -j"$(nproc)" -quiet "$@" "^($(IFS='|'; echo "${todo[*]}"))\$" || return 1
    for key in "${keys[@]}"; do touch "$cache/$key"; done
}

# clang-tidy over the portable code and the unit tests, as the host build
# compiles them (.clang-tidy says which checks and why some are off).
tidy_host() {
    tidy_cached build/host-asan "$tidy_portable"
}

# The Windows code as MinGW-w64 compiles it: clang cannot find that g++'s C++
# headers by itself (Debian keeps them under a "12-posix" folder), so they
# are named here, with MinGW-w64's Windows headers and clang's own.
tidy_windows() {
    local args=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc) dir
    for dir in $(x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/c++.*\)$|\1|p'); do
        args+=(-extra-arg=-isystem"$dir")
    done
    args+=(-extra-arg=-isystem"$(clang -print-resource-dir)/include"
           -extra-arg=-isystem/usr/x86_64-w64-mingw32/include)
    tidy_cached build/win64 "$tidy_windows" "${args[@]}"
}

# Every C++ file of ours as .clang-format lays it out; the differences when not. Each
# clang-format release lays some lines out its own way: the layout is clang-format
# 14's, and where a release ships no 14 the check says so and is skipped.
format_check() {
    local tool
    tool=$(command -v clang-format-14) || { clang-format --version | grep -q ' version 14\.' && tool=clang-format; }
    if [ -z "$tool" ]; then
        echo "no clang-format 14 on this release ($(clang-format --version)): the layout is not checked"
        return 77
    fi
    git ls-files -z '*.cpp' '*.h' | xargs -0 "$tool" --dry-run -Werror
}

cppcheck_common=(--std=c++20 --language=c++ --enable=warning,style,performance,portability --inline-suppr
                 --suppressions-list=.cppcheck-suppressions --error-exitcode=1 -j"$(nproc)" -I . --quiet
                 -I build/host-asan/generated
                 --library=googletest --template='{file}:{line}: {severity} {id}: {message}')

cppcheck_portable() {
    cppcheck "${cppcheck_common[@]}" app net remote paint info reach upnp ipexe platform/*.cpp tests/unit tests/fuzz \
        bench/gradient_bench.cpp
}

cppcheck_windows() {
    cppcheck "${cppcheck_common[@]}" --library=windows --platform=win64 -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE \
        platform/win32 programs tests/win tests/e2e tests/support tests/doubles bench/minimal_window.cpp \
        bench/startup_time.cpp bench/screen_frames.cpp bench/reach_time.cpp
}
