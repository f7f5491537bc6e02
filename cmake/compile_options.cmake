# Warnings for all our code, sanitizers when asked, hidden symbols by default.
add_library(tavrin_options INTERFACE)
target_compile_options(tavrin_options INTERFACE -Wall -Wextra)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
if(TAVRIN_SANITIZE)
  target_compile_options(tavrin_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(tavrin_options INTERFACE -fsanitize=address,undefined)
endif()
