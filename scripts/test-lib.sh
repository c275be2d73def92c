# Sourced by the test script: counting results and building presets.

# The compiler cache serves every clone of the tree: paths below it are hashed as relative.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1

passed=0
failed=0
summary=()
stage_name=""
stage_start=$SECONDS

# stage NAME: prints the stage's name and the time the one before it took.
stage() {
    stage_end
    stage_name=$1
    stage_start=$SECONDS
    echo "== $1"
}
stage_end() {
    [ -n "$stage_name" ] && summary+=("  ($stage_name: $((SECONDS - stage_start)) s)")
    stage_name=""
}

# count_xml TIER FILE: adds a GoogleTest XML report to the totals.
count_xml() {
    local tier=$1 file=$2 tests failures errors skipped
    if [ ! -s "$file" ]; then
        summary+=("FAILED: $tier: no report (the test program did not finish)")
        failed=$((failed + 1))
        return
    fi
    tests=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    failures=$(sed -n 's/.*<testsuites [^>]*failures="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    errors=$(sed -n 's/.*<testsuites [^>]*errors="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    skipped=$(grep -c '<skipped' "$file")
    local bad=$((failures + errors))
    passed=$((passed + tests - bad - skipped))
    failed=$((failed + bad))
    summary+=("$tier: $((tests - bad - skipped)) passed, $bad failed, $skipped skipped")
    [ "$skipped" -eq 0 ] || summary+=("$(sed -n 's/.*<skipped message="\([^"]*\)".*/    skipped: \1/p' "$file")")
}

# check NAME COMMAND...: one named check outside GoogleTest.
check() {
    local name=$1
    shift
    if "$@" >"$results/check.log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        summary+=("FAILED check: $name")
        sed 's/^/    /' "$results/check.log"
    fi
}

# build PRESET [CMAKE OPTIONS...] [--target TARGETS...]
build() {
    local preset=$1 configure=() targets=()
    shift
    while [ $# -gt 0 ] && [ "$1" != --target ]; do configure+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    stage "build $preset"
    cmake --preset "$preset" "${configure[@]}" >"$results/configure-$preset.log" 2>&1 &&
        cmake --build --preset "$preset" -j"$(nproc)" "${targets[@]}" >"$results/build-$preset.log" 2>&1
    local status=$?
    [ $status -eq 0 ] || tail -n 40 "$results/build-$preset.log"
    return $status
}
