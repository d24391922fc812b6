# Tests are named "<module>.<name>" and labelled with their module (and any LABELS given), so
# `ctest -R '^midi\.'` or `ctest -L window` selects a layer.
include(GoogleTest)
enable_testing()

# Labels every test of the calling folder; discovered test cases take them from the folder.
function(korvane_label_tests)
  get_property(labels DIRECTORY PROPERTY LABELS)
  list(APPEND labels ${ARGN})
  list(REMOVE_DUPLICATES labels)
  set_property(DIRECTORY PROPERTY LABELS ${labels})
endfunction()

# korvane_add_gtest(<module> <target> SOURCES ... LIBRARIES ... [LABELS ...]): a GoogleTest
# executable whose cases are registered one by one. Value-parameterised cases are named by
# their name generator, never by the bytes of their value.
function(korvane_add_gtest module target)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LIBRARIES;LABELS")
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} GTest::gtest_main korvane_warnings)
  set_target_properties(${target} PROPERTIES AUTOMOC OFF)
  gtest_discover_tests(${target} TEST_PREFIX "${module}." NO_PRETTY_VALUES)
  korvane_label_tests(${module} ${arg_LABELS})
endfunction()

# korvane_add_test(<module> <name> COMMAND ... [LABELS ...] [ENVIRONMENT ...]): one test that
# runs a command.
function(korvane_add_test module name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "COMMAND;LABELS;ENVIRONMENT")
  add_test(NAME ${module}.${name} COMMAND ${arg_COMMAND})
  if(arg_ENVIRONMENT)
    set_tests_properties(${module}.${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
  korvane_label_tests(${module} ${arg_LABELS})
endfunction()

# korvane_add_qtest(<module> <name> SOURCES ... LIBRARIES ...): a Qt Test executable on real
# widgets, run headless as one test labelled "window".
function(korvane_add_qtest module name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LIBRARIES")
  set(target ${module}_${name}_test)
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} Qt6::Test korvane_warnings)
  korvane_add_test(${module} ${name} COMMAND ${target} LABELS window
                   ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
