# libFuzzer harnesses of disc/ (clang): the image readers (through libisofs, and the block-level one of the
# editor) on arbitrary bytes, the report and trace readers on arbitrary text, from seeds made by disc_seeds.sh.
# scripts/fuzz.sh runs them as CI does; longer runs, from the build folder:
#   fuzz/disc_seeds.sh fuzz-disc-seeds
#   ./fuzz_disc_image -max_total_time=600 -len_control=0 -max_len=400000 fuzz-disc-seeds/image
#   ./fuzz_disc_reports -max_total_time=600 -max_len=4096 fuzz-disc-seeds/reports
#   ./fuzz_disc_trace -max_total_time=600 -max_len=4096 fuzz-disc-seeds/trace
#   ./fuzz_disc_volume -max_total_time=600 -len_control=0 -max_len=400000 fuzz-disc-seeds/image
# libisofs itself is not instrumented; its leaks on some damaged images are suppressed by
# tests/lsan.supp (LSAN_OPTIONS=suppressions=...).
foreach(harness image reports trace volume)
    add_executable(fuzz_disc_${harness} ${CMAKE_CURRENT_LIST_DIR}/disc_${harness}_fuzz.cpp)
    target_link_libraries(fuzz_disc_${harness} PRIVATE quarrow_disc)
    target_compile_options(fuzz_disc_${harness} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_disc_${harness} PRIVATE -fsanitize=fuzzer)
endforeach()
