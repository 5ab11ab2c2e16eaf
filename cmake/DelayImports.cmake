# quelm_delay_imports(target libs...): the target's imports from these system libraries are
# bound at their first call instead of at load time, so that the program has restricted the
# library search to the system folder before any of them is looked for. With MinGW, every
# -l<lib> of the target's link finds a delay-import library made here from the functions of
# MinGW's own import library; MSVC gets /DELAYLOAD. Data exports cannot be delay-loaded: a
# library whose data the program uses must not be listed.
function(quelm_delay_imports target)
  if(MSVC)
    foreach(lib IN LISTS ARGN)
      target_link_options(${target} PRIVATE "/DELAYLOAD:${lib}.dll")
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
    return()
  endif()
  if(NOT CMAKE_DLLTOOL)
    find_program(CMAKE_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)
  endif()
  set(dir "${CMAKE_BINARY_DIR}/delayimp/${target}")
  file(MAKE_DIRECTORY "${dir}")
  foreach(lib IN LISTS ARGN)
    find_library(quelm_implib_${lib} NAMES lib${lib}.a REQUIRED)
    set(implib "${quelm_implib_${lib}}")
    execute_process(COMMAND ${CMAKE_NM} "${implib}" OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(SORT imports)
    if(NOT imports)
      message(FATAL_ERROR "${implib} imports nothing to delay")
    endif()
    list(JOIN imports "\n" exports)
    set(def "${dir}/${lib}.def")
    file(WRITE "${def}.new" "LIBRARY ${lib}.dll\nEXPORTS\n${exports}\n")
    file(COPY_FILE "${def}.new" "${def}" ONLY_IF_DIFFERENT)
    file(REMOVE "${def}.new")
    if(NOT EXISTS "${dir}/lib${lib}.a" OR "${def}" IS_NEWER_THAN "${dir}/lib${lib}.a")
      execute_process(COMMAND ${CMAKE_DLLTOOL} -d "${def}" -D ${lib}.dll -y "${dir}/lib${lib}.a"
                      COMMAND_ERROR_IS_FATAL ANY)
      # Some import libraries also carry compiled objects (GDI+'s GUIDs and cached objects);
      # they come along. The import stubs are lib<name>h.o, lib<name>t.o and lib<name>s<n>.o.
      execute_process(COMMAND ${CMAKE_AR} t "${implib}" OUTPUT_VARIABLE members
                      COMMAND_ERROR_IS_FATAL ANY)
      string(REPLACE "\n" ";" members "${members}")
      list(FILTER members EXCLUDE REGEX "^(lib${lib}[ht]|lib${lib}s[0-9]+)\\.o$|^$")
      if(members)
        set(extracted "${dir}/objects-${lib}")
        file(MAKE_DIRECTORY "${extracted}")
        execute_process(COMMAND ${CMAKE_AR} x "${implib}" ${members}
                        WORKING_DIRECTORY "${extracted}" COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND ${CMAKE_AR} rs "${dir}/lib${lib}.a" ${members}
                        WORKING_DIRECTORY "${extracted}" COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endif()
    # Found by a folder search, so the link would not otherwise be redone for a library added
    # to the list.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${dir}/lib${lib}.a")
  endforeach()
  # Searched before MinGW's own folder; the binding helper comes with MinGW's runtime.
  target_link_directories(${target} BEFORE PRIVATE "${dir}")
endfunction()
