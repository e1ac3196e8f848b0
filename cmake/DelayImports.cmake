# System DLLs that are not KnownDLLs on every Windows the program supports are
# delay-loaded: an ordinary import of one of them is resolved by the Windows
# loader before any of our code runs, and it looks in the program's own folder
# first. A delay-loaded DLL is loaded on first use, after start-up restricted
# the search, through the notify hook in app/ that loads it by its full path in
# the system folder.
#
# pw_delay_import(<name>...) defines pw_delay_<name> for each DLL base name: a
# delay-import library made by dlltool from every export of MinGW's ordinary
# import library lib<name>.a, followed by that library for its static data.
# Link pw_delay_<name> instead of <name>.
find_program(PW_DLLTOOL NAMES ${PW_TRIPLE}-dlltool REQUIRED)

function(pw_delay_import)
  set(out_dir ${CMAKE_BINARY_DIR}/delayimp)
  file(MAKE_DIRECTORY ${out_dir})
  foreach(name ${ARGN})
    find_library(PW_IMPLIB_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
    execute_process(COMMAND ${CMAKE_NM} ${PW_IMPLIB_${name}} OUTPUT_VARIABLE symbols
                    RESULT_VARIABLE nm_result)
    if(NOT nm_result EQUAL 0)
      message(FATAL_ERROR "${CMAKE_NM} failed on ${PW_IMPLIB_${name}}")
    endif()
    # 32-bit C names carry a leading underscore after __imp_, and stdcall
    # ones an @N suffix; --kill-at drops the suffix from the imported name
    # while the library keeps the decorated symbol the compiler references.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(prefix "__imp__")
      set(kill_at --kill-at)
    else()
      set(prefix "__imp_")
      set(kill_at)
    endif()
    string(REGEX MATCHALL " I ${prefix}[^\r\n]+" entries "${symbols}")
    set(def "LIBRARY ${name}.dll\nEXPORTS\n")
    foreach(entry ${entries})
      string(REPLACE " I ${prefix}" "" export "${entry}")
      string(APPEND def "${export}\n")
    endforeach()
    file(WRITE ${out_dir}/${name}.def "${def}")
    set(lib ${out_dir}/lib${name}_delay.a)
    execute_process(COMMAND ${PW_DLLTOOL} --input-def ${out_dir}/${name}.def --dllname ${name}.dll
                            --output-delaylib ${lib} ${kill_at}
                    RESULT_VARIABLE tool_result)
    if(NOT tool_result EQUAL 0 OR NOT EXISTS ${lib})
      message(FATAL_ERROR "dlltool could not make the delay-import library of ${name}.dll")
    endif()
    add_library(pw_delay_${name} INTERFACE)
    # The 32-bit linker drops the jump stub of an import whose stub symbol
    # nothing names, keeping only its __imp_ slot; a delay-import slot points
    # at that stub, so a function called only through __imp_ (every dllimport
    # declaration) would jump to address 0. A target names the stubs to keep:
    # every export by default (tests), or, after pw_keep_used_delay_stubs(),
    # only those its own inputs call (the shipped program).
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(stubs "")
      foreach(entry ${entries})
        string(REPLACE " I ${prefix}" "" export "${entry}")
        string(APPEND stubs "--undefined=_${export}\n")
      endforeach()
      file(WRITE ${out_dir}/${name}_stubs.rsp "${stubs}")
      target_link_options(
        pw_delay_${name} INTERFACE
        "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:PW_USED_DELAY_STUBS>>>:LINKER:@${out_dir}/${name}_stubs.rsp>")
      set_property(GLOBAL APPEND PROPERTY PW_DELAY_DEFS ${out_dir}/${name}.def)
    endif()
    # The ordinary library follows for what it holds besides imports (GDI+'s
    # GUIDs, for one); every function is already taken from the delay library.
    target_link_libraries(pw_delay_${name} INTERFACE ${lib} ${name})
  endforeach()
endfunction()

pw_delay_import(bcrypt comctl32 gdiplus msimg32 oleacc urlmon version wininet winmm)

# pw_keep_used_delay_stubs(<target> INPUTS <static libraries>...)
# Keeps, on 32-bit, the jump stubs of only those delay-loaded functions that the
# target's objects and the given libraries import: a list made just before the
# link from their undefined __imp_ symbols. Each unused stub would otherwise
# bring its import entry and name into the program.
function(pw_keep_used_delay_stubs target)
  cmake_parse_arguments(ARG "" "" "INPUTS" ${ARGN})
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  get_property(defs GLOBAL PROPERTY PW_DELAY_DEFS)
  string(JOIN "$<SEMICOLON>" inputs ${ARG_INPUTS})
  set(rsp ${CMAKE_CURRENT_BINARY_DIR}/${target}_delay_stubs.rsp)
  set_property(TARGET ${target} PROPERTY PW_USED_DELAY_STUBS ON)
  add_custom_command(
    TARGET ${target} PRE_LINK
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} "-DDEFS=${defs}" -DOUTPUT=${rsp}
            "-DINPUTS=$<JOIN:$<TARGET_OBJECTS:${target}>,$<SEMICOLON>>$<SEMICOLON>${inputs}"
            -P ${CMAKE_SOURCE_DIR}/cmake/UsedDelayStubs.cmake
    VERBATIM)
  target_link_options(${target} PRIVATE "LINKER:@${rsp}")
endfunction()
