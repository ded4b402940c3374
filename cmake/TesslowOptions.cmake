# Compiler settings shared by every Tesslow target.
add_library(tesslow_options INTERFACE)
target_compile_options(tesslow_options INTERFACE
  -Wall -Wextra
  -Werror=return-type -Werror=non-virtual-dtor -Werror=delete-non-virtual-dtor
  -Werror=format -Werror=switch -Werror=implicit-fallthrough
  -Werror=unused-result -Werror=uninitialized)
target_include_directories(tesslow_options INTERFACE
  ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)

if(TESSLOW_SANITIZE)
  # Any report ends the program, so the test that caused it fails.
  target_compile_options(tesslow_options INTERFACE -fsanitize=${TESSLOW_SANITIZE} -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
  target_link_options(tesslow_options INTERFACE -fsanitize=${TESSLOW_SANITIZE})
endif()

# tesslow_layer(NAME DEPENDS ...): one static library per folder of src/, built
# from every source file in it.
function(tesslow_layer name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(tesslow_${name} STATIC ${sources})
  target_link_libraries(tesslow_${name} PUBLIC tesslow_options ${ARG_DEPENDS})
endfunction()

if(TESSLOW_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TESSLOW_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  # Coverage for libFuzzer in every library a harness calls; the harnesses
  # themselves link with -fsanitize=fuzzer (fuzz/CMakeLists.txt).
  target_compile_options(tesslow_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tesslow_options INTERFACE -fsanitize=address,undefined)
endif()
