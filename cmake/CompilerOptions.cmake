# Warnings and sanitizers for every target of the project, through one interface library.
add_library(palvo_options INTERFACE)
target_compile_options(palvo_options INTERFACE -Wall -Wextra -Wpedantic)
if(PALVO_WERROR)
  target_compile_options(palvo_options INTERFACE -Werror)
endif()
if(PALVO_SANITIZE)
  target_compile_options(palvo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(palvo_options INTERFACE -fsanitize=address,undefined)
endif()
if(PALVO_FUZZ)
  # Coverage for libFuzzer in every library the fuzz targets call.
  target_compile_options(palvo_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
