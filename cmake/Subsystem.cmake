# pw_product_code(<target>)
# The program's own code throws nothing and catches nothing: without exception
# tables it is smaller (the tests keep theirs). libstdc++'s checked mode turns
# a broken precondition (an index past the end, front() of an empty vector)
# into a stop instead of a stray access, and builds the strings' members the
# code uses into the code itself, so the library's prebuilt string code, which
# catches exceptions, stays out of the program.
function(pw_product_code target)
  if(NOT MSVC)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
    target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-asynchronous-unwind-tables>)
    endif()
  endif()
endfunction()

# pw_subsystem(<target> [DEPS <targets/libraries>...])
# One static library per subsystem folder, made of every .cpp in the folder.
function(pw_subsystem target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    pw_product_code(${target})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()
