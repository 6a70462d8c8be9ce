# OSTREL_FUZZ builds the libFuzzer targets in fuzz/ (clang only).
option(OSTREL_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
function(ostrel_add_fuzzer name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ostrel_core)
endfunction()
