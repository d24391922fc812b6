# The usual Debian hardening for everything built here: checked libc calls where sizes are
# known, stack canaries, read-only relocations resolved at start-up, position-independent
# executables. The sanitizer builds turn it off; they check more than this and clash with it.
option(KORVANE_HARDENING "Build with the usual hardening flags" ON)
if(KORVANE_HARDENING)
  include(CheckPIESupported)
  check_pie_supported()
  # The checked calls need the optimiser; a debug build would only warn.
  add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro,-z,now)
endif()
