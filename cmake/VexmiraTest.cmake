# SPDX-License-Identifier: MIT
# vex_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [SANITIZE] [WRAPPER command] [ARGS ...]
#              [ENVIRONMENT VAR=value ...])
# Registers one GoogleTest executable with CTest, run with ARGS, through WRAPPER when given (a
# command that sets up the test's surroundings and runs the program given to it). Tests marked
# SANITIZE are also built by the `sanitize_tests` target, which scripts/test runs in a separate
# AddressSanitizer tree.
add_custom_target(sanitize_tests)

# The interface speaks the session's language; tests see the English texts whatever the machine's
# language is. A test's own ENVIRONMENT comes after these and wins.
set(VEXMIRA_TEST_LANGUAGE LANGUAGE=C.UTF-8 LC_ALL=C.UTF-8 LANG=C.UTF-8)

function(vex_add_test name)
  cmake_parse_arguments(T "SANITIZE" "WRAPPER" "SOURCES;LIBS;LABELS;ARGS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${T_WRAPPER} $<TARGET_FILE:${name}> ${T_ARGS})
  set(labels ${T_LABELS})
  if(T_SANITIZE)
    list(APPEND labels sanitize)
    add_dependencies(sanitize_tests ${name})
  endif()
  set(environment ${VEXMIRA_TEST_LANGUAGE} ${T_ENVIRONMENT})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 300 ENVIRONMENT "${environment}")
endfunction()
