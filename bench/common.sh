# Shared by the benchmark scripts (sourced from the project's root folder).

# build_cli NAME: builds quillow-cli (Release, without the desktop program)
# into build-bench, or the build QUILLOW_BUILD_DIR names, and sets cli to it.
# NAME prefixes the messages.
build_cli() {
    local build=${QUILLOW_BUILD_DIR:-build-bench}
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLOW_GUI=OFF > /dev/null
    fi
    local build_type
    build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
    if [ "$build_type" != Release ]; then
        echo "$1: warning: $build is a '${build_type}' build; the timings will not be representative" >&2
    fi
    local log
    log=$(mktemp)
    if ! cmake --build "$build" -j2 --target quillow-cli > "$log" 2>&1; then
        tail -n 40 "$log" >&2
        rm -f "$log"
        echo "$1: building quillow-cli in $build failed" >&2
        exit 1
    fi
    rm -f "$log"
    cli=$(cd "$build" && pwd)/quillow-cli
}

# The generated benchmark files: one seeded mix at every size.
bench_gen_args=(--avg-len 60 --dup-share 0.3 --case-variants 0.2 --blank-variants 0.1 --non-ascii 0.05)

# bench_data DIR LINES SEED: the generated file of LINES lines in DIR, made
# (again) when it is missing or the generator or its arguments changed.
bench_data() {
    local file="$1/lines-$2-seed$3.txt"
    local want
    want="$2 --seed $3 ${bench_gen_args[*]} $(sha256sum < bench/gen_lines.py | cut -c1-16)"
    if [ ! -f "$file" ] || [ "$(cat "$file.stamp" 2> /dev/null)" != "$want" ]; then
        echo "generating $file ($2 lines)..." >&2
        rm -f "$file.stamp"
        python3 bench/gen_lines.py --lines "$2" --seed "$3" "${bench_gen_args[@]}" -o "$file.part"
        mv "$file.part" "$file"
        echo "$want" > "$file.stamp"
    fi
    echo "$file"
}
