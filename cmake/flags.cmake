# Flags shared by every target of the project.
#  - warnings are errors;
#  - game logic must compute the same doubles everywhere: no contraction into FMA, no fast-math;
#  - narrow string literals are cp932 bytes, as the game's data files are.
set(TW_WARNINGS -Wall -Wextra -Werror -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ 12 with optimisation reports overlaps and overflows inside the standard library's own
  # copies that cannot happen (its known false positives); they would stop every optimised
  # build. The sanitizer build checks every access for real.
  list(APPEND TW_WARNINGS -Wno-restrict -Wno-stringop-overflow
       -Wno-stringop-overread -Wno-array-bounds)
endif()
set(TW_CODE_FLAGS -ffp-contract=off -fno-fast-math)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(TW_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP932)
else()
  # Only the fuzzing build uses another compiler; it keeps UTF-8 literals, which changes
  # no file format, only the bytes of the program's own texts.
  set(TW_CHARSET_FLAGS)
endif()

option(TW_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)

if(TW_FUZZ)
  # Undefined behaviour stops the run like a memory error, so that it is kept as a finding.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(TW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tw_target_defaults(target): applies the project's flags to one of its own targets.
function(tw_target_defaults target)
  target_compile_options(${target} PRIVATE ${TW_WARNINGS} ${TW_CODE_FLAGS} ${TW_CHARSET_FLAGS})
endfunction()

# The host layer speaks UTF-8 to the host's libraries: its literals stay UTF-8.
function(tw_host_target_defaults target)
  target_compile_options(${target} PRIVATE ${TW_WARNINGS} ${TW_CODE_FLAGS} -finput-charset=UTF-8)
endfunction()
