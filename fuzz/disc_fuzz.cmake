# libFuzzer harnesses of disc/ (clang): the image reader on arbitrary bytes, the report readers on
# arbitrary text. Each runs a short, fixed number of times as a test, from seeds made by disc_seeds.sh.
# Longer runs, from the build folder:
#   fuzz/disc_seeds.sh fuzz-disc-seeds
#   ./fuzz_disc_image -max_total_time=600 -len_control=0 -max_len=400000 fuzz-disc-seeds/image
#   ./fuzz_disc_reports -max_total_time=600 -max_len=4096 fuzz-disc-seeds/reports
# libisofs itself is not instrumented; its leaks on some damaged images are suppressed by
# tests/lsan.supp (LSAN_OPTIONS=suppressions=...).
foreach(harness image reports)
    add_executable(fuzz_disc_${harness} ${CMAKE_CURRENT_LIST_DIR}/disc_${harness}_fuzz.cpp)
    target_link_libraries(fuzz_disc_${harness} PRIVATE quarrow_disc)
    target_compile_options(fuzz_disc_${harness} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_disc_${harness} PRIVATE -fsanitize=fuzzer)
endforeach()
if(QUARROW_TESTS)
    set(_seeds ${CMAKE_CURRENT_BINARY_DIR}/fuzz-disc-seeds)
    add_test(NAME fuzz_disc_image
             COMMAND sh -c "${CMAKE_CURRENT_LIST_DIR}/disc_seeds.sh ${_seeds} && $<TARGET_FILE:fuzz_disc_image> -runs=3000 -max_len=400000 -len_control=0 ${_seeds}/image")
    add_test(NAME fuzz_disc_reports
             COMMAND sh -c "${CMAKE_CURRENT_LIST_DIR}/disc_seeds.sh ${_seeds} && $<TARGET_FILE:fuzz_disc_reports> -runs=20000 -max_len=4096 ${_seeds}/reports")
    set_tests_properties(fuzz_disc_image fuzz_disc_reports PROPERTIES
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endif()
