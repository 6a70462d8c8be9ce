# Warnings for every target of the project: on, and treated as errors so they stay clean.
add_library(ostrel_warnings INTERFACE)
target_compile_options(ostrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
# g++ 12 at -O3 reports std::string concatenations as overlapping copies (-Wrestrict), a known
# false positive of that compiler; it is switched off there only.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(ostrel_warnings INTERFACE -Wno-restrict)
endif()
