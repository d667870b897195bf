#!/usr/bin/env bash
# Runs one fuzz target on its corpus for OSH_FUZZ_SECONDS (3 by default).
exec "$1" -max_total_time="${OSH_FUZZ_SECONDS:-3}" -print_final_stats=0 "$2"
