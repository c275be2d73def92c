# Sourced by the test script: counting results, building presets, running workflows.

# The compiler cache serves every clone of the tree: paths below it are hashed as relative.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1

passed=0
failed=0
skipped=0
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

# check NAME COMMAND...: one named check outside CTest; status 77 is a skip, and says why.
check() {
    local name=$1 status
    shift
    "$@" >"$results/check.log" 2>&1
    status=$?
    if [ $status -eq 0 ]; then
        passed=$((passed + 1))
    elif [ $status -eq 77 ]; then
        skipped=$((skipped + 1))
        summary+=("skipped check: $name: $(tail -n 1 "$results/check.log")")
    else
        failed=$((failed + 1))
        summary+=("FAILED check: $name")
        sed 's/^/    /' "$results/check.log"
        return 1
    fi
}

# build PRESET [CMAKE OPTIONS...]: configures and builds; the end of the log if it fails.
build() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >"$results/configure-$preset.log" 2>&1 &&
        cmake --build --preset "$preset" -j"$(nproc)" >"$results/build-$preset.log" 2>&1 ||
        { tail -n 40 "$results/build-$preset.log"; return 1; }
}

# workflow NAME: CMake's workflow preset (configure, build, test); its log and exit
# status in the results, its JUnit report where the test preset puts it.
workflow() {
    echo "== workflow $1 started"
    cmake --workflow --preset "$1" >"$results/workflow-$1.log" 2>&1
    echo $? >"$results/workflow-$1.status"
    echo "== workflow $1 ended after $((SECONDS - start_all)) s"
}

# count_junit NAME: adds CTest's JUnit report of the workflow to the totals. A test that
# did not run for any reason but its own skip (its fixture failed, its program was not
# built) counts as failed; so do a missing report, an empty one, and a workflow that
# failed without a failed test to show for it.
count_junit() {
    local name=$1 report="$results/$1.xml" log="$results/workflow-$1.log"
    local status run fail skip notrun
    status=$(cat "$results/workflow-$1.status" 2>/dev/null || echo "none")
    if [ ! -s "$report" ]; then
        failed=$((failed + 1))
        summary+=("FAILED: $name: no report (workflow exit status $status; the end of $log:)")
        summary+=("$(tail -n 30 "$log" 2>/dev/null | sed 's/^/    /')")
        return
    fi
    run=$(grep -c 'status="run"' "$report")
    fail=$(grep -c 'status="fail"' "$report")
    notrun=$(grep -c 'status="notrun"' "$report")
    skip=$(grep -c 'SKIP_REGULAR_EXPRESSION_MATCHED' "$report")
    fail=$((fail + notrun - skip))
    if [ "$((run + fail + skip))" -eq 0 ] || { [ "$status" != 0 ] && [ "$fail" -eq 0 ]; }; then
        fail=$((fail + 1))
        summary+=("FAILED: $name: workflow exit status $status with $run tests run")
    fi
    passed=$((passed + run))
    failed=$((failed + fail))
    skipped=$((skipped + skip))
    summary+=("$name: $run passed, $fail failed, $skip skipped")
    [ "$fail" -eq 0 ] || summary+=("$(sed -n '/The following tests FAILED/,/^Errors/p' "$log")")
    [ "$skip" -eq 0 ] || summary+=("$(grep -B1 'SKIP_REGULAR_EXPRESSION_MATCHED' "$report" |
        sed -n 's/.*<testcase name="\([^"]*\)".*/    skipped: \1/p')")
}
