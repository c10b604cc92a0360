# One interface target carries the language level, warnings, strict Qt macros and the
# program's version and names.
add_library(bootrama_options INTERFACE)
target_compile_features(bootrama_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(bootrama_options INTERFACE -Wall -Wextra -Wpedantic
                       $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
                       $<$<BOOL:${BOOTRAMA_WERROR}>:-Werror>)
target_compile_definitions(bootrama_options INTERFACE
  QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_STRICT_ITERATORS QT_NO_FOREACH
  BOOTRAMA_VERSION="${PROJECT_VERSION}" BOOTRAMA_APP_ID="${BOOTRAMA_APP_ID}"
  BOOTRAMA_COPYRIGHT="${BOOTRAMA_COPYRIGHT}" BOOTRAMA_HOMEPAGE="${PROJECT_HOMEPAGE_URL}")

if(BOOTRAMA_SANITIZE)
  target_compile_options(bootrama_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(bootrama_options INTERFACE -fsanitize=address,undefined)
endif()
