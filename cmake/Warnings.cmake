# Warnings for every target of the project: on, and treated as errors so they stay clean.
add_library(ostrel_warnings INTERFACE)
target_compile_options(ostrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
