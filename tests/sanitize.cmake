# The tests of the sanitizer build (SKIZZOMAT_SANITIZE). CTest itself sets the sanitizers'
# options before it starts a test, so every test gets them, and so does every program a test
# starts, the real Skizzomat among them.
#
# Every finding goes to a file in sanitizer-reports/ in the build folder, whichever process
# made it: a memory error or undefined behaviour stops that process, a leak makes it end with
# an error, and the test sanitizer_reports, run after all others, prints the reports and fails
# if there is one. So a finding in a child whose end a test does not check still fails the
# run. Leaks inside system libraries are suppressed in lsan.supp, each one with its reason.

set(SKZ_REPORTS ${CMAKE_BINARY_DIR}/sanitizer-reports)
set(SKZ_LSAN_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitize_env.cmake.in ${CMAKE_BINARY_DIR}/sanitize_env.cmake @ONLY)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/sanitize_env.cmake)

# Every test in `dir` and the folders below it.
function(skz_collect_tests dir out)
    get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        skz_collect_tests(${sub} more)
        list(APPEND tests ${more})
    endforeach()
    set(${out} ${tests} PARENT_SCOPE)
endfunction()
skz_collect_tests(${CMAKE_SOURCE_DIR} skz_all_tests)

add_test(NAME sanitizer_reports COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sanitize_reports.sh ${SKZ_REPORTS})
set_tests_properties(sanitizer_reports PROPERTIES DEPENDS "${skz_all_tests}")
