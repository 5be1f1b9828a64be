# Project-wide compile flags, applied to every target through vgx_options.
add_library(vgx_options INTERFACE)
target_compile_options(vgx_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Wcast-align
  -Wimplicit-fallthrough)
if(VGX_WERROR)
  target_compile_options(vgx_options INTERFACE -Werror)
endif()
if(VGX_SANITIZE)
  target_compile_options(vgx_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(vgx_options INTERFACE -fsanitize=address,undefined)
endif()
# Coverage feedback for the fuzzers from every library they reach.
if(VGX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(vgx_options INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(vgx_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
