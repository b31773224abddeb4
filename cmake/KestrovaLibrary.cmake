# One static library per src/ folder, made of every source file in it. A folder links only the layers
# below it, so a lower layer cannot reach a higher one by accident.
function(kestrova_library name)
    cmake_parse_arguments(ARG "" "" "PUBLIC_LINKS;PRIVATE_LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(kestrova_${name} STATIC ${sources})
    target_include_directories(kestrova_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/src)
    target_link_libraries(kestrova_${name} PUBLIC ${ARG_PUBLIC_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
endfunction()

# One test program per tests/ folder, mirroring src/. Every test is registered with the folder's label.
function(kestrova_test_folder name)
    cmake_parse_arguments(ARG "" "LABEL" "LINKS;ENVIRONMENT" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.h)
    if(NOT sources)
        return()
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    add_executable(test_${name} ${sources})
    target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(test_${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(test_${name} PRIVATE
        KESTROVA_TEST_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
        KESTROVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        KESTROVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(test_${name}
        PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}"
        DISCOVERY_TIMEOUT 60)
endfunction()
