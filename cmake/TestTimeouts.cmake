# Every test has a deadline fitted to what it does, so a hang shows as a
# failure of that test in seconds, not as the run's end. Sanitizer builds run
# several times slower; their presets raise the factor.
set(WENDREL_TEST_TIMEOUT_FACTOR 1 CACHE STRING "Multiplier of every test's timeout")

# wendrel_timeout(VAR SECONDS): VAR = SECONDS times the factor.
function(wendrel_timeout var seconds)
    math(EXPR scaled "${seconds} * ${WENDREL_TEST_TIMEOUT_FACTOR}")
    set(${var} ${scaled} PARENT_SCOPE)
endfunction()

# wendrel_gtest(TARGET SECONDS [THREADS FILTER]): one CTest test per
# GoogleTest case of TARGET, each with a timeout of SECONDS (scaled). The
# cases FILTER selects start threads and carry the label `threads`, which
# the ThreadSanitizer preset runs.
function(wendrel_gtest target seconds)
    cmake_parse_arguments(arg "" "THREADS" "" ${ARGN})
    wendrel_timeout(timeout ${seconds})
    if(arg_THREADS)
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_FILTER "-${arg_THREADS}"
                             PROPERTIES TIMEOUT ${timeout})
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_FILTER "${arg_THREADS}"
                             PROPERTIES TIMEOUT ${timeout} LABELS threads)
    else()
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${timeout})
    endif()
endfunction()
