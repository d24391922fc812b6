# One place for the warning flags every Korvane target uses.
add_library(korvane_warnings INTERFACE)
target_compile_options(korvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(KORVANE_WERROR)
  target_compile_options(korvane_warnings INTERFACE -Werror)
endif()
