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
# Coverage feedback for the fuzzers from every library they reach. clang 14 cannot compile
# coroutines with this coverage at -O2 ("Cannot represent a difference across sections"), so a
# target holding coroutines, which no fuzzer reaches, sets VGX_NO_FUZZ_COVERAGE.
if(VGX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(vgx_coverage "$<NOT:$<BOOL:$<TARGET_PROPERTY:VGX_NO_FUZZ_COVERAGE>>>")
  target_compile_options(vgx_options INTERFACE $<${vgx_coverage}:-fsanitize=fuzzer-no-link>)
  target_link_options(vgx_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
